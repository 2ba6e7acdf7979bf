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
/// The compacted tray is written beside the old one and put in its place by
/// renames, so a process killed at any moment leaves the old tray or the new
/// one, whole: first the new index (".XMC") and the new text (".XMD") are
/// written and forced to the disk, then ".XMC" is renamed over ".XM1" and
/// ".XMD" over ".XM0". The old index stays locked until both renames are
/// done, so no other operation sees the tray in between; a kill between the
/// two renames leaves a ".XMD" without a ".XMC", and whoever opens the index
/// next finishes the switch first (TrayIndex::open). Leftovers of a kill
/// before the renames are overwritten by the next compaction; they are
/// always removed ".XMD" first, so that state is never mistaken for a switch
/// half done.
///
/// Links elsewhere follow after the switch: a process killed in between
/// leaves them pointing at the old record numbers.
///
/// A tray whose records are not in text order, or whose offsets point past
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
