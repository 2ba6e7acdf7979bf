#include "view/TagScanner.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

#include "core/SjisText.h"

namespace zorvik::view {
namespace {

bool isAlnum(unsigned char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isAddressChar(unsigned char c) { return isAlnum(c) || c == '.' || c == '-' || c == '_'; }
bool isPathSymbol(unsigned char c) { return c != 0 && std::strchr("/\\~?=#,()@$", c) != nullptr; }
bool isUrlChar(unsigned char c) { return isAddressChar(c) || isPathSymbol(c) || c == '%' || c == '&' || c == ':' || c == ';'; }
using core::isSjisLeadByte;

unsigned char at(std::string_view line, std::size_t i) { return i < line.size() ? static_cast<unsigned char>(line[i]) : 0; }

// Full-width space and the punctuation that ends a sentence or closes a
// bracket: Japanese text puts them right after a path ("\\srv\共有」を").
bool endsPath(unsigned char lead, unsigned char trail) {
  if (lead != 0x81) return false;
  static constexpr std::array<unsigned char, 14> kTrails = {0x40, 0x41, 0x42, 0x43, 0x44, 0x48, 0x49,
                                                            0x69, 0x6A, 0x75, 0x76, 0x77, 0x78, 0x7A};
  return std::find(kTrails.begin(), kTrails.end(), trail) != kTrails.end();
}

struct CommandWord {
  std::string_view word;
  TagKind kind;
};
constexpr std::array<CommandWord, 4> kCommands = {{{"@#MIME ", TagKind::MimeLine},
                                                   {"@#UUENCODE ", TagKind::UuencodeLine},
                                                   {"@#BINHEX ", TagKind::BinhexLine},
                                                   {"@#INCLUDE ", TagKind::IncludeLine}}};

// The file a tag-command line names: the first quoted text, or the rest
// of the line when it is not quoted (a missing closing quote takes the
// rest of the line too).
std::string referenceOf(std::string_view argument) {
  while (!argument.empty() && argument.front() == ' ') argument.remove_prefix(1);
  if (!argument.empty() && argument.front() == '"') {
    argument.remove_prefix(1);
    return std::string(argument.substr(0, argument.find('"')));
  }
  while (!argument.empty() && argument.back() == ' ') argument.remove_suffix(1);
  return std::string(argument);
}

std::optional<Tag> commandLine(std::string_view line) {
  for (const CommandWord& command : kCommands) {
    if (line.starts_with(command.word))
      return Tag{command.kind, 0, line.size(), referenceOf(line.substr(command.word.size()))};
  }
  return std::nullopt;
}

// Drops the sentence's "." or "," and a ")" the URL did not open, but
// never below `minimumEnd`.
std::size_t trimUrl(std::string_view line, std::size_t start, std::size_t end, std::size_t minimumEnd) {
  while (end > minimumEnd) {
    const char last = line[end - 1];
    if (last == '.' || last == ',') {
      --end;
      continue;
    }
    const std::string_view url = line.substr(start, end - start);
    if (last == ')' && std::count(url.begin(), url.end(), ')') > std::count(url.begin(), url.end(), '(')) {
      --end;
      continue;
    }
    break;
  }
  return end;
}

// The end of the URL whose scheme word `scheme` starts at `start`, with an
// optional "s" when `secure` is allowed.
std::optional<std::size_t> urlEnd(std::string_view line, std::size_t start, std::string_view scheme, bool secure) {
  if (line.substr(start, scheme.size()) != scheme) return std::nullopt;
  std::size_t i = start + scheme.size();
  if (secure && at(line, i) == 's') ++i;
  if (at(line, i) != ':') return std::nullopt;
  const std::size_t firstUrlChar = ++i;
  while (isUrlChar(at(line, i))) ++i;
  if (i == firstUrlChar) return std::nullopt;
  return trimUrl(line, start, i, firstUrlChar + 1);
}

// The end of an address whose "@" is at `atSign`: a letter or digit, then
// letters, digits or "-", a ".", a letter or digit and one more address
// character; then the rest of the run of address characters.
std::optional<std::size_t> addressEnd(std::string_view line, std::size_t atSign) {
  std::size_t i = atSign + 1;
  if (!isAlnum(at(line, i))) return std::nullopt;
  ++i;
  while (isAlnum(at(line, i)) || at(line, i) == '-') ++i;
  if (at(line, i) != '.') return std::nullopt;
  ++i;
  if (!isAlnum(at(line, i)) || !isAddressChar(at(line, i + 1))) return std::nullopt;
  i += 2;
  const std::size_t minimumEnd = i;
  while (isAddressChar(at(line, i))) ++i;
  while (i > minimumEnd && line[i - 1] == '.') --i;
  return i;
}

// The end of a network path "\\name..." starting at `start`.
std::optional<std::size_t> networkPathEnd(std::string_view line, std::size_t start) {
  if (at(line, start) != '\\' || at(line, start + 1) != '\\') return std::nullopt;
  std::size_t i = start + 2;
  while (i < line.size()) {
    const unsigned char c = at(line, i);
    if (isSjisLeadByte(c) && i + 1 < line.size()) {
      if (endsPath(c, at(line, i + 1))) break;
      i += 2;
      continue;
    }
    if (!isAddressChar(c) && !isPathSymbol(c)) break;
    ++i;
  }
  if (i == start + 2) return std::nullopt;
  return trimUrl(line, start, i, start + 3);
}

}  // namespace

std::vector<Tag> TagScanner::scan(std::string_view line) {
  if (auto command = commandLine(line)) return {std::move(*command)};

  std::vector<Tag> tags;
  constexpr std::size_t kNoWord = std::string_view::npos;
  std::size_t wordStart = kNoWord;
  std::size_t i = 0;
  while (i < line.size()) {
    const unsigned char c = at(line, i);
    if (isSjisLeadByte(c)) {
      wordStart = kNoWord;
      i += 2;
      continue;
    }
    if (wordStart == kNoWord) {
      if (const auto end = networkPathEnd(line, i)) {
        tags.push_back({TagKind::NetworkPath, i, *end - i, {}});
        i = *end;
        continue;
      }
      if (!isAlnum(c)) {
        ++i;
        continue;
      }
      wordStart = i;
    }
    // Inside a word: a web or ftp address may start even in mid-word.
    std::optional<std::size_t> end;
    if (c == 'h' && (end = urlEnd(line, i, "http", true))) {
      tags.push_back({TagKind::Http, i, *end - i, {}});
    } else if (c == 'f' && (end = urlEnd(line, i, "ftp", false))) {
      tags.push_back({TagKind::Ftp, i, *end - i, {}});
    } else if (c == '@') {
      end = addressEnd(line, i);
      if (end) tags.push_back({TagKind::MailAddress, wordStart, *end - wordStart, {}});
      wordStart = kNoWord;
      i = end.value_or(i + 1);
      continue;
    } else if (isAddressChar(c)) {
      ++i;
      continue;
    } else {
      // The word ends here; the character is looked at again outside it.
      wordStart = kNoWord;
      continue;
    }
    wordStart = kNoWord;
    i = *end;
  }
  return tags;
}

}  // namespace zorvik::view
