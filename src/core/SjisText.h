/// \file
/// Byte-level helpers for Shift_JIS text: where characters begin, and
/// searching and comparing without matching across a character's two bytes.
#pragma once

#include <cstddef>
#include <string_view>

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

/// Equality that ignores the letter case of ASCII letters only.
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace zorvik::core
