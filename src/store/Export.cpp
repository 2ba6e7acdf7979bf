#include "store/Export.h"

#include "platform/FileSystem.h"
#include "store/OutsideTree.h"
#include "store/TrayCopy.h"
#include "store/TrayFile.h"
#include "store/TreeListing.h"
#include "store/TreeOperations.h"

namespace zorvik::store {

using core::MessageNumber;

Export::Export(StoreLocation store, const core::ItemValues& settings, core::Messages& messages,
               core::Progress& progress, int zoneHours)
    : store_(std::move(store)), settings_(settings), messages_(messages), progress_(progress), zoneHours_(zoneHours) {}

bool Export::exportTray(const std::string& tray, const std::string& outside, const DateLimit& limit) {
  const auto properties = TrayFile(store_, tray).properties();
  if (!properties || !prepareTray(store_, outside, *properties)) return false;
  const int copied = TrayCopy(store_, progress_, zoneHours_).merge(tray, outside, limit, MergeSwitches{});
  if (copied < 0) return false;
  copied_ += copied;
  return true;
}

bool Export::run(const ExportRequest& request) {
  copied_ = 0;
  const bool cabinet = isCabinet(store_, request.inside);
  if (!cabinet && (request.inside.empty() || !TrayFile(store_, request.inside).exists())) {
    messages_.error(MessageNumber::NoSourceTray, {request.inside});
    return false;
  }
  if (!platform::isFullPath(request.outside)) {
    messages_.error(cabinet ? MessageNumber::NoSourceCabinet : MessageNumber::NoSourceTray, {request.outside});
    return false;
  }
  // The attachment root of the outside trays: found along their paths.
  const std::string top = cabinet ? request.outside : platform::directoryOf(request.outside);
  if (!platform::makeDirectories(platform::joinPath(top, ".inc"))) {
    messages_.error(MessageNumber::DirectoryNotCreated);
    return false;
  }
  std::vector<std::pair<std::string, std::string>> trays;
  if (!cabinet) trays.emplace_back(request.inside, request.outside);
  if (cabinet) {
    walkTree(store_, request.inside, [&](const TreeEntry& entry) {
      if (entry.isCabinet) return;
      const std::string relative = entry.path.substr(request.inside.empty() ? 0 : request.inside.size() + 1);
      trays.emplace_back(entry.path, platform::joinPath(request.outside, relative));
    });
  }
  for (const auto& [tray, outside] : trays) {
    if (!exportTray(tray, outside, request.limit)) return false;
  }
  if (!request.removeSource) return true;
  TreeOperations tree(store_, settings_, messages_);
  bool removed = true;
  for (const auto& entry : trays) removed = tree.discardTray(entry.first) && removed;
  if (cabinet && !request.inside.empty() && removed)
    removed = platform::removeTree(TrayName::path(store_, request.inside, filetype::kPathOnly));
  return removed;
}

}  // namespace zorvik::store
