#include "store/Backup.h"

#include "platform/FileSystem.h"
#include "store/LinkMaintenance.h"
#include "store/OutsideTree.h"
#include "store/SystemTrays.h"
#include "store/TrayCopy.h"
#include "store/TrayFile.h"
#include "store/TreeListing.h"
#include "store/TreeOperations.h"

namespace zorvik::store {

using core::MessageNumber;

Backup::Backup(StoreLocation store, const core::ItemValues& settings, core::Messages& messages,
               core::Progress& progress, int zoneHours)
    : store_(std::move(store)), settings_(settings), messages_(messages), progress_(progress), zoneHours_(zoneHours) {}

bool Backup::backupTray(const std::string& tray, const std::string& destination, const BackupRequest& request) {
  const TrayFile source(store_, tray);
  const auto properties = source.properties();
  if (!properties || !prepareTray(store_, destination, *properties)) return false;
  const SystemTrayKind kind = systemTrayKind(settings_, tray);
  const bool deleting = request.deleteCopied && !holdsPendingWork(kind);
  if (request.deleteCopied && !deleting) kept_.push_back(tray);
  const TrayCopy copier(store_, progress_, zoneHours_);
  const int copied = copier.backup(tray, destination, request.limit, deleting);
  if (copied < 0) return false;
  copied_ += copied;
  leftOut_ += copier.outsidePeriod();
  if (!deleting || !request.compactAfter || copied == 0) return true;
  if (kind != kOrdinaryTray || source.count(false).value_or(1) > 0) return LinkMaintenance(store_).compact(tray);
  return TreeOperations(store_, settings_, messages_).discardTray(tray);
}

bool Backup::backupCabinet(const std::string& cabinet, const std::string& destination,
                           const BackupRequest& request) {
  for (const TreeEntry& entry : listCabinet(store_, cabinet)) {
    const std::string target = platform::joinPath(destination, platform::fileNameOf(entry.path));
    if (!entry.isCabinet) {
      if (!backupTray(entry.path, target, request)) return false;
      continue;
    }
    if (!platform::makeDirectories(target)) {
      messages_.error(MessageNumber::DirectoryNotCreated);
      return false;
    }
    if (!backupCabinet(entry.path, target, request)) return false;
  }
  return true;
}

bool Backup::run(const BackupRequest& request) {
  copied_ = 0;
  leftOut_ = 0;
  kept_.clear();
  std::string root = platform::joinPath(request.directory, store_.topCabinet);
  if (liesInside(root, store_.topCabinetPath())) {
    messages_.error(MessageNumber::BackupIntoOwnTree);
    return false;
  }
  if (!platform::makeDirectories(platform::joinPath(root, ".inc"))) {
    messages_.error(MessageNumber::DirectoryNotCreated);
    return false;
  }
  const std::string source = request.focusedOnly ? request.selection : std::string();
  if (!source.empty()) root = platform::joinPath(root, source);
  if (!source.empty() && !isCabinet(store_, source)) return backupTray(source, root, request);
  if (!platform::makeDirectories(root)) {
    messages_.error(MessageNumber::DirectoryNotCreated);
    return false;
  }
  return backupCabinet(source, root, request);
}

}  // namespace zorvik::store
