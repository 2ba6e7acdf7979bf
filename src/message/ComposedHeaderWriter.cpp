#include "message/ComposedHeaderWriter.h"

#include "core/SettingsFile.h"
#include "core/SettingsItemTable.h"
#include "core/SjisText.h"
#include "message/HalfWidthKana.h"
#include "message/HeaderBlanks.h"
#include "message/InternalLine.h"
#include "message/MailDate.h"
#include "message/MessageId.h"

namespace zorvik::message {
namespace {

// The position of the "<" that opens the address part, outside double
// quotes; a trail byte is never taken for one.
std::size_t addressOpen(std::string_view line) {
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"') quoted = !quoted;
    if (c == '<' && !quoted) return i;
    if (c == '\\' || core::isSjisLeadByte(static_cast<unsigned char>(c))) ++i;
  }
  return std::string_view::npos;
}

// `name` in double quotes. A name already quoted stays as it is; otherwise
// quotes and backslashes inside are escaped, so the name cannot end early.
std::string quotedName(std::string_view name) {
  if (name.size() >= 2 && name.front() == '"' && name.back() == '"') return std::string(name);
  std::string quoted = "\"";
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    if (core::isSjisLeadByte(static_cast<unsigned char>(c)) && i + 1 < name.size()) {
      quoted += c;
      quoted += name[++i];
      continue;
    }
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

std::string normalisedAddress(std::string_view line) {
  line = withoutOuterBlanks(line);
  const std::size_t open = addressOpen(line);
  if (open == std::string_view::npos) return std::string(line);
  const std::size_t close = line.find('>', open);
  const std::string_view name = withoutOuterBlanks(line.substr(0, open));
  if (name.empty() || close == std::string_view::npos) return std::string(line);
  return quotedName(name) + " " + std::string(line.substr(open, close - open + 1));
}

// A value as it goes on its line: nothing in it may start a new line.
std::string oneLine(std::string_view value) {
  std::string line(value);
  for (char& c : line) {
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  }
  return line;
}

// Collects the header lines, writing values full width when asked.
class HeaderLines {
public:
  HeaderLines(MailLines& out, bool fullWidthKana) : out_(out), fullWidthKana_(fullWidthKana) {}

  void add(std::string_view name, std::string_view value) {
    const std::string text = oneLine(value);
    out_.header.push_back(std::string(name) + (fullWidthKana_ ? hankanaToZenkana(text) : text));
  }
  void addIfAny(std::string_view name, std::string_view value) {
    if (!value.empty()) add(name, value);
  }
  // The internal line is read back by Zorvik only: never converted.
  void addAsIs(std::string_view name, std::string_view value) {
    out_.header.push_back(std::string(name) + oneLine(value));
  }

private:
  MailLines& out_;
  bool fullWidthKana_;
};

std::string userFrom(const ComposeSettings& settings) {
  if (settings.userName.empty()) return settings.userAddress;
  return "\"" + settings.userName + "\" <" + settings.userAddress + ">";
}

}  // namespace

ComposeSettings ComposeSettings::fromSettings(const core::SettingsFile& settings, std::time_t now) {
  return ComposeSettings{settings.text(core::item::kSenderName),
                         settings.text(core::item::kSenderAddress),
                         settings.text(core::item::kOrganization),
                         settings.flag(core::item::kHalfWidthKanaToFullWidth),
                         settings.timeZoneOffsetHours(),
                         now};
}

std::string ComposedHeaderWriter::normaliseAddressList(std::string_view list) {
  std::string joined;
  while (!list.empty()) {
    const std::size_t end = list.find('\n');
    std::string_view line = list.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::string address = normalisedAddress(line);
    if (!address.empty()) {
      if (!joined.empty()) joined += ",";
      joined += address;
    }
    if (end == std::string_view::npos) break;
    list.remove_prefix(end + 1);
  }
  return joined;
}

MailLines ComposedHeaderWriter::write(MailRecord& record, const ComposeSettings& settings,
                                      const MailRecordParser& parser) {
  MailLines out;
  out.separator = "From ";
  HeaderLines lines(out, settings.fullWidthKana);
  const std::time_t date = record.date != 0 ? record.date : settings.now;

  lines.add("From: ", record.from.empty() ? userFrom(settings) : normaliseAddressList(record.from));
  lines.add("Subject: ", record.subject);
  lines.add("To: ", normaliseAddressList(record.to));
  lines.addIfAny("Cc: ", normaliseAddressList(record.cc));
  lines.addIfAny("Bcc: ", normaliseAddressList(record.bcc));
  lines.add("Date: ", MailDate::format(date, settings.zoneHours));
  // The stored Message-Id is the one the mail leaves with, and the own key
  // is made from it (reading the header back sets both), so replies to the
  // sent mail find it in the thread.
  lines.add("Message-Id: ", MessageId::make(date, settings.zoneHours, record.from, settings.userAddress, true));
  lines.addIfAny("Reply-To: ", record.replyTo);
  lines.addIfAny("References: ", record.references);
  lines.addIfAny("In-Reply-To: ", record.inReplyTo);
  lines.addIfAny("Organization: ", record.organization.empty() ? settings.organization : record.organization);
  if (record.has(mailflag::kAttachments)) lines.add("Content-Type: ", "multipart");
  const InternalLine internal{internalcode::kWrittenByUser, record.internalText, record.has(mailflag::kSwitch1),
                              record.has(mailflag::kSwitch2), record.internalNumber};
  lines.addAsIs("Zorvik: ", internal.format());
  lines.add("KRDX: ", record.krdx);

  // The record becomes what a reader of the stored header will find.
  std::string header;
  for (const std::string& line : out.header) header += line + "\r\n";
  std::string organization = std::move(record.organization);  // no parsed line carries it
  record.date = date;
  parser.reparse(record, header);
  record.organization = std::move(organization);
  record.headerLineCount = static_cast<std::uint32_t>(out.header.size());
  record.flags &= ~(mailflag::kLink | mailflag::kSentUnread);
  record.flags |= mailflag::kSentByUser;
  return out;
}

}  // namespace zorvik::message
