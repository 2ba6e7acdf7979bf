#include "mailflow/MailRewrite.h"

#include <ctime>

#include "core/SettingsItemTable.h"
#include "mailflow/Document.h"
#include "mailflow/WorkFileIntake.h"
#include "message/MailRecordParser.h"
#include "platform/FileSystem.h"
#include "store/MailOperations.h"
#include "store/TrayFile.h"
#include "store/WorkFileAppender.h"

namespace zorvik::mailflow {

std::optional<compose::SourceMail> MailRewrite::read(const Document& document, const std::string& tray,
                                                     std::uint32_t index) {
  const message::MailRecordParser parser(message::ParseContext::fromSettings(document.settings(), std::time(nullptr)));
  return compose::SourceMail::read(document.store(), {tray, index}, parser);
}

message::MailLines MailRewrite::linesOf(const compose::SourceMail& mail) {
  message::MailLines lines;
  lines.separator = "From ";
  std::string_view header = mail.header;
  while (!header.empty()) {
    const std::size_t end = header.find("\r\n");
    lines.header.emplace_back(header.substr(0, end));
    if (end == std::string_view::npos) break;
    header.remove_prefix(end + 2);
  }
  lines.body = mail.body;
  return lines;
}

std::optional<std::uint32_t> MailRewrite::replace(const Document& document, const compose::SourceMail& mail,
                                                  const message::MailLines& lines) {
  if (!WorkFileIntake::clearForNewMail(document)) return std::nullopt;
  const std::string workFile = document.workFilePath();
  std::string text = "From \r\n";
  for (const std::string& line : lines.header) text += line + "\r\n";
  text += "\r\n";
  for (const std::string& line : lines.body) text += line + "\r\n";
  if (!document.mayWrite(workFile) || !platform::writeFileAtomically(workFile, text)) {
    platform::removeFile(workFile);
    return std::nullopt;
  }
  const core::SettingsFile& settings = document.settings();
  const message::MailRecordParser parser(message::ParseContext::fromSettings(settings, std::time(nullptr)));
  const auto stored =
      store::WorkFileAppender::append(workFile, store::TrayFile(document.store(), mail.stored.tray), parser);
  if (!stored || stored->appended != 1) {
    platform::removeFile(workFile);
    return std::nullopt;
  }
  const store::MailOperations operations(document.store(), settings.text(core::item::kTrashTray),
                                         settings.timeZoneOffsetHours(), settings.text(core::item::kMailServerTray));
  if (!operations.replace(mail.stored.tray, mail.stored.index, stored->firstIndex)) return std::nullopt;
  return stored->firstIndex;
}

}  // namespace zorvik::mailflow
