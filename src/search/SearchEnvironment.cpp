#include "search/SearchEnvironment.h"

#include "core/SettingsFile.h"

namespace zorvik::search {

SearchEnvironment SearchEnvironment::fromSettings(const core::SettingsFile& settings, store::StoreLocation store) {
  return {std::move(store), settings.text(core::item::kMailServerTray), settings.timeZoneOffsetHours()};
}

}  // namespace zorvik::search
