#include "store/PostOpen.h"

#include <cstdlib>
#include <ctime>

#include "core/SettingsItemTable.h"
#include "store/TrayName.h"

namespace zorvik::store {

void applyTimeZone(const core::SettingsFile& settings) {
  const std::string& zone = settings.text(core::item::kTimeZone);
  ::setenv("TZ", zone.empty() ? "JST-9" : zone.c_str(), 1);
  ::tzset();
}

std::string workFileTextPath(const core::SettingsFile& settings) {
  return TrayName::path(StoreLocation::fromSettings(settings), settings.workingDirectories().newMailWorkFile,
                        filetype::kText);
}

}  // namespace zorvik::store
