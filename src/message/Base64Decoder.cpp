#include "message/Base64Decoder.h"

#include "message/Base64.h"

namespace zorvik::message {

char* Base64Decoder::finishGroup(char* out) {
  if (position_ == 2) *out++ = static_cast<char>(bits_ >> 4);
  if (position_ == 3) {
    *out++ = static_cast<char>(bits_ >> 10);
    *out++ = static_cast<char>(bits_ >> 2);
  }
  return out;
}

void Base64Decoder::decodeLine(std::string_view line, ByteBuffer& out) {
  if (ended_) return;
  const auto* p = reinterpret_cast<const unsigned char*>(line.data());
  const std::size_t size = line.size();
  // Up to three carried characters plus this line's, three bytes per four.
  char* const start = out.prepareAppend(static_cast<std::int32_t>(size) + 3);
  char* w = start;
  std::size_t i = 0;
  while (i < size) {
    // Whole groups at once while the group position is at its start.
    if (position_ == 0) {
      while (i + 4 <= size) {
        const int a = base64Value(p[i]);
        const int b = base64Value(p[i + 1]);
        const int c = base64Value(p[i + 2]);
        const int d = base64Value(p[i + 3]);
        if ((a | b | c | d) < 0) break;
        const auto v = static_cast<std::uint32_t>(a << 18 | b << 12 | c << 6 | d);
        w[0] = static_cast<char>(v >> 16);
        w[1] = static_cast<char>(v >> 8);
        w[2] = static_cast<char>(v);
        w += 3;
        i += 4;
      }
      if (i == size) break;
    }
    const unsigned char ch = p[i++];
    if (ch == '=') {
      w = finishGroup(w);
      ended_ = true;
      break;
    }
    const int v = base64Value(ch);
    if (v < 0) break;  // anything else ends the line
    bits_ = (bits_ << 6) | static_cast<std::uint32_t>(v);
    if (++position_ < 4) continue;
    w[0] = static_cast<char>(bits_ >> 16);
    w[1] = static_cast<char>(bits_ >> 8);
    w[2] = static_cast<char>(bits_);
    w += 3;
    position_ = 0;
    bits_ = 0;
  }
  out.commitAppend(static_cast<std::int32_t>(w - start));
}

}  // namespace zorvik::message
