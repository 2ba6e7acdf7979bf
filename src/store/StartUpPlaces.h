/// \file
/// The places a start works with: where the program lies (relative paths of
/// the settings are resolved against it and a first start puts the store
/// there), the current directory (where a first start writes the new
/// settings file), the program a desktop launcher starts and the desktop
/// folder. zorvik-cli's `init --dir D` puts D in place of the first two.
#pragma once

#include <string>

namespace zorvik::store {

struct StartUpPlaces {
  std::string programDirectory;  // ends with "/"
  std::string currentDirectory;
  std::string programFile;       // the desktop client, started by the launcher
  std::string desktopDirectory;  // empty: no desktop, the launcher fails

  /// The places of this process: its own directory, the current directory,
  /// the desktop client "zorvik" beside this program and the user's desktop.
  static StartUpPlaces ofProcess();
  /// The places with `directory` as both program and current directory.
  StartUpPlaces inDirectory(const std::string& directory) const;
};

}  // namespace zorvik::store
