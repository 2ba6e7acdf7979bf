#include "view/ProgressText.h"

#include <algorithm>
#include <charconv>

namespace zorvik::view {
namespace {

// The decimal number that ends `text`, and where it begins.
std::optional<std::pair<long, std::size_t>> trailingNumber(std::string_view text) {
  std::size_t begin = text.size();
  while (begin > 0 && text[begin - 1] >= '0' && text[begin - 1] <= '9') --begin;
  if (begin == text.size() || text.size() - begin > 9) return std::nullopt;
  long value = 0;
  std::from_chars(text.data() + begin, text.data() + text.size(), value);
  return std::make_pair(value, begin);
}

int clampPercent(long value) { return static_cast<int>(std::clamp<long>(value, 0, 100)); }

}  // namespace

std::optional<int> ProgressText::percentOf(std::string_view line) {
  if (line.ends_with('%')) {
    const auto percent = trailingNumber(line.substr(0, line.size() - 1));
    if (!percent) return std::nullopt;
    return clampPercent(percent->first);
  }
  const auto of = trailingNumber(line);
  if (!of || of->second == 0 || line[of->second - 1] != '/' || of->first <= 0) return std::nullopt;
  const auto begun = trailingNumber(line.substr(0, of->second - 1));
  if (!begun) return std::nullopt;
  return clampPercent((begun->first - 1) * 100 / of->first);
}

}  // namespace zorvik::view
