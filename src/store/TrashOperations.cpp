#include "store/TrashOperations.h"

#include "store/TrayFile.h"
#include "store/TreeOperations.h"

namespace zorvik::store {
namespace {

constexpr int kTrayItem = 206;
constexpr int kEmptyAtExitItem = 209;

}  // namespace

bool emptyTrashAtExit(const StoreLocation& store, const core::ItemValues& settings, core::Messages& messages,
                      bool always) {
  if (!always && !settings.flag(kEmptyAtExitItem)) return true;
  const std::string& trash = settings.text(kTrayItem);
  if (!TrayFile(store, trash).exists()) return true;
  return TreeOperations(store, settings, messages).emptyTray(trash);
}

}  // namespace zorvik::store
