#include "core/SjisText.h"

namespace zorvik::core {

std::size_t findSjis(std::string_view text, std::string_view needle) {
  if (needle.empty()) return 0;
  for (std::size_t at = 0; at + needle.size() <= text.size(); at += sjisCharLength(text, at))
    if (text.compare(at, needle.size(), needle) == 0) return at;
  return std::string_view::npos;
}

std::string asciiLowerCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = asciiLower(c);
  return out;
}

}  // namespace zorvik::core
