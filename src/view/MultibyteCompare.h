/// \file
/// The list's text comparison: Shift_JIS compared character by character,
/// a double-byte character counting as one value (lead byte times 256 plus
/// trail byte). Plain byte order would put every double-byte character
/// whose lead byte is below 0xA1 in front of the half-width katakana; by
/// character value the half-width katakana (one byte) come first, as a
/// Japanese user expects from their list. A lead byte cut off at the end of
/// a stored field counts as a single byte.
#pragma once

#include <string>
#include <string_view>

namespace zorvik::view {

/// Negative, zero or positive as `a` sorts before, with or after `b`.
int compareMultibyte(std::string_view a, std::string_view b);

/// Appends the sort key of `text` to `key`: every character as two bytes
/// (a single byte after a zero byte, a double-byte character as it is), so
/// that plain byte order of keys is the order of compareMultibyte. Sorting
/// many texts compares their keys with memcmp.
void appendMultibyteKey(std::string_view text, std::string& key);

}  // namespace zorvik::view
