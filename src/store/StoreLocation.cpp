#include "store/StoreLocation.h"

#include "core/ItemValues.h"
#include "core/SettingsItemTable.h"

namespace zorvik::store {

StoreLocation StoreLocation::fromSettings(const core::ItemValues& settings) {
  StoreLocation store;
  store.root = settings.text(core::item::kStoreRoot);
  while (store.root.size() > 1 && store.root.back() == '/') store.root.pop_back();
  store.topCabinet = settings.text(core::item::kTopCabinet);
  return store;
}

std::string StoreLocation::topCabinetPath() const { return root + "/" + topCabinet; }

}  // namespace zorvik::store
