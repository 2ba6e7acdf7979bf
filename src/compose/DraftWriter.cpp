#include "compose/DraftWriter.h"

#include <fstream>

#include "core/MessageFormat.h"
#include "core/SettingsItemTable.h"
#include "message/AddressParser.h"
#include "message/ComposedHeaderWriter.h"
#include "message/DraftBody.h"
#include "message/OutgoingText.h"
#include "message/TagCommand.h"
#include "platform/FileSystem.h"
#include "store/MailRecordIndex.h"
#include "store/TrayFile.h"

namespace zorvik::compose {

using core::MessageNumber;

namespace {

constexpr std::size_t kFirstLineLimit = 1000;

bool isControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }

// The text with each control character shown as "\r", "\n" or "\xHH", so
// the message says what was wrong with it.
std::string visible(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (isControl(c)) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      out += "\\x";
      out += kHex[(static_cast<unsigned char>(c) >> 4) & 0xF];
      out += kHex[static_cast<unsigned char>(c) & 0xF];
    } else {
      out += c;
    }
  }
  return out;
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// One address a line, as a mail record keeps its lists.
std::string addressLines(std::string_view list) {
  std::string lines;
  for (const std::string& entry : message::AddressParser::splitList(list)) {
    if (!lines.empty()) lines += "\r\n";
    lines += entry;
  }
  return lines;
}

std::string firstLine(std::string_view text) {
  const std::string line = core::cutSjis(std::string(text.substr(0, text.find('\n'))), kFirstLineLimit);
  return std::string(trimmed(message::singleLine(line)));
}

// A path a tag line can name and the send can open: a readable file, and
// no quote or control character that would end or break the tag line.
bool isAttachable(std::string_view path) {
  for (const char c : path) {
    if (c == '"' || isControl(c)) return false;
  }
  if (!platform::isRegularFile(path)) return false;
  return std::ifstream(platform::nativePath(path), std::ios::binary).is_open();
}

std::string absolutePath(const std::string& path) {
  return platform::isFullPath(path) ? path : platform::joinPath(platform::currentDirectory(), path);
}

std::string numberedName(std::string_view pattern, int number) {
  std::string digits = std::to_string(number);
  digits.insert(0, digits.size() < 3 ? 3 - digits.size() : 0, '0');
  std::string name(pattern);
  const std::size_t at = name.find("%03d");
  if (at == std::string::npos) return name + digits;
  return name.replace(at, 4, digits);
}

}  // namespace

DraftWriter::DraftWriter(store::StoreLocation store, const core::SettingsFile& settings, core::Messages& messages)
    : store_(std::move(store)), settings_(settings), messages_(messages) {}

bool DraftWriter::check(const Draft& draft, std::string& subject) const {
  subject = std::string(trimmed(message::singleLine(draft.subject)));
  if (draft.body.empty() && subject.empty()) {
    messages_.error(MessageNumber::NoMailText);
    return false;
  }
  const message::AddressParser parser(settings_.aliases());
  if (parser.parseList(draft.to).empty()) {
    messages_.error(MessageNumber::NoRecipient);
    return false;
  }
  if (subject.empty()) {
    if (!settings_.flag(core::item::kFirstLineAsSubject)) {
      messages_.error(MessageNumber::NoSubject);
      return false;
    }
    subject = firstLine(draft.body);
  }
  if (settings_.text(core::item::kSenderAddress).empty()) {
    messages_.error(MessageNumber::NoOwnAddress);
    return false;
  }
  for (const std::string* list : {&draft.to, &draft.cc, &draft.bcc}) {
    for (const char c : *list) {
      if (!isControl(c)) continue;
      messages_.error(MessageNumber::BadAddress, {subject, visible(*list)});
      return false;
    }
  }
  for (const std::string& path : draft.attachments) {
    if (isAttachable(absolutePath(path))) continue;
    messages_.error(MessageNumber::AttachmentNotOpened, {visible(path)});
    return false;
  }
  return true;
}

// The normalised text with its attachment lines, in a fresh compose file of
// the work folder.
std::optional<std::string> DraftWriter::writeBodyFile(const Draft& draft) const {
  std::vector<std::string> lines = message::DraftBody::normalise(
      draft.body, settings_.flag(core::item::kHalfWidthKanaToFullWidth), settings_.number(core::item::kLineWrapWidth));
  for (const std::string& path : draft.attachments)
    lines.push_back(std::string(message::TagCommand::kMime) + "\"" + absolutePath(path) + "\"");
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";

  const std::string& pattern = settings_.workingDirectories().composeFilePattern;
  const std::string base = platform::isFullPath(pattern) ? pattern : platform::joinPath(store_.topCabinetPath(), pattern);
  platform::makeDirectories(platform::directoryOf(base));
  for (int number = 0; number < 1000; ++number) {
    const std::string path = numberedName(base, number);
    if (platform::pathExists(path)) continue;
    if (platform::writeFileAtomically(path, text)) return path;
    break;
  }
  messages_.error(MessageNumber::DraftNotStored, {numberedName(base, 0)});
  return std::nullopt;
}

std::optional<std::uint32_t> DraftWriter::storeUnsent(const Draft& draft, std::time_t now) const {
  std::string subject;
  if (!check(draft, subject)) return std::nullopt;
  const auto bodyPath = writeBodyFile(draft);
  if (!bodyPath) return std::nullopt;

  message::MailRecord record;
  record.date = now;
  record.subject = subject;
  record.to = addressLines(draft.to);
  record.cc = addressLines(draft.cc);
  record.bcc = addressLines(draft.bcc);
  record.replyTo = settings_.text(core::item::kReplyTo);
  record.internalNumber = draft.splitKilobytes > 0 ? draft.splitKilobytes : 0;
  if (!draft.attachments.empty()) record.flags |= message::mailflag::kAttachments;

  const store::TrayFile unsent(store_, settings_.text(core::item::kUnsentTray));
  const message::MailRecordParser parser(message::ParseContext::fromSettings(settings_, now));
  const auto index = store::MailRecordIndex::appendComposed(unsent, record, *bodyPath,
                                                     message::ComposeSettings::fromSettings(settings_, now), parser);
  platform::removeFile(*bodyPath);
  if (!index) messages_.error(MessageNumber::DraftNotStored, {*bodyPath});
  return index;
}

}  // namespace zorvik::compose
