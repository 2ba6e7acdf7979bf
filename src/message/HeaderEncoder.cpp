#include "message/HeaderEncoder.h"

#include "core/SjisText.h"
#include "message/JapaneseCodec.h"

#include <algorithm>

namespace zorvik::message {
namespace {

// "=?ISO-2022-JP?B?" + base64 of ESC $ B, 2n bytes, ESC ( B + "?=" stays
// within the limit for n up to 18.
constexpr std::size_t kCharactersPerWord = 18;
constexpr std::string_view kWordSeparator = "\r\n ";

// The end of the double-byte run that starts at `at`, or of its first
// kCharactersPerWord characters.
std::size_t chunkEnd(std::string_view text, std::size_t at) {
  std::size_t characters = 0;
  while (at < text.size() && core::isSjisLeadByte(static_cast<unsigned char>(text[at])) &&
         characters < kCharactersPerWord) {
    at = std::min(at + 2, text.size());
    ++characters;
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
    if (!core::isSjisLeadByte(static_cast<unsigned char>(sjis[at]))) {
      out += sjis[at++];
      afterWord = false;
      continue;
    }
    if (afterWord) out += kWordSeparator;
    const std::size_t end = chunkEnd(sjis, at);
    appendSjisToJis(out, sjis.substr(at, end - at), JisRuns::encodedWords);
    at = end;
    afterWord = true;
  }
  return out;
}

}  // namespace zorvik::message
