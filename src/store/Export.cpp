#include "store/Export.h"

#include <algorithm>

#include "core/SettingsItemTable.h"
#include "platform/FileSystem.h"
#include "store/MailOperations.h"
#include "store/OutsideTree.h"
#include "store/SystemTrays.h"
#include "store/TrayCopy.h"
#include "store/TrayFile.h"
#include "store/TreeListing.h"
#include "store/TreeOperations.h"

namespace zorvik::store {

namespace {

using core::MessageNumber;

// True when `tray` holds a live mail of its own (link rows do not count).
bool holdsMail(const StoreLocation& store, const std::string& tray) {
  auto reader = TrayReader::open(store, tray);
  TrayRecord row;
  while (reader && reader->nextMail(row) == ReadResult::Live) {
    if (!row.isLink()) return true;
  }
  return !reader;
}

}  // namespace

Export::Export(StoreLocation store, const core::ItemValues& settings, core::Messages& messages,
               core::Progress& progress, int zoneHours)
    : store_(std::move(store)), settings_(settings), messages_(messages), progress_(progress), zoneHours_(zoneHours) {}

bool Export::exportTray(const std::string& tray, const std::string& outside, const DateLimit& limit, bool remove) {
  const auto properties = TrayFile(store_, tray).properties();
  if (!properties || !prepareTray(store_, outside, *properties)) return false;
  std::vector<std::uint32_t> outsideNow;
  const TrayCopy copier(store_, progress_, zoneHours_);
  const int copied = copier.merge(tray, outside, limit, MergeSwitches{}, &outsideNow);
  if (copied < 0) return false;
  copied_ += copied;
  leftOut_ += copier.outsidePeriod();
  return !remove || removeExported(tray, outsideNow);
}

bool Export::removeExported(const std::string& tray, const std::vector<std::uint32_t>& indices) {
  const SystemTrayKind kind = systemTrayKind(settings_, tray);
  if (holdsPendingWork(kind)) {
    kept_.push_back(tray);
    return true;
  }
  const MailOperations mails(store_, settings_.text(core::item::kTrashTray), zoneHours_,
                             settings_.text(core::item::kMailServerTray));
  if (mails.remove(tray, indices, true) != indices.size()) return false;
  if (kind != kOrdinaryTray || holdsMail(store_, tray)) return true;
  return TreeOperations(store_, settings_, messages_).discardTray(tray);
}

void Export::removeEmptyCabinets(const std::string& cabinet) const {
  std::vector<std::string> cabinets{cabinet};
  walkTree(store_, cabinet, [&](const TreeEntry& entry) {
    if (entry.isCabinet) cabinets.push_back(entry.path);
  });
  // The deepest first; a cabinet that still holds something stays.
  std::sort(cabinets.begin(), cabinets.end(), [](const std::string& a, const std::string& b) {
    return std::count(a.begin(), a.end(), '/') > std::count(b.begin(), b.end(), '/');
  });
  for (const std::string& path : cabinets) platform::removeDirectory(TrayName::path(store_, path, filetype::kPathOnly));
}

bool Export::run(const ExportRequest& request) {
  copied_ = 0;
  leftOut_ = 0;
  kept_.clear();
  const bool cabinet = isCabinet(store_, request.inside);
  if (!cabinet && (request.inside.empty() || !TrayFile(store_, request.inside).exists())) {
    messages_.error(MessageNumber::NoSourceTray, {request.inside});
    return false;
  }
  if (!platform::isFullPath(request.outside)) {
    messages_.error(cabinet ? MessageNumber::NoSourceCabinet : MessageNumber::NoSourceTray, {request.outside});
    return false;
  }
  if (liesInside(request.outside, TrayName::path(store_, request.inside, filetype::kPathOnly))) {
    messages_.error(MessageNumber::BackupIntoOwnTree);
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
    if (!exportTray(tray, outside, request.limit, request.removeSource)) return false;
  }
  if (request.removeSource && cabinet && !request.inside.empty()) removeEmptyCabinets(request.inside);
  return true;
}

}  // namespace zorvik::store
