#include "core/SjisText.h"

namespace zorvik::core {

std::size_t findSjis(std::string_view text, std::string_view needle) {
  if (needle.empty()) return 0;
  for (std::size_t at = 0; at + needle.size() <= text.size(); at += sjisCharLength(text, at))
    if (text.compare(at, needle.size(), needle) == 0) return at;
  return std::string_view::npos;
}

std::vector<std::string_view> breakSjis(std::string_view text, std::size_t width) {
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  do {
    // The rest fits: no character boundary needs finding.
    if (text.size() - start <= width) {
      pieces.push_back(text.substr(start));
      break;
    }
    std::size_t end = start;
    // A double-byte character that does not fit goes to the next piece,
    // unless it is the only one.
    while (end < text.size()) {
      const std::size_t length = sjisCharLength(text, end);
      if (end + length - start > width && end > start) break;
      end += length;
    }
    pieces.push_back(text.substr(start, end - start));
    start = end;
  } while (start < text.size());
  return pieces;
}

std::string asciiLowerCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = asciiLower(c);
  return out;
}

}  // namespace zorvik::core
