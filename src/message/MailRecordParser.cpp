#include "message/MailRecordParser.h"

#include <array>

#include "core/SettingsFile.h"
#include "core/SettingsItemTable.h"
#include "core/SjisText.h"
#include "message/AddressParser.h"
#include "message/HeaderBlanks.h"
#include "message/InternalLine.h"
#include "message/ListTag.h"
#include "message/MailDate.h"

namespace zorvik::message {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::size_t kListLineLimit = 1000;

// The address list as stored: one raw address a line, CR LF between lines.
std::string splitAddressList(std::string_view value) {
  std::string lines;
  for (const std::string& entry : AddressParser::splitList(value)) {
    if (!lines.empty()) lines += kCrLf;
    lines += entry;
  }
  return lines;
}

void appendLines(std::string& field, std::string_view value) {
  const std::string lines = splitAddressList(value);
  if (lines.empty()) return;
  if (!field.empty()) field += kCrLf;
  field += lines;
}

// The text between the first "<" and the ">" after it (to the end when no
// ">" follows); empty when there is no "<".
std::string_view bracketed(std::string_view value, std::size_t open) {
  if (open == std::string_view::npos) return {};
  const std::string_view inside = value.substr(open + 1);
  return inside.substr(0, inside.find('>'));
}

// The ";"-separated parameters of a Content-Type value name the protocol of
// an encrypted multipart; only PGP's counts.
bool isPgpEncrypted(std::string_view value) {
  constexpr std::string_view kName = "protocol=";
  for (std::size_t at = value.find(';'); at != std::string_view::npos; at = value.find(';', at + 1)) {
    std::string_view parameter = withoutLeadingBlanks(value.substr(at + 1));
    if (!core::startsWithIgnoringAsciiCase(parameter, kName)) continue;
    parameter = withoutOuterBlanks(parameter.substr(kName.size(), parameter.find(';') - kName.size()));
    if (parameter.size() >= 2 && parameter.front() == '"' && parameter.back() == '"')
      parameter = parameter.substr(1, parameter.size() - 2);
    if (core::equalsIgnoringAsciiCase(parameter, "application/pgp-encrypted")) return true;
  }
  return false;
}

void setContentType(MailRecord& record, std::string_view value) {
  record.contentType = std::string(value);
  if (core::startsWithIgnoringAsciiCase(value, "multipart/encrypted")) {
    if (isPgpEncrypted(value)) record.flags |= mailflag::kEncrypted;
    return;
  }
  if (core::startsWithIgnoringAsciiCase(value, "multipart")) record.flags |= mailflag::kAttachments;
  if (core::startsWithIgnoringAsciiCase(value, "message/partial")) record.flags |= mailflag::kFragment;
}

void setInternalLine(MailRecord& record, std::string_view value) {
  const InternalLine line = InternalLine::parse(value);
  record.internalCode = line.code;
  record.internalText = line.text;
  record.internalNumber = line.number;
  if (line.switch1) record.flags |= mailflag::kSwitch1;
  if (line.switch2) record.flags |= mailflag::kSwitch2;
}

void setParentKey(MailRecord& record, std::string_view id) {
  if (isZero(record.parentKey)) record.parentKey = threadKeyOf(id);
}

struct Field {
  std::string_view name;
  void (*apply)(MailRecord&, std::string_view value, const ParseContext&);
};

// Tried in this order; the first name that begins the line wins. Names are
// compared without regard to case, colon (and for Zorvik's own lines the
// space) included.
const std::array<Field, 17> kFields = {{
    {"Date:", [](MailRecord& r, std::string_view v, const ParseContext& c) {
       r.date = MailDate::parse(v, c.zoneHours, c.now);
     }},
    {"From:", [](MailRecord& r, std::string_view v, const ParseContext&) { r.from = splitAddressList(v); }},
    {"Subject:", [](MailRecord& r, std::string_view v, const ParseContext&) { r.subject = std::string(v); }},
    {"To:", [](MailRecord& r, std::string_view v, const ParseContext&) { appendLines(r.to, v); }},
    {"Cc:", [](MailRecord& r, std::string_view v, const ParseContext&) { appendLines(r.cc, v); }},
    {"Bcc:", [](MailRecord& r, std::string_view v, const ParseContext&) { r.bcc = splitAddressList(v); }},
    {"Sender:", [](MailRecord& r, std::string_view v, const ParseContext&) { r.sender = std::string(v); }},
    {"Reply-To:", [](MailRecord& r, std::string_view v, const ParseContext&) { r.replyTo = std::string(v); }},
    {"Message-Id:", [](MailRecord& r, std::string_view v, const ParseContext&) {
       r.messageId = std::string(bracketed(v, v.find('<')));
       r.ownKey = threadKeyOf(r.messageId);
     }},
    {"Status:", [](MailRecord& r, std::string_view v, const ParseContext&) { r.status = std::string(v); }},
    {"In-Reply-To:", [](MailRecord& r, std::string_view v, const ParseContext&) {
       r.inReplyTo = std::string(v);
       if (v.find('<') != std::string_view::npos) setParentKey(r, bracketed(v, v.find('<')));
     }},
    {"References:", [](MailRecord& r, std::string_view v, const ParseContext&) {
       r.references = std::string(v);
       // The last id of References is the mail answered.
       if (v.find('<') != std::string_view::npos) setParentKey(r, bracketed(v, v.rfind('<')));
     }},
    {"Content-Type:", [](MailRecord& r, std::string_view v, const ParseContext&) { setContentType(r, v); }},
    {"Zorvik: ", [](MailRecord& r, std::string_view v, const ParseContext&) { setInternalLine(r, v); }},
    // Without the space: "Received:" may be folded right after its name.
    {"Received:", [](MailRecord& r, std::string_view, const ParseContext&) {
       r.internalCode = internalcode::kReceived;
     }},
    {"X-Zorvik-AttachDir: ", [](MailRecord& r, std::string_view v, const ParseContext&) {
       r.attachmentFolder = std::string(v);
       r.flags |= mailflag::kAttachments;
     }},
    {"KRDX: ", [](MailRecord& r, std::string_view v, const ParseContext&) { r.krdx = std::string(v); }},
}};

// Cuts `text` at `lineEnd`; the last piece may lack it.
template <typename Visit>
void forEachLine(std::string_view text, std::string_view lineEnd, Visit visit) {
  while (!text.empty()) {
    const std::size_t end = text.find(lineEnd);
    if (!visit(text.substr(0, end))) return;
    if (end == std::string_view::npos) return;
    text.remove_prefix(end + lineEnd.size());
  }
}

}  // namespace

