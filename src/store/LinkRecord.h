/// \file
/// A record that stands for a mail stored in another tray: the same 170
/// bytes as an IndexRecord, with the link bit set in its flags, the index of
/// the mail in the target tray at offset 4 and the target tray's name
/// (zero-padded) in the remaining 162 bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "store/IndexRecord.h"

namespace zorvik::store {

class LinkRecord : public IndexRecord {
public:
  static constexpr std::size_t kTargetSize = 162;

  /// A new link (flags exactly 2). Empty when the tray name does not fit:
  /// a name cut short would point at some other tray, or at none.
  static std::optional<LinkRecord> make(std::string_view targetTray, std::uint32_t targetIndex);
  /// The link fields of a record read from an index (its link bit set).
  static LinkRecord of(const IndexRecord& record);

  std::uint32_t targetIndex() const { return number(4); }
  std::string_view targetTray() const { return text(8, kTargetSize); }

private:
  LinkRecord() = default;
};

}  // namespace zorvik::store
