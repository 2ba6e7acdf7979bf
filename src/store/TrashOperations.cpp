#include "store/TrashOperations.h"

#include "core/SettingsItemTable.h"
#include "store/TrayFile.h"
#include "store/TreeOperations.h"

namespace zorvik::store {

bool emptyTrashAtExit(const StoreLocation& store, const core::ItemValues& settings, core::Messages& messages,
                      bool always) {
  if (!always && !settings.flag(core::item::kEmptyTrashAtExit)) return true;
  const std::string& trash = settings.text(core::item::kTrashTray);
  if (!TrayFile(store, trash).exists()) return true;
  return TreeOperations(store, settings, messages).emptyTray(trash);
}

}  // namespace zorvik::store
