/// \file
/// Conversion between ISO-2022-JP (mail on the wire) and the Shift_JIS
/// (code page 932) text held everywhere inside Zorvik. Pure arithmetic over
/// JIS X 0208 rows, no conversion library: these run for every line of every
/// mail, so they are table-free loops that never allocate per character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zorvik::message {

/// The geta mark 〓 that stands for a character the other side cannot carry,
/// in Shift_JIS and in the JIS X 0208 form written inside an ISO-2022-JP
/// kanji run. Every Zorvik codec uses this one replacement.
inline constexpr std::string_view kSjisReplacement = "\x81\xAC";
inline constexpr std::string_view kJisReplacement = "\x22\x2E";

/// ISO-2022-JP to Shift_JIS over `size` bytes at `text`, in place; returns
/// the new size, which is never larger (no escape survives, every other byte
/// maps to at most itself). Recognised: ESC $ @ and ESC $ B (kanji),
/// ESC ( B and ESC ( J (ASCII), ESC ( I (half-width katakana), SO/SI.
/// Unknown escapes lose only their ESC byte. Lenient with broken mail: a
/// control byte or 8-bit byte inside a kanji or katakana run is copied as it
/// is (so a missing ESC ( B never swallows the line end), and a kanji byte
/// left alone at the end, or before such a byte, is dropped.
std::size_t jisToSjisInPlace(char* text, std::size_t size);

/// ISO-2022-JP to Shift_JIS of a whole string (see jisToSjisInPlace).
std::string jisToSjis(std::string_view jis);

/// How sjisToJis writes each run of double-byte characters.
enum class JisRuns {
  plain,         ///< ESC $ B ... ESC ( B inside the text (mail bodies)
  encodedWords,  ///< one "=?ISO-2022-JP?B?...?=" word per run (header values)
};

/// Shift_JIS to ISO-2022-JP of one line, appended to `out`. The line ends at
/// the first LF (the LF and what follows are not converted); NUL bytes are
/// ordinary bytes. ASCII and half-width katakana are copied unchanged (so
/// half-width katakana leave as 8-bit bytes unless converted to full width
/// first). A lead byte that is the last byte of the line is dropped.
///
/// Codes outside JIS X 0208 never break the 7-bit kanji run: NEC row 13
/// (circled digits, Roman numerals) and the NEC-selected IBM rows go out at
/// their natural JIS positions, the IBM extensions 0xFA-0xFC as their NEC
/// equivalents, and user-defined characters (0xF0-0xF9), undefined lead bytes
/// and a lead byte with an impossible trail byte as the geta mark; in the
/// last case the trail byte is kept as a character of its own.
void appendSjisToJis(std::string& out, std::string_view line, JisRuns runs = JisRuns::plain);

/// Shift_JIS to ISO-2022-JP of one line (see appendSjisToJis).
std::string sjisToJis(std::string_view line, JisRuns runs = JisRuns::plain);

/// "=?ISO-2022-JP?B?" + base64 of `bytes` (padded) + "?=". `bytes` are
/// ISO-2022-JP already, escapes included; no length limit, no folding.
std::string encodedWord(std::string_view bytes);

}  // namespace zorvik::message
