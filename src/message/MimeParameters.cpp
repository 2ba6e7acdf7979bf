#include "message/MimeParameters.h"

#include "core/SjisText.h"
#include "message/MimeCharset.h"

#include <charconv>
#include <map>

namespace zorvik::message {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// A comment "(...)" may sit wherever white space may; nested ones count.
std::size_t skipBlanksAndComments(std::string_view text, std::size_t at) {
  int depth = 0;
  for (; at < text.size(); ++at) {
    const char c = text[at];
    if (c == '(') {
      ++depth;
    } else if (c == ')' && depth > 0) {
      --depth;
    } else if (depth == 0 && !isBlank(c)) {
      break;
    }
  }
  return at;
}

// Reads the quoted string whose opening quote is at `at`; returns the
// position after the closing quote (or the end). Folding (CR LF and the
// blanks after it) is dropped; a backslash quotes the next character.
std::size_t readQuoted(std::string_view text, std::size_t at, std::string& value) {
  for (++at; at < text.size(); ++at) {
    const char c = text[at];
    if (c == '"') return at + 1;
    if (c == '\\' && at + 1 < text.size() && (text[at + 1] == '"' || text[at + 1] == '\\')) {
      value += text[++at];
    } else if (c == '\r' || c == '\n') {
      while (at + 1 < text.size() && isBlank(text[at + 1])) ++at;
    } else {
      value += c;
    }
  }
  return at;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  const char l = core::asciiLower(c);
  if (l >= 'a' && l <= 'f') return l - 'a' + 10;
  return -1;
}

std::string percentDecoded(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const int high = text[i] == '%' && i + 2 < text.size() ? hexValue(text[i + 1]) : -1;
    const int low = high >= 0 ? hexValue(text[i + 2]) : -1;
    if (low < 0) {
      out += text[i];
      continue;
    }
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return out;
}

// Splits "charset'language'value" of the first extended section.
std::pair<std::string, std::string> splitCharset(std::string_view value) {
  const auto first = value.find('\'');
  const auto second = first == std::string_view::npos ? first : value.find('\'', first + 1);
  if (second == std::string_view::npos) return {"", std::string(value)};
  return {std::string(value.substr(0, first)), std::string(value.substr(second + 1))};
}

}  // namespace

MimeParameters::MimeParameters(std::string_view value) {
  const auto semicolon = value.find(';');
  if (semicolon == std::string_view::npos) return;
  std::size_t at = semicolon + 1;
  while (at < value.size()) {
    at = skipBlanksAndComments(value, at);
    const std::size_t nameStart = at;
    while (at < value.size() && value[at] != '=' && value[at] != ';' && !isBlank(value[at])) ++at;
    std::string name = core::asciiLowerCase(value.substr(nameStart, at - nameStart));
    at = skipBlanksAndComments(value, at);
    if (at >= value.size() || value[at] != '=') {
      // A stray word: skip to the next parameter.
      while (at < value.size() && value[at] != ';') ++at;
      ++at;
      continue;
    }
    at = skipBlanksAndComments(value, at + 1);
    std::string parameterValue;
    if (at < value.size() && value[at] == '"') {
      at = readQuoted(value, at, parameterValue);
    } else {
      const std::size_t start = at;
      while (at < value.size() && value[at] != ';' && !isBlank(value[at])) ++at;
      parameterValue = value.substr(start, at - start);
    }
    if (!name.empty()) parameters_.emplace_back(std::move(name), std::move(parameterValue));
    while (at < value.size() && value[at] != ';') ++at;
    ++at;
  }
}

std::optional<std::string> MimeParameters::get(std::string_view name) const {
  const std::string wanted = core::asciiLowerCase(name);
  for (const auto& [key, value] : parameters_)
    if (key == wanted) return value;
  return std::nullopt;
}

std::optional<std::string> MimeParameters::extended(std::string_view name) const {
  const std::string prefix = core::asciiLowerCase(name) + "*";
  if (const auto whole = get(prefix)) {
    auto [charset, text] = splitCharset(*whole);
    return MimeCharset::toSjis(charset, percentDecoded(text));
  }
  // Sections by number; a section name ending in "*" is percent-encoded.
  std::map<int, std::pair<std::string, bool>> sections;
  for (const auto& [key, value] : parameters_) {
    if (key.size() <= prefix.size() || key.compare(0, prefix.size(), prefix) != 0) continue;
    std::string_view rest = std::string_view(key).substr(prefix.size());
    const bool encoded = rest.back() == '*';
    if (encoded) rest.remove_suffix(1);
    int number = -1;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), number);
    if (error != std::errc() || end != rest.data() + rest.size() || number < 0) continue;
    sections.emplace(number, std::make_pair(value, encoded));
  }
  if (sections.empty() || sections.begin()->first != 0) return std::nullopt;
  std::string charset;
  std::string bytes;
  int expected = 0;
  for (const auto& [number, section] : sections) {
    if (number != expected++) break;
    std::string text = section.first;
    if (number == 0 && section.second) std::tie(charset, text) = splitCharset(text);
    bytes += section.second ? percentDecoded(text) : text;
  }
  return MimeCharset::toSjis(charset, bytes);
}

}  // namespace zorvik::message
