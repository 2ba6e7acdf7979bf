#include "message/HeaderEncoder.h"

#include "core/SjisText.h"
#include "message/JapaneseCodec.h"

#include <algorithm>

namespace zorvik::message {
namespace {

// "=?ISO-2022-JP?B?" + base64 of at most 42 bytes + "?=" is 74 characters:
// ESC $ B, 18 characters and ESC ( B fill a word.
constexpr std::size_t kMaxJisBytes = 42;
constexpr std::size_t kEscapeBytes = 3;
constexpr std::string_view kWordSeparator = "\r\n ";

bool isLead(std::string_view text, std::size_t at) {
  return at < text.size() && core::isSjisLeadByte(static_cast<unsigned char>(text[at]));
}

// The end of the blanks (spaces, tabs) that start at `at`.
std::size_t blanksEnd(std::string_view text, std::size_t at) {
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  return at;
}

// Blanks between two double-byte runs: a reader drops white space between
// two encoded words, so such blanks must travel inside a word.
bool blanksBeforeRun(std::string_view text, std::size_t at) {
  const std::size_t end = blanksEnd(text, at);
  return end > at && isLead(text, end);
}

// The end of the piece of text from `at` that fits into one encoded word:
// double-byte characters, and blanks followed by more of them. Always past
// `at`: blanks too many to share a word with the characters after them
// fill words of their own (plain ASCII, so without escapes), as many as
// they need, or the caller would never get beyond them.
std::size_t chunkEnd(std::string_view text, std::size_t at) {
  const std::size_t start = at;
  std::size_t jisBytes = 2 * kEscapeBytes;
  while (at < text.size()) {
    if (isLead(text, at)) {
      if (jisBytes + 2 > kMaxJisBytes) break;
      jisBytes += 2;
      at = std::min(at + 2, text.size());
      continue;
    }
    if (!blanksBeforeRun(text, at)) break;
    const std::size_t blanks = blanksEnd(text, at);
    const std::size_t cost = (blanks - at) + 2 * kEscapeBytes;
    if (jisBytes + cost + 2 > kMaxJisBytes) {
      if (at == start) return at + std::min(blanks - at, kMaxJisBytes);
      break;
    }
    jisBytes += cost;
    at = blanks;
  }
  return at;
}

}  // namespace

std::string HeaderEncoder::encode(std::string_view sjis) {
  std::string out;
  out.reserve(sjis.size() * 2 + 32);
  std::size_t at = 0;
  bool afterWord = false;
  while (at < sjis.size()) {
    if (!isLead(sjis, at) && !(afterWord && blanksBeforeRun(sjis, at))) {
      out += sjis[at++];
      afterWord = false;
      continue;
    }
    const std::size_t end = chunkEnd(sjis, at);
    const std::string jis = sjisToJis(sjis.substr(at, end - at));
    at = end;
    if (jis.empty()) continue;  // a lone lead byte at the end gives nothing
    if (afterWord) out += kWordSeparator;
    out += encodedWord(jis);
    afterWord = true;
  }
  return out;
}

}  // namespace zorvik::message
