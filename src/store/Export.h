/// \file
/// The export command: writes a tray, or every tray below a cabinet, into a
/// tree outside the store, creating the outside cabinets and trays it needs
/// (with the store trays' properties) and an attachment root ".inc" at the
/// top of what it writes. Mails already in an outside tray are skipped and
/// link rows are not written: outside the store they would point at
/// nothing. When asked, the exported trays (and the cabinet) are removed
/// from the store afterwards, but only when every tray was written.
#pragma once

#include <string>

#include "core/ItemValues.h"
#include "core/Messages.h"
#include "core/Progress.h"
#include "store/BackupPeriod.h"
#include "store/TrayName.h"

namespace zorvik::store {

struct ExportRequest {
  std::string inside;   // tray or cabinet relative to the top cabinet
  std::string outside;  // full path of the outside tray or cabinet directory
  DateLimit limit;      // the mails to write (notBefore)
  bool removeSource = false;
};

class Export {
public:
  Export(StoreLocation store, const core::ItemValues& settings, core::Messages& messages, core::Progress& progress,
         int zoneHours);

  /// Runs the export; false after an error (shown) or when a tray could
  /// not be opened or written.
  bool run(const ExportRequest& request);
  int copied() const { return copied_; }

private:
  bool exportTray(const std::string& tray, const std::string& outside, const DateLimit& limit);

  StoreLocation store_;
  const core::ItemValues& settings_;
  core::Messages& messages_;
  core::Progress& progress_;
  int zoneHours_;
  int copied_ = 0;
};

}  // namespace zorvik::store
