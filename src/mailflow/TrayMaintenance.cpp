#include "mailflow/TrayMaintenance.h"

#include "mailflow/Document.h"
#include "mailflow/StoreLock.h"
#include "store/TrashOperations.h"
#include "store/TreeOperations.h"

namespace zorvik::mailflow {

MaintenanceReport TrayMaintenance::compact(const Document& document, const std::string& tray) {
  const auto lock = StoreLock::take(document, StoreWork::Compact);
  if (!lock) return {};
  store::TreeOperations tree(document.store(), document.settings(), document.messages());
  const bool ok = tree.compact(tray);
  return {ok, tree.missedTrays()};
}

MaintenanceReport TrayMaintenance::emptyTrash(const Document& document) {
  const auto lock = StoreLock::take(document, StoreWork::Compact);
  if (!lock) return {};
  return {store::emptyTrashAtExit(document.store(), document.settings(), document.messages(), true), {}};
}

}  // namespace zorvik::mailflow
