/// \file
/// What a search treats as the same character. Every character of
/// Shift_JIS text is read as one code (a single byte as itself, a
/// double-byte character as lead * 256 + trail) and then folded:
///  - ignoring letter case folds the single-byte letters A-Z to a-z, and
///    nothing else: the trail byte of a double-byte character that happens
///    to be an ASCII letter ("ア" is 0x83 0x41) is never folded;
///  - ignoring width makes the full-width forms of ASCII ("ＡＢＣ", "１２３",
///    "！", the ideographic space) the ASCII characters, and half-width
///    katakana ("ｶﾀｶﾅ") the full-width katakana; a half-width kana followed
///    by a half-width voiced or semi-voiced mark is one character ("ｶﾞ" is
///    "ガ", "ﾊﾟ" is "パ", "ｳﾞ" is "ヴ");
///  - ignoring kana makes hiragana the katakana of the same sound.
/// Full-width letters become ASCII first, so with width and case ignored
/// "ａ", "Ａ", "a" and "A" are one character.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik::search {

struct FoldOptions {
  bool ignoreCase = false;
  bool ignoreWidth = false;
  bool ignoreKana = false;

  bool foldsNothing() const { return !ignoreCase && !ignoreWidth && !ignoreKana; }
};

/// One character of a text: its folded code and how many bytes it took.
struct FoldedChar {
  std::uint16_t code = 0;
  std::uint8_t length = 1;
};

class CharacterFold {
public:
  explicit CharacterFold(FoldOptions options);

  const FoldOptions& options() const { return options_; }

  /// The character that starts at `at` (which must lie inside `text` and
  /// on a character boundary). A lead byte at the very end is a character
  /// of its own.
  FoldedChar at(std::string_view text, std::size_t at) const;

  /// Every byte sequence of one character that folds to `code`, the code
  /// itself included when it is one.
  std::vector<std::string> formsOf(std::uint16_t code) const;

  /// The folded codes of `text`, one per character.
  std::vector<std::uint16_t> codes(std::string_view text) const;

private:
  std::uint16_t foldSingle(unsigned char c) const;
  std::uint16_t foldDouble(std::uint16_t code) const;

  FoldOptions options_;
};

/// The raw bytes of a character code (one byte below 0x100, else two).
std::string bytesOf(std::uint16_t code);

}  // namespace zorvik::search
