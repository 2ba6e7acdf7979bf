/// \file
/// Encoding of a Shift_JIS header line for sending: Japanese text becomes
/// RFC 2047 "=?ISO-2022-JP?B?...?=" words, everything else stays as it is.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zorvik::message {

class HeaderEncoder {
public:
  /// RFC 2047's limit for one encoded word; 18 kanji fit in it.
  static constexpr std::size_t kMaxWordLength = 75;

  /// Each run of double-byte characters becomes one encoded word (ESC $ B,
  /// the run in JIS X 0208, ESC ( B, in base64), exactly as
  /// sjisToJis(line, JisRuns::encodedWords) writes it, with one difference: a
  /// run too long for kMaxWordLength is cut between characters into several
  /// words joined by "\r\n " (a folded continuation; readers drop white space
  /// between encoded words), so a long Subject never makes a line that SMTP
  /// servers refuse or cut inside a word. ASCII and half-width katakana are
  /// copied (convert the katakana with hankanaToZenkana first when they must
  /// not leave as 8-bit bytes). A lead byte at the very end is dropped.
  ///
  /// For whole header lines; a value inside a quoted parameter (a file name)
  /// should not be folded and goes through sjisToJis instead.
  static std::string encode(std::string_view sjis);
};

}  // namespace zorvik::message
