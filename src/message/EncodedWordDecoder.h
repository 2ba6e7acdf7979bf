/// \file
/// Decoding of header values (and of any stored line) from what travels in
/// mail, RFC 2047 encoded words and raw ISO-2022-JP, into Shift_JIS.
#pragma once

#include <string>
#include <string_view>

namespace zorvik::message {

/// Reads "=?charset?B?...?=" and "=?charset?Q?...?=" words for the charsets
/// ISO-2022-JP, US-ASCII, ISO-8859-1, ISO-8859-2 and UTF-8 (names and
/// markers in any letter case); everything else stays as it is.
///
/// Lenient by design: a word with another charset or marker is kept as text;
/// a word without its closing "?=" takes the rest of the value. White space
/// between two decoded words is dropped (it only separates them), so a kanji
/// string or a UTF-8 character split over two words comes out whole. A UTF-8
/// character left incomplete at the end of a word, and not continued by the
/// next word, becomes one replacement mark. Latin text becomes Shift_JIS with
/// the replacement mark for letters code page 932 lacks (so "é" can never
/// pair up with the next byte as a double-byte character). Finally the whole
/// value, raw escapes included, goes from ISO-2022-JP to Shift_JIS.
class EncodedWordDecoder {
public:
  static std::string decode(std::string_view value);
};

}  // namespace zorvik::message
