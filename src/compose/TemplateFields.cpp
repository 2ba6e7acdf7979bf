#include "compose/TemplateFields.h"

#include <cctype>

#include "core/SjisText.h"
#include "message/AddressParser.h"
#include "message/MailDate.h"

namespace zorvik::compose {
namespace {

struct Field {
  std::string_view keyword;
  std::string (*value)(const message::MailRecord& mail, int zoneHours);
};

constexpr Field kFields[] = {
    {"[Date:]", [](const message::MailRecord& m, int zone) { return message::MailDate::format(m.date, zone); }},
    {"[From:]", [](const message::MailRecord& m, int) { return TemplateFields::joinedList(m.from); }},
    {"[Subject:]", [](const message::MailRecord& m, int) { return m.subject; }},
    {"[To:]", [](const message::MailRecord& m, int) { return TemplateFields::joinedList(m.to); }},
    {"[Cc:]", [](const message::MailRecord& m, int) { return TemplateFields::joinedList(m.cc); }},
    {"[Sender:]", [](const message::MailRecord& m, int) { return m.sender; }},
    {"[Reply-To:]", [](const message::MailRecord& m, int) { return m.replyTo; }},
    {"[Message-Id:]",
     [](const message::MailRecord& m, int) { return m.messageId.empty() ? std::string() : "<" + m.messageId + ">"; }},
    {"[References:]", [](const message::MailRecord& m, int) { return m.references; }},
    {"[In-Reply-To:]", [](const message::MailRecord& m, int) { return m.inReplyTo; }},
    {"[Status:]", [](const message::MailRecord& m, int) { return m.status; }},
    {"[name]", [](const message::MailRecord& m, int) { return m.fromName; }},
    {"[name@]", [](const message::MailRecord& m, int) { return m.fromLocalPart; }},
    {"[addr]", [](const message::MailRecord& m, int) { return m.fromAddress; }},
};

}  // namespace

std::optional<std::string> TemplateFields::value(std::string_view keyword) const {
  for (const Field& field : kFields) {
    if (!core::equalsIgnoringAsciiCase(keyword, field.keyword)) continue;
    return source_ ? field.value(source_->record, zoneHours_) : std::string();
  }
  return addressBookValue(keyword);
}

// The address book is asked about the other party: the first recipient of
// the user's own mail, the sender of any other. Without a mail, a book or
// an entry for the party the keyword is empty.
std::optional<std::string> TemplateFields::addressBookValue(std::string_view keyword) const {
  std::string tag(keyword);
  for (char& c : tag) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  static const addressbook::AddressEntry kNobody;
  if (!kNobody.templateValue(tag)) return std::nullopt;
  if (!source_ || !book_) return std::string();
  const message::MailRecord& mail = source_->record;
  static const core::AliasTable kNoAliases;
  const std::string party =
      source_->writtenByUser() ? message::AddressParser(kNoAliases).parseOne(mail.to).mail.address : mail.fromAddress;
  const auto entry = party.empty() ? std::nullopt : book_->findByAddress(party);
  return entry ? *entry->templateValue(tag) : std::string();
}

std::string TemplateFields::joinedList(std::string_view list) {
  std::string joined;
  while (!list.empty()) {
    const std::size_t end = list.find('\n');
    std::string_view line = list.substr(0, end);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    if (!line.empty()) joined += (joined.empty() ? "" : ",") + std::string(line);
    if (end == std::string_view::npos) break;
    list.remove_prefix(end + 1);
  }
  return joined;
}

std::string TemplateFields::expand(std::string_view text) const {
  return expandKeywords(text, [this](std::string_view keyword) { return value(keyword); });
}

std::string TemplateFields::expandKeywords(std::string_view text, const Lookup& lookup) {
  std::string out;
  out.reserve(text.size());
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t length = core::sjisCharLength(text, at);
    if (length == 1 && text[at] == '[') {
      std::size_t end = at + 1;
      while (end < text.size() && text[end] != ']')
        end += core::sjisCharLength(text, end);
      if (end < text.size()) {
        if (const auto replacement = lookup(text.substr(at, end + 1 - at))) {
          out += *replacement;
          at = end + 1;
          continue;
        }
      }
    }
    out.append(text.substr(at, length));
    at += length;
  }
  return out;
}

}  // namespace zorvik::compose
