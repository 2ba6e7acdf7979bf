/// \file
/// The head of a tray's index file: the head length H (the offset of record
/// 0), the format mark 0x01001007 and the tray's properties. Integers are
/// 32-bit little-endian; a string is a 4-byte byte count and its bytes. The
/// properties follow in a fixed order that every index file written since
/// the first version shares, so the order here must never change.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "store/TrayProperties.h"

namespace zorvik::store {

class IndexHead {
public:
  static constexpr std::uint32_t kFormatMark = 0x01001007;
  /// Length and mark: the least any head holds.
  static constexpr std::uint32_t kMinimumLength = 8;
  /// Offsets of the words that are written back in place after an append.
  static constexpr std::uint32_t kFlagsOffset = 8;
  static constexpr std::uint32_t kDisplayPeriodOffset = 16;
  static constexpr std::uint32_t kUserDisplayDaysOffset = 20;

  /// The whole head for `properties`, H included.
  static std::string encode(const TrayProperties& properties);

  /// The head length stored in the first 8 bytes of an index, when the
  /// format mark follows it and the length is plausible (at least 8 and not
  /// beyond `fileLength`). Empty for anything that is not a tray index.
  static std::optional<std::uint32_t> headLength(std::string_view firstBytes,
                                                 std::uint64_t fileLength);

  /// The properties of a complete head. Empty when a count runs past the head.
  static std::optional<TrayProperties> decode(std::string_view head);

  static std::uint32_t readWord(std::string_view bytes, std::size_t offset);
  static std::string word(std::uint32_t value);
};

}  // namespace zorvik::store
