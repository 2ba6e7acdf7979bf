#include "core/PasswordScrambler.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace zorvik::core {
namespace {

// The key. Every A is at least 128, so c + A is never negative for a signed
// byte c, and A + 127 and every B stay below 0x10000, so each byte gives
// exactly four digits.
constexpr std::array<std::int32_t, 8> kAdd = {0x2A71, 0x0F3C, 0x51E9, 0x1B84,
                                              0x3C27, 0x6D13, 0x08B5, 0x4EF0};
constexpr std::array<std::int32_t, 8> kXor = {0x9C3E, 0x47A1, 0xE215, 0x3B6D,
                                              0xD48F, 0x1E72, 0x85C9, 0x6A0B};

}  // namespace

std::string scramblePassword(std::string_view plain) {
  std::string out;
  out.reserve(plain.size() * 4);
  std::size_t i = 0;
  for (const char ch : plain) {
    const std::int32_t c = static_cast<signed char>(ch);
    char group[8];
    std::snprintf(group, sizeof group, "%04x", static_cast<unsigned>((c + kAdd[i]) ^ kXor[i]));
    out += group;
    i = (i + 1) % 8;
  }
  return out;
}

std::string unscramblePassword(std::string_view scrambled) {
  std::string out;
  std::size_t i = 0;
  for (std::size_t at = 0; at < scrambled.size(); at += 4) {
    const std::string group(scrambled.substr(at, 4));
    const auto v = static_cast<std::int32_t>(std::strtoul(group.c_str(), nullptr, 16));
    out += static_cast<char>((v ^ kXor[i]) - kAdd[i]);
    i = (i + 1) % 8;
  }
  return out;
}

}  // namespace zorvik::core
