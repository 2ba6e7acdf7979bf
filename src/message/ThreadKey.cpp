#include "message/ThreadKey.h"

#include <cstddef>

namespace zorvik::message {
namespace {

constexpr std::size_t kPieces = 4;
constexpr std::size_t kWeightsPerRow = 10;
// Row i weighs piece i; a row restarts at its first weight for each piece.
constexpr std::array<std::array<int, kWeightsPerRow>, kPieces> kWeights = {{
    {5000, 4000, 3000, 2000, 1000, 500, 300, 100, 50, 10},
    {5010, 4010, 3010, 2010, 1010, 510, 310, 110, 51, 11},
    {5020, 4020, 3020, 2020, 1020, 520, 320, 120, 52, 12},
    {5030, 4030, 3030, 2030, 1030, 530, 330, 130, 53, 13},
}};

std::uint16_t sumOf(std::string_view piece, const std::array<int, kWeightsPerRow>& weights) {
  // Unsigned arithmetic wraps modulo 2^32, so the low 16 bits are the sum
  // modulo 65536 whatever the length of the piece.
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < piece.size(); ++i) {
    const auto byte = static_cast<std::int32_t>(static_cast<signed char>(piece[i]));
    sum += static_cast<std::uint32_t>(byte * weights[i % kWeightsPerRow]);
  }
  return static_cast<std::uint16_t>(sum & 0xFFFFU);
}

}  // namespace

ThreadKey threadKeyOf(std::string_view id) {
  const std::size_t quarter = id.size() / kPieces;
  ThreadKey key{};
  for (std::size_t piece = 0; piece < kPieces; ++piece) {
    const std::size_t length = piece + 1 < kPieces ? quarter : id.size() - quarter * (kPieces - 1);
    key[piece] = sumOf(id.substr(piece * quarter, length), kWeights[piece]);
  }
  return key;
}

bool isZero(const ThreadKey& key) {
  for (const std::uint16_t value : key)
    if (value != 0) return false;
  return true;
}

}  // namespace zorvik::message
