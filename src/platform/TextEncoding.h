/// \file
/// Conversion between the Shift_JIS text used everywhere inside Zorvik and the
/// Unicode of the outside world (terminal, file names, UTF-8 mail), through
/// iconv's "CP932", which holds the NEC and IBM extensions that Japanese mail
/// carries every day (circled digits, Roman numerals).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zorvik::platform {

/// UTF-8 to Shift_JIS. A character that CP932 cannot hold, and any invalid
/// UTF-8 byte, becomes `replacement` (given in Shift_JIS).
std::string utf8ToSjis(std::string_view utf8, std::string_view replacement = "?");

/// Shift_JIS to UTF-8. A byte sequence that is not CP932 becomes U+FFFD.
std::string sjisToUtf8(std::string_view sjis);

/// Text in any charset iconv knows to Shift_JIS, characters CP932 cannot hold
/// replaced. Empty result when iconv does not know `charset`.
std::optional<std::string> charsetToSjis(std::string_view charset, std::string_view text,
                                         std::string_view replacement = "?");

/// The Shift_JIS form of a UTF-8 string literal, converted on first use and
/// kept for the life of the process: the one way Japanese literals of the
/// source enter the program. `utf8` must be a literal (it is keyed by address).
const std::string& sjisLiteral(const char* utf8);

/// True when every byte is 7-bit: such text is the same in all three encodings.
bool isAscii(std::string_view text);

}  // namespace zorvik::platform
