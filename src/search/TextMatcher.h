/// \file
/// Finds a search string in Shift_JIS text fast enough to search a whole
/// store at the speed of the disk: the text is given in large blocks of
/// whole lines, a byte search (ByteSearcher) over the block finds the
/// candidates, and only around a candidate does the matcher look at
/// characters.
///
/// A match starts on a character boundary: the trail byte of one kanji and
/// the lead byte of the next are never a match for a third. Whether a
/// position is a boundary is decided by counting the lead-range bytes just
/// before it (a byte outside that range always ends a character), so the
/// block must begin on a boundary, as every line does.
///
/// What counts as the same character (letter case, width, kana) is a
/// CharacterFold. The candidates come from the longest run of the search
/// string whose characters have one form only (a kanji, a digit, or
/// anything when nothing is folded), searched as bytes; when the string has
/// no such run at a place whose offset in a match is known, from every form
/// of its rarest character at such a place.
///
/// A search string holding CR, LF or NUL matches nothing: stored lines hold
/// none of them, and a match may not run from one line into the next.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "search/ByteSearcher.h"
#include "search/CharacterFold.h"

namespace zorvik::search {

/// Where a match lies in the text searched: its first byte and its length
/// in the text (which differs from the search string's when forms of
/// different width matched).
struct Match {
  std::size_t offset = 0;
  std::size_t length = 0;
};

class TextMatcher {
public:
  /// `needle` in Shift_JIS; with `lineStart`, only matches at the start of
  /// a line count (at offset 0 of the text, or after a LF).
  TextMatcher(std::string needle, FoldOptions fold, bool lineStart);

  const std::string& needle() const { return needle_; }
  bool matchesNothing() const { return codes_.empty(); }

  /// The first match that starts at or after `from` in `text`; the text
  /// before `from` is looked at only to find character boundaries.
  std::optional<Match> find(std::string_view text, std::size_t from = 0) const;

  /// True when `at` is a character boundary of `text`, which starts on one.
  static bool isCharacterStart(std::string_view text, std::size_t at);

private:
  void chooseAnchor();
  std::optional<Match> findLiteral(std::string_view text, std::size_t from) const;
  std::optional<Match> findForms(std::string_view text, std::size_t from) const;
  // The length of a match that starts at `at`, if one does.
  std::optional<std::size_t> matchAt(std::string_view text, std::size_t at) const;

  std::string needle_;
  CharacterFold fold_;
  bool lineStart_;
  std::vector<std::uint16_t> codes_;     // the needle folded, one code per character
  bool literalIsWhole_ = false;          // the literal is the needle: nothing to compare after it
  std::optional<ByteSearcher> literal_;  // bytes searched for as they are,
  std::size_t literalOffset_ = 0;        // this many bytes into every match
  std::vector<ByteSearcher> forms_;      // without a literal: every form of one character,
  std::size_t formsOffset_ = 0;          // which lies this many bytes into every match
};

}  // namespace zorvik::search
