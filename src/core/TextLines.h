/// \file
/// The lines of a text held in memory, one after another, without copying:
/// each line without its LF and without a CR before the LF. A last line
/// without a line end is a line too; an empty text has none.
#pragma once

#include <string_view>

namespace zorvik::core {

class TextLines {
public:
  explicit TextLines(std::string_view text) : text_(text) {}

  /// The next line into `line`; false after the last.
  bool next(std::string_view& line) {
    if (at_ >= text_.size()) return false;
    const std::size_t lf = text_.find('\n', at_);
    const std::size_t end = lf == std::string_view::npos ? text_.size() : lf;
    line = text_.substr(at_, end - at_);
    if (line.ends_with('\r')) line.remove_suffix(1);
    at_ = end + 1;
    return true;
  }

private:
  std::string_view text_;
  std::size_t at_ = 0;
};

}  // namespace zorvik::core
