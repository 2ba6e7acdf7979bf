/// \file
/// What a search takes from the personal settings, copied once when it
/// starts so that a worker thread never reads the settings object while
/// the user changes it: the store, the mail-server tray (never searched)
/// and the time zone that the refined search's days are meant in.
#pragma once

#include <string>

#include "store/StoreLocation.h"

namespace zorvik::core {
class SettingsFile;
}

namespace zorvik::search {

struct SearchEnvironment {
  store::StoreLocation store;
  std::string mailServerTray;
  int zoneHours = 0;

  /// The values of `settings` for `store`.
  static SearchEnvironment fromSettings(const core::SettingsFile& settings, store::StoreLocation store);
};

}  // namespace zorvik::search
