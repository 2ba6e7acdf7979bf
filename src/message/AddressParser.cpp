#include "message/AddressParser.h"

#include "core/SjisText.h"
#include "platform/TextEncoding.h"

namespace zorvik::message {
namespace {

constexpr std::string_view kSeparators = ",;\r\n";
// Opening and closing quote characters at matching positions; the first
// opens and closes with the same character and therefore cannot nest. An
// apostrophe is no quote: it is a letter of names and addresses (O'Neil,
// o'brien@example.com).
constexpr std::string_view kOpening = "\"([";
constexpr std::string_view kClosing = "\")]";
constexpr std::size_t kFirstNesting = 1;

constexpr std::string_view kWhiteSpace = " \t\r\n\v\f";

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(kWhiteSpace);
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(kWhiteSpace);
  return text.substr(first, last - first + 1);
}

// Where the current byte belongs while one address is walked.
enum class Zone {
  outside,         // bare address text and the name before "<"
  brackets,        // inside <...>
  quoted,          // in a quote or comment opened outside the brackets
  quotedBrackets,  // in a quote or comment opened inside the brackets
};

// The state of one parseOne run: the four texts the result is made from and
// where in the quoting the walk is.
class AddressScan {
public:
  // Takes one byte. Returns false when the byte is a separator that ends the
  // address. `literal` bytes (escaped, or the trail of a double-byte
  // character) are text whatever they are.
  bool take(char c, bool literal) {
    if (literal) {
      append(c);
      return true;
    }
    switch (zone_) {
      case Zone::outside:
        if (kSeparators.find(c) != std::string_view::npos) return false;
        if (c == '<') {
          zone_ = Zone::brackets;
          return true;
        }
        if (!openQuote(c, Zone::quoted)) append(c);
        return true;
      case Zone::brackets:
        if (c == '>') {
          zone_ = Zone::outside;
          return true;
        }
        if (!openQuote(c, Zone::quotedBrackets)) append(c);
        return true;
      case Zone::quoted:
      case Zone::quotedBrackets:
        inQuote(c);
        return true;
    }
    return true;
  }

  MailAddress result() const {
    const std::string_view address = trimmed(bracket_.empty() ? bare_ : bracket_);
    return {std::string(address), displayName(bracket_.empty() ? comment_ : display_)};
  }

private:
  // The name without the parentheses of a comment or the quotes around it.
  static std::string displayName(std::string_view text) {
    std::string name(trimmed(text));
    if (!name.empty() && name.front() == '(') {
      name.front() = ' ';
      if (name.back() == ')') name.back() = ' ';
    }
    if (!name.empty() && name.front() == '"') {
      name.front() = ' ';
      if (name.back() == '"') name.back() = ' ';
    }
    return std::string(trimmed(name));
  }

  bool openQuote(char c, Zone zone) {
    const auto kind = kOpening.find(c);
    if (kind == std::string_view::npos) return false;
    zone_ = zone;
    kind_ = kind;
    depth_ = 1;
    appendQuoted(c);
    return true;
  }

  void inQuote(char c) {
    if (kind_ >= kFirstNesting && c == kOpening[kind_]) {
      ++depth_;
    } else if (c == kClosing[kind_] && --depth_ == 0) {
      zone_ = zone_ == Zone::quoted ? Zone::outside : Zone::brackets;
    }
    appendQuoted(c);
  }

  void append(char c) {
    switch (zone_) {
      case Zone::outside:
        bare_ += c;
        display_ += c;
        return;
      case Zone::brackets:
        bracket_ += c;
        return;
      case Zone::quoted:
      case Zone::quotedBrackets:
        appendQuoted(c);
        return;
    }
  }

  void appendQuoted(char c) {
    display_ += c;
    comment_ += c;
  }

  Zone zone_ = Zone::outside;
  std::size_t kind_ = 0;  // position of the opening character in kOpening
  int depth_ = 0;
  // No length cap: a cut address would send mail to someone else.
  std::string bare_, bracket_, display_, comment_;
};

}  // namespace

AddressParser::Parsed AddressParser::parseOne(std::string_view text) const {
  AddressScan scan;
  std::size_t i = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\\') {
      // The backslash is dropped; at the very end it escapes nothing.
      if (++i == text.size()) break;
      scan.take(text[i], true);
      continue;
    }
    if (!scan.take(c, false)) break;
    if (core::sjisCharLength(text, i) == 2) scan.take(text[++i], true);
  }
  Parsed parsed{scan.result(), i};
  parsed.mail.address = applyAliases(std::move(parsed.mail.address), aliases_);
  return parsed;
}

std::vector<MailAddress> AddressParser::parseList(std::string_view text) const {
  std::vector<MailAddress> addresses;
  while (true) {
    Parsed parsed = parseOne(text);
    if (!parsed.mail.address.empty()) addresses.push_back(std::move(parsed.mail));
    if (parsed.end >= text.size()) return addresses;
    text.remove_prefix(parsed.end + 1);
  }
}

std::vector<std::string> AddressParser::splitList(std::string_view text) {
  const core::AliasTable noAliases;
  const AddressParser parser(noAliases);
  std::vector<std::string> entries;
  while (true) {
    const std::size_t end = parser.parseOne(text).end;
    const std::string_view entry = trimmed(text.substr(0, end));
    if (!entry.empty()) entries.emplace_back(entry);
    if (end >= text.size()) return entries;
    text.remove_prefix(end + 1);
  }
}

MailAddress AddressParser::shortDisplay(std::string_view list, bool multiLine) const {
  static const std::string kOthers = platform::utf8ToSjis(" 他");
  const auto cr = list.find('\r');
  const bool moreLines = multiLine && cr != std::string_view::npos;
  if (moreLines) list = list.substr(0, cr);
  MailAddress shown = parseOne(list).mail;
  if (shown.name.empty()) shown.name = localPart(shown.address).value_or("");
  if (moreLines) {
    shown.address += "...";
    shown.name += kOthers;
  }
  return shown;
}

std::optional<std::string> AddressParser::localPart(std::string_view address) {
  // A trail byte 0x40 is not "@".
  const auto at = core::findSjis(address, "@");
  if (at == std::string_view::npos) return std::nullopt;
  return std::string(address.substr(0, at));
}

std::string AddressParser::applyAliases(std::string address, const core::AliasTable& aliases) {
  for (const core::DomainAlias& alias : aliases) {
    if (alias.from.empty()) continue;
    const auto at = core::findSjis(address, alias.from);
    if (at == std::string_view::npos || at == 0) continue;
    if (address[at - 1] != '@' && address[at - 1] != '.') continue;
    address.replace(at, alias.from.size(), alias.to);
    return address;
  }
  return address;
}

}  // namespace zorvik::message
