/// \file
/// The import command: merges a tree of cabinets and trays outside the
/// store (a backup, or another user's export) into a cabinet of the store,
/// or one outside tray into a tray of the store. Missing cabinets and trays
/// are created (a tray with the outside tray's properties); mails already
/// in a store tray are skipped, link rows are not taken (they point into
/// some other store), and attachments get folders of their own in the
/// store.
///
/// Errors: 40160 when the store side lies inside the outside source (the
/// store's own tree merged into itself); 40161 when the outside cabinet,
/// 40162 when the outside tray does not exist; 41126 when a cabinet cannot
/// be made, which stops the walk.
#pragma once

#include <string>

#include "core/Messages.h"
#include "core/Progress.h"
#include "store/BackupPeriod.h"
#include "store/TrayName.h"

namespace zorvik::store {

struct MergeRequest {
  std::string outside;  // full path of the outside cabinet directory or tray
  std::string inside;   // tray or cabinet relative to the top cabinet ("" the top)
  DateLimit limit;      // the mails to take (notBefore)
};

class Merge {
public:
  Merge(StoreLocation store, core::Messages& messages, core::Progress& progress, int zoneHours);

  /// Runs the import; false after an error (shown) or when a tray could not
  /// be opened (the walk stops there).
  bool run(const MergeRequest& request);
  /// How many rows the last run wrote.
  int copied() const { return copied_; }
  /// How many mails of the trays it went over the period left out.
  int leftOut() const { return leftOut_; }

private:
  bool mergeTray(const std::string& outsideTray, const std::string& tray, const DateLimit& limit);
  bool mergeCabinet(const std::string& directory, const std::string& cabinet, const DateLimit& limit);

  StoreLocation store_;
  core::Messages& messages_;
  core::Progress& progress_;
  int zoneHours_;
  int copied_ = 0;
  int leftOut_ = 0;
};

}  // namespace zorvik::store
