#include "store/StoreLayout.h"

#include "core/SettingsItemTable.h"
#include "core/WorkingDirectories.h"
#include "platform/FileSystem.h"
#include "store/SystemTrays.h"
#include "store/TrayFile.h"
#include "store/TrayNameRule.h"

namespace zorvik::store {
namespace {

constexpr const char* kSpecialFolders[] = {".inc", ".Xcut", ".Xcopy"};

bool ensureDirectory(const std::string& path) {
  return platform::isDirectory(path) || platform::makeDirectory(path);
}

bool ensureWorkFolders(const core::ItemValues& settings) {
  const std::string work = workDirectoryPath(settings);
  return ensureDirectory(work) && ensureDirectory(platform::joinPath(work, "ed"));
}

bool ensureSpecialFolders(const StoreLocation& store) {
  for (const char* folder : kSpecialFolders)
    if (!ensureDirectory(platform::joinPath(store.topCabinetPath(), folder))) return false;
  return true;
}

// A system tray may be named anywhere in the store, or by a full path; a
// name that climbs out of the top cabinet is refused rather than created.
bool ensureSystemTray(const StoreLocation& store, const std::string& name, SystemTrayKind kind) {
  if (!TrayName::isFullPath(name) && !isStoreRelativePath(name, false)) return false;
  const TrayFile tray(store, name);
  // Only a missing index is recreated: an index that exists but does not
  // read is left for the user to repair, since creating the tray would
  // empty its text file too.
  if (platform::pathExists(tray.path(filetype::kIndex))) return tray.exists();
  return tray.create(systemTrayProperties(kind));
}

bool ensureSystemTrays(const core::ItemValues& settings) {
  const StoreLocation store = StoreLocation::fromSettings(settings);
  for (const SystemTray& tray : systemTrays())
    if (!ensureSystemTray(store, settings.text(tray.settingsItem), tray.kind)) return false;
  return true;
}

// An empty store root would put the top cabinet at "/", and a top cabinet
// name with "/" or ".." would put it anywhere: neither is built or checked.
bool isPlausibleStore(const StoreLocation& store) {
  return !store.root.empty() && checkName(store.topCabinet) == NameProblem::None;
}

bool ensureLayout(const core::ItemValues& settings) {
  if (!isPlausibleStore(StoreLocation::fromSettings(settings))) return false;
  return ensureWorkFolders(settings) && ensureSpecialFolders(StoreLocation::fromSettings(settings)) &&
         ensureSystemTrays(settings);
}

}  // namespace

std::string workDirectoryPath(const core::ItemValues& settings) {
  const std::string work = core::WorkingDirectories::derive(settings.text(core::item::kWorkFolder)).workDirectory;
  if (platform::isFullPath(work)) return work;
  return platform::joinPath(StoreLocation::fromSettings(settings).topCabinetPath(), work);
}

bool checkTrays(const core::ItemValues& settings) {
  if (settings.flag(core::item::kSkipTrayCheck)) return true;
  return ensureLayout(settings);
}

bool createStore(const core::ItemValues& settings) {
  const StoreLocation store = StoreLocation::fromSettings(settings);
  if (!isPlausibleStore(store)) return false;
  if (!platform::isDirectory(store.root) && !platform::makeDirectories(store.root)) return false;
  if (!ensureDirectory(store.topCabinetPath())) return false;
  return ensureLayout(settings);
}

}  // namespace zorvik::store
