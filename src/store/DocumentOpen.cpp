#include "store/DocumentOpen.h"

#include "platform/FileSystem.h"
#include "store/StoreLayout.h"

namespace zorvik::store {

using core::MessageNumber;

DocumentOpen::DocumentOpen(core::SettingsFile& settings, core::Messages& messages, StartUpPlaces places)
    : settings_(settings), messages_(messages), places_(std::move(places)) {}

bool DocumentOpen::loadSettings(std::string_view path) {
  if (settings_.load(path, messages_)) return true;
  const std::string file(path);
  if (!messages_.question(MessageNumber::RewriteSettings, {file})) return false;
  // The values now held are the defaults overwritten by what the file gave
  // before the fault; the damaged file is kept as ".BAK".
  if (settings_.save(messages_, file)) return true;
  messages_.error(MessageNumber::SettingsNotWritten, {file});
  return false;
}

bool DocumentOpen::checkStore() {
  const std::string topCabinet = settings_.topCabinetPath();
  if (platform::isDirectory(topCabinet)) {
    if (checkTrays(settings_)) return true;
    messages_.error(MessageNumber::SystemTraysBroken, {topCabinet});
    return false;
  }
  // A file in the top cabinet's place cannot become a store; asking first
  // would only lead to the same failure.
  if (platform::pathExists(topCabinet)) {
    messages_.error(MessageNumber::StoreNotBuilt, {topCabinet});
    return false;
  }
  if (!messages_.question(MessageNumber::BuildStore, {topCabinet})) return false;
  if (createStore(settings_)) return true;
  messages_.error(MessageNumber::StoreNotBuilt, {topCabinet});
  return false;
}

bool DocumentOpen::open(std::string_view path, const AccountDialog& askAccount) {
  if (path.empty() || !platform::isRegularFile(path)) {
    FirstRunFlow flow(settings_, messages_, places_);
    if (!flow.run(askAccount ? askAccount() : std::nullopt)) return false;
    return checkStore();
  }
  if (!loadSettings(path)) return false;
  settings_.resolveRelativePaths(places_.programDirectory);
  return checkStore();
}

}  // namespace zorvik::store
