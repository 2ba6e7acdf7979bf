/// \file
/// Compaction of a tray: removes deleted records from the index and the text
/// of deleted mails from the text file, and moves the offsets of the mails
/// that follow down by the bytes removed before them. Bytes before the first
/// mail's separator go too when the first record is live; a deleted link
/// removes no text.
///
/// Records change their numbers here and nowhere else, so links in other
/// trays that point at a moved mail must follow: every mail that carries a
/// reference count and moved is reported to a listener after the tray's
/// files are closed (the listener opens other trays, possibly this one).
///
/// The files are rewritten in place in one pass under exclusive locks. A
/// tray whose records are not in text order, or whose offsets point past
/// the text, is left untouched: moving text by such records would cut live
/// mails apart.
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>

#include "store/CompactionListener.h"
#include "store/TrayName.h"

namespace zorvik::store {

class TrayCompactor {
public:
  explicit TrayCompactor(StoreLocation store) : store_(std::move(store)) {}

  /// Compacts tray `name`; false when it cannot be opened, is damaged as
  /// above, or a write failed.
  bool compact(std::string_view name, CompactionListener* listener = nullptr) const;

private:
  StoreLocation store_;
};

}  // namespace zorvik::store