ParseContext ParseContext::fromSettings(const core::SettingsFile& settings, std::time_t now) {
  return ParseContext{settings.aliases(), settings.timeZoneOffsetHours(), now,
                      settings.text(core::item::kSenderAddress)};
}

bool MailRecordParser::parseLine(MailRecord& record, std::string_view line) const {
  if (line.empty() || line.front() == '\r') return false;
  for (const Field& field : kFields) {
    if (!core::startsWithIgnoringAsciiCase(line, field.name)) continue;
    field.apply(record, withoutLeadingBlanks(line.substr(field.name.size())), context_);
    return true;
  }
  return true;
}

std::size_t MailRecordParser::parseText(MailRecord& record, std::string_view text, std::string_view lineEnd) const {
  if (lineEnd.empty()) lineEnd = kCrLf;
  std::size_t parsed = 0;
  std::string unfolded;
  bool ended = false;
  forEachLine(text, lineEnd, [&](std::string_view line) {
    // A draft read with LF line ends may still carry the CR of each line.
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!unfolded.empty() && !line.empty() && isHeaderBlank(line.front())) {
      unfolded += line;  // the line break goes, the blank stays
      return true;
    }
    if (!unfolded.empty()) {
      parseLine(record, unfolded);
      ++parsed;
    }
    unfolded = line;
    ended = line.empty();
    return !ended;
  });
  if (!ended && !unfolded.empty()) {
    parseLine(record, unfolded);
    ++parsed;
  }
  return parsed;
}

void MailRecordParser::reparse(MailRecord& record, std::string_view storedHeader, std::string_view identity) const {
  record.reset();
  parseText(record, storedHeader, kCrLf);
  postProcess(record, identity);
}

void MailRecordParser::postProcess(MailRecord& record, std::string_view identity) const {
  const std::string_view user = identity.empty() ? std::string_view(context_.userAddress) : identity;
  if (record.internalCode == internalcode::kWrittenByUser) {
    record.flags |= mailflag::kSentByUser;
  } else if (record.internalCode != internalcode::kSent && !record.messageId.empty()) {
    if (findAddressInList(user, record.to)) {
      record.flags |= mailflag::kToUser;
    } else if (record.internalCode != internalcode::kReceived && findAddressInList(user, record.from)) {
      record.flags |= mailflag::kSentByUser;
    }
  } else {
    record.flags |= mailflag::kSentByUser | mailflag::kSentUnread;
  }

  const AddressParser parser(context_.aliases);
  const MailAddress from = parser.shortDisplay(record.from, false);
  record.fromAddress = from.address;
  record.fromName = from.name;
  record.fromLocalPart = AddressParser::localPart(from.address).value_or("");
  if (record.has(mailflag::kSentByUser)) {
    const MailAddress to = parser.shortDisplay(record.to, true);
    record.listAddress = to.address;
    record.listName = to.name;
  } else {
    record.listAddress = record.fromAddress;
    record.listName = record.fromName;
  }
  record.listTag = listTagOf(record.subject);
}

bool MailRecordParser::sameAddress(std::string_view a, std::string_view b) const {
  const AddressParser parser(context_.aliases);
  const std::string first = parser.parseOne(a).mail.address;
  return !first.empty() && core::equalsIgnoringAsciiCase(first, parser.parseOne(b).mail.address);
}

bool MailRecordParser::findAddressInList(std::string_view address, std::string_view list,
                                         std::string* matched) const {
  const AddressParser parser(context_.aliases);
  const std::string wanted = parser.parseOne(address).mail.address;
  if (wanted.empty()) return false;
  std::size_t lines = 0;
  bool found = false;
  forEachLine(list, "\n", [&](std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (core::equalsIgnoringAsciiCase(wanted, parser.parseOne(line).mail.address)) {
      if (matched) *matched = std::string(line);
      found = true;
    }
    return !found && ++lines < kListLineLimit;
  });
  return found;
}

}  // namespace zorvik::message
