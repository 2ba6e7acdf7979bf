#include "store/Merge.h"

#include "platform/FileSystem.h"
#include "store/OutsideTree.h"
#include "store/TrayCopy.h"
#include "store/TrayFile.h"
#include "store/TreeListing.h"

namespace zorvik::store {

using core::MessageNumber;

Merge::Merge(StoreLocation store, core::Messages& messages, core::Progress& progress, int zoneHours)
    : store_(std::move(store)), messages_(messages), progress_(progress), zoneHours_(zoneHours) {}

bool Merge::mergeTray(const std::string& outsideTray, const std::string& tray, const DateLimit& limit) {
  const auto properties = TrayFile(store_, outsideTray).properties();
  if (!properties || !prepareTray(store_, tray, *properties)) return false;
  const TrayCopy copier(store_, progress_, zoneHours_);
  const int copied = copier.merge(outsideTray, tray, limit, MergeSwitches{});
  if (copied < 0) return false;
  copied_ += copied;
  leftOut_ += copier.outsidePeriod();
  return true;
}

bool Merge::mergeCabinet(const std::string& directory, const std::string& cabinet, const DateLimit& limit) {
  const OutsideListing listing = listOutside(directory);
  for (const std::string& tray : listing.trays) {
    if (!mergeTray(platform::joinPath(directory, tray), platform::joinPath(cabinet, tray), limit)) return false;
  }
  for (const std::string& name : listing.cabinets) {
    const std::string inside = platform::joinPath(cabinet, name);
    if (!platform::makeDirectories(TrayName::path(store_, inside, filetype::kPathOnly))) {
      messages_.error(MessageNumber::DirectoryNotCreated);
      return false;
    }
    if (!mergeCabinet(platform::joinPath(directory, name), inside, limit)) return false;
  }
  return true;
}

bool Merge::run(const MergeRequest& request) {
  copied_ = 0;
  leftOut_ = 0;
  // Merging into what is being read would feed the copy with itself.
  if (liesInside(TrayName::path(store_, request.inside, filetype::kPathOnly), request.outside)) {
    messages_.error(MessageNumber::BackupIntoOwnTree);
    return false;
  }
  const bool intoTray = !request.inside.empty() && !isCabinet(store_, request.inside) &&
                        TrayFile(store_, request.inside).exists();
  if (intoTray) {
    if (!TrayFile(store_, request.outside).exists()) {
      messages_.error(MessageNumber::NoSourceTray, {request.outside});
      return false;
    }
    return mergeTray(request.outside, request.inside, request.limit);
  }
  if (!platform::isDirectory(request.outside)) {
    messages_.error(MessageNumber::NoSourceCabinet, {request.outside});
    return false;
  }
  if (!platform::makeDirectories(TrayName::path(store_, request.inside, filetype::kPathOnly))) {
    messages_.error(MessageNumber::DirectoryNotCreated);
    return false;
  }
  return mergeCabinet(request.outside, request.inside, request.limit);
}

}  // namespace zorvik::store
