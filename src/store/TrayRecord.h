/// \file
/// What reading a record of a tray gives: the mail's record and, for a link,
/// where the mail really lives. Reading a link fills `record` with the target
/// mail's record, its link bit kept set; a link whose target cannot be read
/// keeps its own bytes and gets the broken-link bit.
#pragma once

#include <cstdint>
#include <string>

#include "store/IndexRecord.h"

namespace zorvik::store {

/// Result of a record read: the end of the index, a deleted record (or a
/// broken link), or a live mail.
enum class ReadResult : int { End = -1, Deleted = 0, Live = 1 };

struct TrayRecord {
  std::uint32_t index = 0;  // position in the tray that was read
  IndexRecord record;
  std::uint32_t linkIndex = 0;  // for a link: the mail's index in linkTarget
  std::string linkTarget;       // for a link: the tray holding the mail

  bool isLink() const { return record.isLink(); }
};

}  // namespace zorvik::store
