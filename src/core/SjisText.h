/// \file
/// Byte-level helpers for Shift_JIS text: where characters begin, and
/// searching and comparing without matching across a character's two bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik::core {

/// True for the first byte of a double-byte character (0x80-0x9F, 0xE0-0xFF).
constexpr bool isSjisLeadByte(unsigned char c) { return (c >= 0x80 && c <= 0x9F) || c >= 0xE0; }

/// Bytes of the character that starts at `at` (1 or 2; 1 for a lead byte at
/// the very end).
constexpr std::size_t sjisCharLength(std::string_view text, std::size_t at) {
  return isSjisLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

/// First position at a character boundary of `text` where `needle` occurs,
/// or npos. A match that would begin on a trail byte is not a match.
std::size_t findSjis(std::string_view text, std::string_view needle);

/// `text` cut into pieces of at most `width` bytes, never inside a
/// double-byte character; a piece holds at least one character, so a width
/// below 2 still makes progress. An empty text gives one empty piece.
std::vector<std::string_view> breakSjis(std::string_view text, std::size_t width);

/// Letter case of ASCII letters only: names in mail (header fields, types,
/// charsets, extensions) are ASCII by definition, and a locale-dependent
/// tolower would treat the 8-bit bytes of Shift_JIS text differently on
/// different machines.
constexpr char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

constexpr bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (asciiLower(text[i]) != asciiLower(prefix[i])) return false;
  return true;
}

constexpr bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && startsWithIgnoringAsciiCase(a, b);
}

/// `text` with its ASCII letters in lower case.
std::string asciiLowerCase(std::string_view text);

}  // namespace zorvik::core
