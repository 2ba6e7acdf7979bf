/// \file
/// The backup command: copies the old mails of one tray, of one cabinet or
/// of the whole store into a tree of the same shape below a chosen
/// directory ("<directory>/<top cabinet name>/..."), and can delete the
/// copied mails from the store and compact what is left. The tree keeps the
/// store's file formats, so it can be merged back later. Mails already in
/// the backup are not copied again.
///
/// Refused with error 40160 when the backup would land inside the store's
/// own tree; a directory that cannot be made stops the walk with 41126.
///
/// Deleting the backed-up mails leaves the mail-server and unsent trays
/// whole (their mails still have work to do; keptTrays() names them), and
/// a system tray left without mails is compacted, never removed.
#pragma once

#include <string>
#include <vector>

#include "core/ItemValues.h"
#include "core/Messages.h"
#include "core/Progress.h"
#include "store/BackupPeriod.h"
#include "store/TrayName.h"

namespace zorvik::store {

struct BackupRequest {
  std::string directory;   // where the backup tree goes (a full path)
  std::string selection;   // tray or cabinet relative to the top cabinet
  bool focusedOnly = false;  // only the selection, else the whole store
  DateLimit limit;           // the mails to back up (notAfter)
  bool deleteCopied = false;
  bool compactAfter = false;  // with deleteCopied: compact what is left
};

class Backup {
public:
  Backup(StoreLocation store, const core::ItemValues& settings, core::Messages& messages, core::Progress& progress,
         int zoneHours);

  /// Runs the backup; false after an error (shown) or when a tray could
  /// not be opened.
  bool run(const BackupRequest& request);
  /// How many mails the last run copied.
  int copied() const { return copied_; }
  /// How many mails of the trays it went over the period left out.
  int leftOut() const { return leftOut_; }
  /// The trays the last run backed up but, asked to delete, left whole.
  const std::vector<std::string>& keptTrays() const { return kept_; }

private:
  bool backupTray(const std::string& tray, const std::string& destination, const BackupRequest& request);
  bool backupCabinet(const std::string& cabinet, const std::string& destination, const BackupRequest& request);

  StoreLocation store_;
  const core::ItemValues& settings_;
  core::Messages& messages_;
  core::Progress& progress_;
  int zoneHours_;
  int copied_ = 0;
  int leftOut_ = 0;
  std::vector<std::string> kept_;
};

}  // namespace zorvik::store
