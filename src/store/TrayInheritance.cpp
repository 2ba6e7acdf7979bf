#include "store/TrayInheritance.h"

#include "platform/FileSystem.h"
#include "store/TrayFile.h"
#include "store/TrayPropertyTable.h"

namespace zorvik::store {

std::string defaultTrayOf(std::string_view cabinet) { return platform::joinPath(cabinet, kDefaultTrayName); }

TrayProperties inheritedProperties(const StoreLocation& store, std::string_view cabinet) {
  std::string level(cabinet);
  for (;;) {
    if (auto found = TrayFile(store, defaultTrayOf(level)).properties()) {
      found->description.clear();
      return *found;
    }
    // "" (the top cabinet) and "/" are the last levels looked at.
    if (level.empty() || level == "/") break;
    level = platform::directoryOf(level);
  }
  return defaultTrayProperties();
}

}  // namespace zorvik::store
