#include "view/MailTextExport.h"

#include <ctime>

#include "message/MailRecordParser.h"
#include "message/ReceivedDate.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "store/TrayAttachments.h"
#include "store/TrayFile.h"
#include "view/TreeNode.h"

namespace zorvik::view {
namespace {

// "a\r\nb" (one address a line) as "a, b".
std::string addressList(std::string_view lines) {
  std::string out;
  while (!lines.empty()) {
    const std::size_t end = std::min(lines.find('\n'), lines.size());
    std::string_view line = lines.substr(0, end);
    lines.remove_prefix(std::min(end + 1, lines.size()));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    if (!out.empty()) out += ", ";
    out += line;
  }
  return out;
}

// When the mail reached the server: its first "Received:" line, else its
// Date.
std::time_t receivedAt(std::string_view header, const message::MailRecord& record, int zoneHours) {
  while (!header.empty()) {
    const std::size_t end = std::min(header.find("\r\n"), header.size());
    if (const auto date = message::dateFromReceived(header.substr(0, end), zoneHours)) return *date;
    header.remove_prefix(std::min(end + 2, header.size()));
  }
  return record.date;
}

std::string dateText(std::time_t seconds, int zoneHours) {
  const std::time_t shifted = seconds + static_cast<std::time_t>(zoneHours) * 3600;
  std::tm fields{};
  gmtime_r(&shifted, &fields);
  char text[64];
  return std::string(text, std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &fields));
}

void copyAttachments(const store::StoreLocation& store, const std::string& tray, std::string_view header,
                     const std::string& textPath) {
  const auto folder = store::TrayAttachments::folderName(header);
  if (!folder) return;
  const std::string source = platform::joinPath(store::TrayAttachments::root(store, tray), *folder);
  const std::string target = platform::directoryOf(textPath);
  for (const auto& entry : platform::listDirectory(source)) {
    if (entry.isDirectory) continue;
    const std::string copy = platform::joinPath(target, entry.name);
    if (platform::pathExists(copy)) continue;
    platform::copyFile(platform::joinPath(source, entry.name), copy);
  }
}

}  // namespace

std::string MailTextExport::suggestedName(std::string_view tray, std::uint32_t index) {
  return lastLevelOf(tray) + std::to_string(index) + ".txt";
}

bool MailTextExport::write(const store::StoreLocation& store, const std::string& tray, std::uint32_t index,
                           std::string_view senderName, int zoneHours, const std::string& path) {
  const store::TrayFile file(store, tray);
  const auto header = file.headerLines(index);
  auto body = file.bodyReader(index);
  if (!header || !body) return false;

  message::ParseContext context;
  context.zoneHours = zoneHours;
  message::MailRecord record;
  message::MailRecordParser(context).reparse(record, *header);

  const std::string rule(56, '-');
  std::string text = "Zorvik:" + std::string(senderName) + "\n" + rule + "\n";
  text += platform::sjisLiteral("件名:") + record.subject + "\n";
  const std::string sender = record.fromName.empty() || record.fromAddress.empty()
                                 ? addressList(record.from)
                                 : record.fromName + " <" + record.fromAddress + ">";
  text += "From:" + sender + "\n";
  text += "To  :" + addressList(record.to) + "\n";
  if (!record.cc.empty()) text += "Cc  :" + addressList(record.cc) + "\n";
  if (!record.bcc.empty()) text += "Bcc :" + addressList(record.bcc) + "\n";
  text += platform::sjisLiteral("受信:") + dateText(receivedAt(*header, record, zoneHours), zoneHours) + "\n";
  text += rule + "\n";
  std::string line;
  while (body->next(line)) text += line + "\n";

  if (!platform::writeFileAtomically(path, platform::sjisToUtf8(text))) return false;
  copyAttachments(store, tray, *header, path);
  return true;
}

}  // namespace zorvik::view
