#include "message/UuDecoder.h"

#include "core/SjisText.h"

#include <cstdint>

namespace zorvik::message {
namespace {

// The 6-bit value of a character: space to "_" count their code minus 32,
// everything else (the back-quote written for 0 among them) counts 0.
std::uint32_t sixBits(unsigned char c) { return c >= 0x20 && c <= 0x5F ? c - 0x20u : 0u; }

bool endsLine(unsigned char c) { return c == 0 || c == '\r' || c == '\n'; }

}  // namespace

void UuDecoder::decodeLine(std::string_view line, ByteBuffer& out) {
  // The "begin" line itself is no data, even as "BEGIN" whose "B" would
  // read as a byte count.
  if (core::startsWithIgnoringAsciiCase(line, "begin")) {
    on_ = true;
    return;
  }
  if (core::startsWithIgnoringAsciiCase(line, "end")) on_ = false;
  if (!on_ || line.empty()) return;
  const auto* p = reinterpret_cast<const unsigned char*>(line.data());
  int left = static_cast<int>(sixBits(p[0]));
  if (left == 0) return;
  char* const start = out.prepareAppend(left);
  char* w = start;
  std::uint32_t bits = 0;
  int chars = 0;
  for (std::size_t i = 1; i < line.size() && left > 0 && !endsLine(p[i]); ++i) {
    bits = bits << 6 | sixBits(p[i]);
    if (++chars < 4) continue;
    for (int shift = 16; shift >= 0 && left > 0; shift -= 8, --left)
      *w++ = static_cast<char>(bits >> shift);
    bits = 0;
    chars = 0;
  }
  // A group cut short by the line end still gives the bytes its bits hold.
  for (int have = chars * 6 - 8; have >= 0 && left > 0; have -= 8, --left)
    *w++ = static_cast<char>(bits >> have);
  out.commitAppend(static_cast<std::int32_t>(w - start));
}

}  // namespace zorvik::message
