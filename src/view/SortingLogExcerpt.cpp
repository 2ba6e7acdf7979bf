#include "view/SortingLogExcerpt.h"

namespace zorvik::view {

std::string SortingLogExcerpt::shown(std::string_view tail, std::uint64_t logBytes) {
  if (logBytes > tail.size()) {
    const std::size_t lineEnd = tail.find('\n');
    tail = lineEnd == std::string_view::npos ? std::string_view() : tail.substr(lineEnd + 1);
  }
  std::string text;
  text.reserve(tail.size());
  for (std::size_t i = 0; i < tail.size(); ++i) {
    if (tail[i] == '\r' && i + 1 < tail.size() && tail[i + 1] == '\n') continue;
    text += tail[i];
  }
  return text;
}

}  // namespace zorvik::view
