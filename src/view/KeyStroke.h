/// \file
/// One key stroke as the key definitions store it: a virtual key code (the
/// numbers of the Windows keyboard: letters and digits their ASCII codes,
/// F1-F24 112-135, the JIS symbol keys 186-226) with the Alt, Shift and Ctrl
/// state. Packed into 32 bits: bit 0 Alt, bit 1 Shift, bit 2 Ctrl, bits 3-10
/// the key code. Key code 0 means "no stroke" (a binding without a second
/// stroke).
#pragma once

#include <cstdint>

namespace zorvik::view {

struct KeyStroke {
  int key = 0;  // 0-255
  bool alt = false;
  bool shift = false;
  bool ctrl = false;

  bool empty() const { return key == 0; }
  bool hasModifiers() const { return alt || shift || ctrl; }
  bool sameModifiers(const KeyStroke& other) const {
    return alt == other.alt && shift == other.shift && ctrl == other.ctrl;
  }

  std::uint32_t packed() const {
    return (alt ? 1U : 0U) | (shift ? 2U : 0U) | (ctrl ? 4U : 0U) | ((static_cast<std::uint32_t>(key) & 0xFFU) << 3);
  }
  static KeyStroke unpack(std::uint32_t value) {
    return {static_cast<int>((value >> 3) & 0xFFU), (value & 1U) != 0, (value & 2U) != 0, (value & 4U) != 0};
  }

  bool operator==(const KeyStroke&) const = default;
};

/// The virtual key codes the views name in their code.
namespace vk {
inline constexpr int kBack = 8;
inline constexpr int kTab = 9;
inline constexpr int kReturn = 13;
inline constexpr int kShift = 16;
inline constexpr int kControl = 17;
inline constexpr int kMenu = 18;  // Alt
inline constexpr int kEscape = 27;
inline constexpr int kSpace = 32;
inline constexpr int kPrior = 33;
inline constexpr int kNext = 34;
inline constexpr int kEnd = 35;
inline constexpr int kHome = 36;
inline constexpr int kLeft = 37;
inline constexpr int kUp = 38;
inline constexpr int kRight = 39;
inline constexpr int kDown = 40;
inline constexpr int kInsert = 45;
inline constexpr int kDelete = 46;
inline constexpr int kF1 = 112;
}  // namespace vk

}  // namespace zorvik::view
