/// \file
/// Header text sent as raw 8-bit bytes, without encoded words: current
/// mailers put UTF-8 straight into Subject, display names and attachment
/// names, while some old Japanese mailers put raw Shift_JIS (or EUC-JP)
/// there. Only the UTF-8 is converted here; everything else is left for the
/// later steps, which take raw 8-bit header text as Shift_JIS.
///
/// The rule, line by line: a line whose bytes are all well-formed UTF-8 and
/// hold at least one character beyond ASCII is UTF-8. Japanese Shift_JIS
/// text almost never passes: the lead bytes of its kana and first-level
/// kanji (0x81-0x9F) are bytes that cannot start a UTF-8 character, and
/// neither can 0xA4 and 0xA5, with which EUC-JP kana begin, and EUC-JP
/// kanji pairs seldom line up as UTF-8 sequences. What stays ambiguous is a
/// short run of half-width katakana that happens to pair up as a UTF-8
/// letter ("ﾃｩ" is the two bytes of "é"): such a line is taken as UTF-8,
/// which is what mailers send today. A line with one broken sequence is not
/// UTF-8 at all and stays as it came.
///
/// Lines are decided one by one (a folded field line by line), so a header
/// gives the same text whether it is converted a field or a whole header
/// at a time. Characters code page 932 lacks become the geta mark, as in
/// UTF-8 encoded words and bodies. Encoded words and ISO-2022-JP escapes are
/// ASCII and pass through for the header decoding that follows.
#pragma once

#include <string>
#include <string_view>

namespace zorvik::message {

class RawHeaderText {
public:
  /// `text` (one or more lines, line ends kept) with every UTF-8 line
  /// converted to Shift_JIS and every other line as it was.
  static std::string toSjis(std::string_view text);
};

}  // namespace zorvik::message
