#include "search/MatchCursor.h"

namespace zorvik::search {

std::optional<FileMatch> MatchCursor::first(TextBlocks& text, std::uint64_t from, std::uint64_t limit) {
  if (from < clearFrom_ || from > clearTo_ || (found_ && from > found_->offset)) {
    clearFrom_ = clearTo_ = from;
    found_.reset();
  }
  while (!found_ && clearTo_ < limit) {
    const std::string_view block = text.lines(clearTo_);
    if (block.empty()) {
      clearTo_ = UINT64_MAX;  // nothing more in the file
      break;
    }
    const auto match = matcher_.find(block);
    if (!match) {
      clearTo_ += block.size();
      continue;
    }
    std::size_t lineStart = block.rfind('\n', match->offset);
    lineStart = lineStart == std::string_view::npos ? 0 : lineStart + 1;
    std::size_t lineEnd = block.find('\n', match->offset);
    if (lineEnd == std::string_view::npos) lineEnd = block.size();
    if (lineEnd > lineStart && block[lineEnd - 1] == '\r') --lineEnd;
    found_ = FileMatch{clearTo_ + match->offset, match->length, clearTo_ + lineStart, clearTo_ + lineEnd};
    clearTo_ = found_->offset;
  }
  if (found_ && found_->offset < limit) return found_;
  return std::nullopt;
}

}  // namespace zorvik::search
