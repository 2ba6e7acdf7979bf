#include "message/HalfWidthKana.h"

#include "core/SjisText.h"

#include <array>
#include <cstdint>

namespace zorvik::message {
namespace {

constexpr unsigned char kFirstKana = 0xA1;
constexpr unsigned char kLastKana = 0xDF;

// Full-width Shift_JIS code of each half-width katakana from 0xA1 on.
constexpr std::array<std::uint16_t, kLastKana - kFirstKana + 1> kFullWidth = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392, 0x8340, 0x8342, 0x8344, 0x8346,
    0x8348, 0x8383, 0x8385, 0x8387, 0x8362, 0x815B, 0x8341, 0x8343, 0x8345, 0x8347,
    0x8349, 0x834A, 0x834C, 0x834E, 0x8350, 0x8352, 0x8354, 0x8356, 0x8358, 0x835A,
    0x835C, 0x835E, 0x8360, 0x8363, 0x8365, 0x8367, 0x8369, 0x836A, 0x836B, 0x836C,
    0x836D, 0x836E, 0x8371, 0x8374, 0x8377, 0x837A, 0x837D, 0x837E, 0x8380, 0x8381,
    0x8382, 0x8384, 0x8386, 0x8388, 0x8389, 0x838A, 0x838B, 0x838C, 0x838D, 0x838F,
    0x8393, 0x814A, 0x814B,
};

}  // namespace

std::string hankanaToZenkana(std::string_view sjis) {
  std::string out;
  out.reserve(sjis.size() * 2);
  const auto* p = reinterpret_cast<const unsigned char*>(sjis.data());
  for (std::size_t i = 0; i < sjis.size(); ++i) {
    const unsigned char c = p[i];
    if (core::isSjisLeadByte(c)) {
      out.push_back(static_cast<char>(c));
      if (i + 1 < sjis.size()) out.push_back(static_cast<char>(p[++i]));
      continue;
    }
    if (c == 0xA0) {
      out.push_back(' ');
      continue;
    }
    if (c < kFirstKana || c > kLastKana) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    const std::uint16_t code = kFullWidth[c - kFirstKana];
    out.push_back(static_cast<char>(code >> 8));
    out.push_back(static_cast<char>(code & 0xFF));
  }
  return out;
}

}  // namespace zorvik::message
