/// \file
/// The store work that rewrites trays whole: compacting a tray ("ﾄﾚｲの
/// 整理"), rebuilding its index from its text file ("再生成" of the tray
/// property sheet) and emptying the trash. All run under the store's lock, so they never rewrite a tray a receive or a sort of another
/// process is appending to.
#pragma once

#include <string>
#include <vector>

namespace zorvik::mailflow {

class Document;

struct MaintenanceReport {
  bool ok = false;
  /// Trays whose links could not follow the moved records (their links
  /// may read as broken now).
  std::vector<std::string> missed;
};

class TrayMaintenance {
public:
  static MaintenanceReport compact(const Document& document, const std::string& tray);
  /// A rebuild takes a tray whose index is missing (its text file is
  /// enough). It shows 44210 with the tray's name when the name holds
  /// neither file, and 44222 when the rebuild failed (the tray is left as
  /// it was).
  static MaintenanceReport rebuild(const Document& document, const std::string& tray);
  static MaintenanceReport emptyTrash(const Document& document);
};

}  // namespace zorvik::mailflow
