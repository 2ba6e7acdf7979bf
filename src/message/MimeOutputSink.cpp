#include "message/MimeOutputSink.h"

#include <algorithm>
#include <array>

namespace zorvik::message {
namespace {

constexpr std::array<std::string_view, 2> kQuotedStarts = {"From ", "@#"};
constexpr std::size_t kLongestStart = 5;

enum class LineStart { undecided, quoted, plain };

// What the beginning of a line (up to kLongestStart bytes, or up to its LF)
// says about quoting it.
LineStart classify(std::string_view head) {
  bool undecided = false;
  for (const std::string_view start : kQuotedStarts) {
    if (head.starts_with(start)) return LineStart::quoted;
    if (start.starts_with(head) && head.find('\n') == std::string_view::npos) undecided = true;
  }
  return undecided ? LineStart::undecided : LineStart::plain;
}

}  // namespace

bool MimeOutputSink::write(std::string_view bytes) {
  text_.append(bytes);
  for (;;) {
    if (!lineChecked_) {
      const LineStart start = classify(std::string_view(text_).substr(lineStart_, kLongestStart));
      if (start == LineStart::undecided) return true;  // too short to decide yet
      if (start == LineStart::quoted) {
        text_.insert(lineStart_, 1, '>');
        ++scanned_;
      }
      lineChecked_ = true;
    }
    const auto lineEnd = text_.find('\n', std::max(lineStart_, scanned_));
    if (lineEnd == std::string::npos) {
      scanned_ = text_.size();
      return true;
    }
    lineStart_ = scanned_ = lineEnd + 1;
    lineChecked_ = false;
  }
}

void MimeOutputSink::writeOwnLine(std::string_view line) {
  if (text_.size() > lineStart_) write("\r\n");
  text_.append(line);
  lineStart_ = scanned_ = text_.size();
  lineChecked_ = false;
}

bool MimeOutputSink::endsWithLineEnd() const {
  return text_.size() >= 2 && text_.compare(text_.size() - 2, 2, "\r\n") == 0;
}

}  // namespace zorvik::message
