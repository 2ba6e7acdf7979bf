/// \file
/// Sorting of rows by a 64-bit key in linear time: a radix sort in 16-bit
/// digits, passing over the digits in which all keys agree (the high bits
/// of dates from the same years). The list sorts its numeric columns this
/// way, the key holding the value above and the row's position below, so
/// equal values keep file order.
///
/// Text columns become numbers first: TextRanks gives every text its rank
/// in the double-byte order of compareMultibyte. The texts of a tray repeat
/// a great deal (one sender, one thread's subject), so each distinct text is
/// keyed and compared once; a tray of all different texts costs one
/// comparison sort of them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zorvik::view {

/// Sorts `keys` in ascending order.
void sortKeys(std::vector<std::uint64_t>& keys);

class TextRanks {
public:
  /// The next row's text.
  void add(std::string_view text);
  /// The rank of each added text in the order added: equal texts share one,
  /// a text sorting later has a higher one.
  std::vector<std::uint32_t> ranks() const;

private:
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };

  std::unordered_map<std::string, std::uint32_t, Hash, std::equal_to<>> ids_;
  std::vector<const std::string*> distinct_;  // by id
  std::vector<std::uint32_t> rows_;           // id of each row's text
};

}  // namespace zorvik::view
