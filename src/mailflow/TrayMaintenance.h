/// \file
/// The store work of the tray menu that rewrites trays whole: compacting a
/// tray ("ﾄﾚｲの整理") and emptying the trash. Both run under the store's
/// lock, so they never rewrite a tray a receive or a sort of another
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
  static MaintenanceReport emptyTrash(const Document& document);
};

}  // namespace zorvik::mailflow
