#include "message/ListTag.h"

#include "core/SjisText.h"

namespace zorvik::message {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The position of the first `wanted` byte at or after `from` that is a
// character of its own, not the trail byte of a double-byte character.
std::size_t findChar(std::string_view text, char wanted, std::size_t from) {
  for (std::size_t i = from; i < text.size(); ++i) {
    if (text[i] == wanted) return i;
    if (core::isSjisLeadByte(static_cast<unsigned char>(text[i]))) ++i;
  }
  return std::string_view::npos;
}

}  // namespace

std::string listTagOf(std::string_view subject) {
  const std::size_t open = findChar(subject, '[', 0);
  if (open == std::string_view::npos) return {};
  // The first "]" of the Subject; one before the "[" means no tag at all.
  const std::size_t close = findChar(subject, ']', 0);
  if (close == std::string_view::npos || close <= open + 1) return {};
  const std::string_view content = subject.substr(open + 1, close - open - 1);

  const std::size_t cut = content.find_first_of(" :");
  if (cut == std::string_view::npos) return std::string(content);
  const std::string_view before = content.substr(0, cut);
  for (const char c : before) {
    if (!isDigit(c)) return std::string(before);
  }
  return std::string(content.substr(cut + 1));
}

}  // namespace zorvik::message
