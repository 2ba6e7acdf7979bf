/// \file
/// UTF-8 to Shift_JIS (code page 932), fed in pieces: UTF-8 mail bodies
/// arrive line by line and UTF-8 encoded words one word at a time, and a
/// character may be cut between two of them.
///
/// Every character is decoded by the full UTF-8 rules, so a four-byte
/// character (an emoji) takes exactly its four bytes and the text after it is
/// untouched. A character that CP932 cannot hold (all of those outside the
/// Basic Multilingual Plane among them) and every invalid byte become
/// kSjisReplacement. Which characters CP932 holds, and as which bytes, is
/// iconv's "CP932" mapping, read once into a table.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zorvik::message {

class Utf8Decoder {
public:
  struct Progress {
    std::size_t consumed = 0;  ///< input bytes used
    std::size_t written = 0;   ///< Shift_JIS bytes written
  };

  /// Converts the complete characters at the front of `utf8` into `out`,
  /// which has room for 2 * utf8.size() bytes. An incomplete character at
  /// the very end is left unconsumed, for the caller to put before the next
  /// piece.
  static Progress convert(std::string_view utf8, char* out);

  /// True when `bytes` are well-formed UTF-8 (no overlong form, surrogate,
  /// code point past U+10FFFF or cut character) holding at least one
  /// character beyond ASCII: text that can only have been meant as UTF-8.
  static bool isMultiByteText(std::string_view bytes);

  /// Converts `bytes`, after whatever incomplete character the previous call
  /// left, and appends the Shift_JIS text to `out`.
  void decode(std::string_view bytes, std::string& out);

  /// Ends the text: an incomplete character still held becomes one
  /// replacement.
  void finish(std::string& out);

private:
  std::string carry_;  // at most 3 bytes of a cut character
};

}  // namespace zorvik::message
