/// \file
/// Half-width katakana (JIS X 0201, single bytes 0xA1-0xDF in Shift_JIS) to
/// their full-width JIS X 0208 forms, for mail whose sender asks that no
/// half-width katakana leave as 8-bit bytes.
#pragma once

#include <string>
#include <string_view>

namespace zorvik::message {

/// Each half-width katakana becomes its one-for-one full-width character;
/// a voiced or semi-voiced mark stays a character of its own ("ｶﾞ" becomes
/// "カ゛", not "ガ"), so the text keeps its character count. 0xA0 becomes a
/// space. Double-byte characters and ASCII are copied.
std::string hankanaToZenkana(std::string_view sjis);

}  // namespace zorvik::message
