/// \file
/// The matches of one search string in one tray text file, found block by
/// block and handed out mail by mail. The search runs ahead to the end of
/// the block in the buffer and remembers the first match it met (or that
/// there was none), so asking mail after mail in file order searches every
/// byte once, however small the mails are. Asking out of order is
/// correct, only slower: the search starts again where it is asked to.
#pragma once

#include <cstdint>
#include <optional>

#include "search/TextBlocks.h"
#include "search/TextMatcher.h"

namespace zorvik::search {

/// A match in a text file, with the line it is on.
struct FileMatch {
  std::uint64_t offset = 0;
  std::uint64_t length = 0;
  std::uint64_t lineStart = 0;
  std::uint64_t lineEnd = 0;  // where its CR LF (or the file) begins
};

class MatchCursor {
public:
  /// `matcher` must outlive the cursor.
  explicit MatchCursor(const TextMatcher& matcher) : matcher_(matcher) {}

  /// The first match that starts in [from, limit); `from` is a line start.
  std::optional<FileMatch> first(TextBlocks& text, std::uint64_t from, std::uint64_t limit);

private:
  const TextMatcher& matcher_;
  // No match starts in [clearFrom_, clearTo_); when found_ is set it is the
  // match at clearTo_.
  std::uint64_t clearFrom_ = 1;
  std::uint64_t clearTo_ = 0;
  std::optional<FileMatch> found_;
};

}  // namespace zorvik::search
