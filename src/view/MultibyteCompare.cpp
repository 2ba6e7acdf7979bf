#include "view/MultibyteCompare.h"

namespace zorvik::view {
namespace {

bool isLeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

// The character at `at` as one value; `at` moves past it.
unsigned characterAt(std::string_view text, std::size_t& at) {
  const auto first = static_cast<unsigned char>(text[at++]);
  if (!isLeadByte(first) || at >= text.size()) return first;
  return first << 8 | static_cast<unsigned char>(text[at++]);
}

}  // namespace

int compareMultibyte(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    // Runs of plain ASCII are by far the most common: compare them directly.
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[j]);
    if (x < 0x80 && y < 0x80) {
      if (x != y) return x < y ? -1 : 1;
      ++i;
      ++j;
      continue;
    }
    const unsigned left = characterAt(a, i);
    const unsigned right = characterAt(b, j);
    if (left != right) return left < right ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

void appendMultibyteKey(std::string_view text, std::string& key) {
  for (std::size_t at = 0; at < text.size();) {
    const unsigned character = characterAt(text, at);
    key += static_cast<char>(character >> 8);
    key += static_cast<char>(character & 0xFFU);
  }
}

}  // namespace zorvik::view
