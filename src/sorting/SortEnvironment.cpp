#include "sorting/SortEnvironment.h"

#include <ctime>

#include "core/SettingsFile.h"
#include "platform/FileSystem.h"

namespace zorvik::sorting {
namespace {

SortThreadLevel threadLevelOf(std::int32_t value) {
  if (value == 1) return SortThreadLevel::ChooseOnWorker;
  if (value == 2) return SortThreadLevel::AllOnWorker;
  return SortThreadLevel::Inline;
}

}  // namespace

SortEnvironment SortEnvironment::fromSettings(const core::SettingsFile& settings, store::StoreLocation store) {
  using namespace core::item;
  SortEnvironment environment;
  environment.store = std::move(store);
  environment.newMailTray = settings.text(kNewMailTray);
  environment.trashTray = settings.text(kTrashTray);
  environment.order = settings.text(kSortOrder);
  environment.rules.trayNameIsKeyword = settings.flag(kTrayNameIsKeyword);
  environment.rules.createTraysFromTags = settings.flag(kCreateTraysFromKeywords);
  environment.rules.zoneHours = settings.timeZoneOffsetHours();
  environment.rules.aliases = settings.aliases();
  environment.parse = message::ParseContext::fromSettings(settings, std::time(nullptr));
  environment.threadLevel = threadLevelOf(settings.number(kSortingThreadLevel));
  environment.sortAfterReceive = settings.flag(kAutoSort);
  environment.logPath = settings.sortingLogPath();
  environment.journalPath = platform::joinPath(platform::directoryOf(environment.logPath), ".zorvik-sorting.journal");
  return environment;
}

}  // namespace zorvik::sorting
