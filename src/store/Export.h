/// \file
/// The export command: writes a tray, or every tray below a cabinet, into a
/// tree outside the store, creating the outside cabinets and trays it needs
/// (with the store trays' properties) and an attachment root ".inc" at the
/// top of what it writes. Mails already in an outside tray are skipped and
/// link rows are not written: outside the store they would point at
/// nothing. A destination inside what is exported is refused (40160).
///
/// When asked, exactly the mails whose copies are outside now (written, or
/// skipped because an equal mail was there) are deleted from the store,
/// tray by tray as each is written; mails outside the period and mails whose
/// copy failed stay. A tray left without a mail of its own goes with its
/// link rows, and so do the cabinets left empty. The mail-server and unsent
/// trays keep their mails (keptTrays()), and no system tray is removed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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
  /// How many mails of the trays it went over the period left out.
  int leftOut() const { return leftOut_; }
  /// The trays the last run copied but, asked to remove them, left whole:
  /// their mails still have work to do.
  const std::vector<std::string>& keptTrays() const { return kept_; }

private:
  bool exportTray(const std::string& tray, const std::string& outside, const DateLimit& limit, bool remove);
  bool removeExported(const std::string& tray, const std::vector<std::uint32_t>& indices);
  void removeEmptyCabinets(const std::string& cabinet) const;

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
