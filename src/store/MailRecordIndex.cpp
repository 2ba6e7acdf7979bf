#include "store/MailRecordIndex.h"

#include <limits>

#include "platform/LineReader.h"

namespace zorvik::store {
namespace {

std::int32_t storedDate(std::time_t date) {
  constexpr std::time_t kFirst = std::numeric_limits<std::int32_t>::min();
  constexpr std::time_t kLast = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(date < kFirst ? kFirst : (date > kLast ? kLast : date));
}

// The draft's body lines; empty when the file cannot be read.
std::optional<std::vector<std::string>> readBody(std::string_view path) {
  auto reader = platform::LineReader::openFile(path);
  if (!reader.isOpen()) return std::nullopt;
  std::vector<std::string> lines;
  std::string line;
  while (reader.next(line)) {
    // A lone CR in a draft would break the stored line in two.
    for (char& c : line) {
      if (c == '\r') c = ' ';
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace

IndexRecord MailRecordIndex::toIndex(const message::MailRecord& mail) {
  IndexRecord record;
  record.setFlags(mail.flags);
  record.setTextStart(mail.textStart);
  record.setBodyStart(mail.textEnd);
  record.setBodyLineCount(mail.bodyLineCount);
  record.setHeaderLineCount(mail.headerLineCount);
  record.setDate(storedDate(mail.date));
  record.setListAddress(mail.listAddress);
  record.setListName(mail.listName);
  record.setSubject(mail.subject);
  record.setOwnKey(mail.ownKey);
  record.setParentKey(mail.parentKey);
  return record;
}

message::MailRecord MailRecordIndex::fromIndex(const TrayRecord& stored) {
  const IndexRecord& record = stored.record;
  message::MailRecord mail;
  mail.flags = record.flags();
  mail.textStart = record.textStart();
  mail.textEnd = record.bodyStart();
  mail.bodyLineCount = record.bodyLineCount();
  mail.headerLineCount = record.headerLineCount();
  mail.date = record.date();
  mail.listAddress = record.listAddress();
  mail.listName = record.listName();
  mail.subject = record.subject();
  mail.ownKey = record.ownKey();
  mail.parentKey = record.parentKey();
  if (stored.isLink()) {
    mail.linkIndex = stored.linkIndex;
    mail.linkTarget = stored.linkTarget;
  }
  return mail;
}

MailText MailRecordIndex::toMailText(message::MailLines lines) {
  MailText text;
  text.separator = std::move(lines.separator);
  text.header = std::move(lines.header);
  text.body = std::move(lines.body);
  return text;
}

std::optional<std::uint32_t> MailRecordIndex::appendComposed(const TrayFile& tray, message::MailRecord& mail,
                                                             std::string_view draftBodyPath,
                                                             const message::ComposeSettings& settings,
                                                             const message::MailRecordParser& parser) {
  auto body = readBody(draftBodyPath);
  if (!body) return std::nullopt;
  auto session = tray.appender();
  if (!session) return std::nullopt;
  message::MailRecord written = mail;
  message::MailLines lines = message::ComposedHeaderWriter::write(written, settings, parser);
  lines.body = std::move(*body);
  written.bodyLineCount = static_cast<std::uint32_t>(lines.body.size());
  const MailText text = toMailText(std::move(lines));
  const auto index = session->appendMail(text, toIndex(written));
  if (!index || !session->finish()) return std::nullopt;
  // The appender chose the positions; they are in the record it wrote.
  TrayRecord stored;
  if (tray.read(*index, stored) == ReadResult::Live) {
    written.textStart = stored.record.textStart();
    written.textEnd = stored.record.bodyStart();
  }
  mail = std::move(written);
  return index;
}

}  // namespace zorvik::store
