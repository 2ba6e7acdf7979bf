/// \file
/// Comparisons of MIME names (header fields, types, charsets, parameter
/// names, extensions) that ignore the letter case of ASCII letters only:
/// the names are ASCII by definition, and a locale-dependent tolower would
/// treat 8-bit bytes of Shift_JIS text differently on different machines.
#pragma once

#include <string>
#include <string_view>

namespace zorvik::message {

constexpr char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

constexpr bool startsWithCaseless(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (asciiLower(text[i]) != asciiLower(prefix[i])) return false;
  return true;
}

constexpr bool equalsCaseless(std::string_view a, std::string_view b) {
  return a.size() == b.size() && startsWithCaseless(a, b);
}

inline std::string asciiLowerCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = asciiLower(c);
  return out;
}

}  // namespace zorvik::message
