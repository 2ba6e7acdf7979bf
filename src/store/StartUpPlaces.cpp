#include "store/StartUpPlaces.h"

#include "platform/DesktopLauncher.h"
#include "platform/FileSystem.h"

namespace zorvik::store {

StartUpPlaces StartUpPlaces::ofProcess() {
  StartUpPlaces places;
  places.programDirectory = platform::programDirectory();
  places.currentDirectory = platform::currentDirectory();
  places.programFile = places.programDirectory + "zorvik";
  places.desktopDirectory = platform::desktopDirectory();
  return places;
}

StartUpPlaces StartUpPlaces::inDirectory(const std::string& directory) const {
  StartUpPlaces places = *this;
  places.programDirectory = platform::joinPath(directory, "");
  places.currentDirectory = directory;
  return places;
}

}  // namespace zorvik::store
