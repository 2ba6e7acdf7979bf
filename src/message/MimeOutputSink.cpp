#include "message/MimeOutputSink.h"

#include <algorithm>

namespace zorvik::message {

bool MimeOutputSink::write(std::string_view bytes) {
  constexpr std::string_view kFrom = "From ";
  text_.append(bytes);
  for (;;) {
    if (!lineChecked_) {
      const std::string_view head = std::string_view(text_).substr(lineStart_, kFrom.size());
      const bool shortLine = head.find('\n') != std::string_view::npos;
      if (head.size() < kFrom.size() && !shortLine) return true;  // too short to decide yet
      if (head == kFrom) {
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

bool MimeOutputSink::endsWithLineEnd() const {
  return text_.size() >= 2 && text_.compare(text_.size() - 2, 2, "\r\n") == 0;
}

}  // namespace zorvik::message
