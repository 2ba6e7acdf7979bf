/// \file
/// Sorting of rows by a 64-bit key in linear time: a radix sort in 16-bit
/// digits, passing over the digits in which all keys agree (the high bits
/// of dates from the same years). The list sorts its numeric columns this
/// way, the key holding the value above and the row's position below, so
/// equal values keep file order.
#pragma once

#include <cstdint>
#include <vector>

namespace zorvik::view {

/// Sorts `keys` in ascending order.
void sortKeys(std::vector<std::uint64_t>& keys);

}  // namespace zorvik::view
