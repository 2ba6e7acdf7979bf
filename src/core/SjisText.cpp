#include "core/SjisText.h"

namespace zorvik::core {

std::size_t findSjis(std::string_view text, std::string_view needle) {
  if (needle.empty()) return 0;
  for (std::size_t at = 0; at + needle.size() <= text.size(); at += sjisCharLength(text, at))
    if (text.compare(at, needle.size(), needle) == 0) return at;
  return std::string_view::npos;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace zorvik::core
