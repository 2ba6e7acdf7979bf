#include "CliStore.h"

#include <cstdlib>

#include "platform/FileSystem.h"
#include "store/FreeSpaceCheck.h"

namespace zorvik::cli {
namespace {

std::string settingsFolder(const CliContext& context) {
  std::string folder = platform::directoryOf(context.settingsPath());
  if (!platform::isFullPath(folder)) folder = platform::joinPath(platform::currentDirectory(), folder);
  return folder;
}

}  // namespace

std::optional<OpenStore> openStore(CliContext& context) {
  core::SettingsFile* settings = context.rawSettings();
  if (!settings) return std::nullopt;
  settings->resolveRelativePaths(platform::joinPath(settingsFolder(context), ""));
  store::StoreLocation location = store::StoreLocation::fromSettings(*settings);
  location.writeCheck = store::FreeSpaceCheck(context.messages());
  return OpenStore{settings, std::move(location)};
}

store::StoreLocation storeOf(CliContext& context, const core::SettingsFile& settings) {
  store::StoreLocation location = store::StoreLocation::fromSettings(settings);
  if (!platform::isFullPath(location.root)) location.root = platform::joinPath(settingsFolder(context), location.root);
  location.writeCheck = store::FreeSpaceCheck(context.messages());
  return location;
}

std::optional<std::uint32_t> recordIndex(const std::string& text) {
  char* end = nullptr;
  const unsigned long value = std::strtoul(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || text[0] == '-' || value > UINT32_MAX) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

}  // namespace zorvik::cli
