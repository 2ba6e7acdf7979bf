#include "store/LinkMaintenance.h"

#include "platform/FileLock.h"
#include "platform/FileSystem.h"
#include "store/RecordFlags.h"
#include "store/TrayCompactor.h"
#include "store/TrayFile.h"
#include "store/TrayIndex.h"
#include "store/TreeListing.h"

namespace zorvik::store {
namespace {

using platform::FileAccess;

// How often the trays that were held by another operation are tried again.
constexpr int kBusyRounds = 3;
constexpr std::uint32_t kBlockRecords = 4096;

// Calls `visit` with every live link record of an index, in blocks; stops
// early when `visit` returns false.
template <typename Visit>
bool forEachLink(const TrayIndex& index, Visit visit) {
  std::string block;
  for (std::uint32_t first = 0; first < index.recordCount();) {
    const std::uint32_t got = index.readBlock(first, kBlockRecords, block);
    if (got == 0) return false;
    for (std::uint32_t i = 0; i < got; ++i) {
      const IndexRecord record = IndexRecord::fromBytes(block.data() + static_cast<std::size_t>(i) * IndexRecord::kSize);
      if (record.isDeleted() || !record.isLink()) continue;
      if (!visit(first + i, LinkRecord::of(record))) return true;
    }
    first += got;
  }
  return true;
}

// `name` with the prefix `oldName` replaced, when it is that tray or (for a
// cabinet) lies below it.
std::optional<std::string> renamed(std::string_view name, std::string_view oldName, std::string_view newName,
                                   bool cabinet) {
  if (!cabinet) {
    if (name != oldName) return std::nullopt;
    return std::string(newName);
  }
  if (name.size() <= oldName.size() || !name.starts_with(oldName) || name[oldName.size()] != '/')
    return std::nullopt;
  return std::string(newName) + std::string(name.substr(oldName.size()));
}

// Collects the referenced mails that compaction moved.
class MoveCollector : public CompactionListener {
public:
  void recordMoved(std::string_view tray, std::uint32_t oldIndex, std::uint32_t newIndex) override {
    moves[{std::string(tray), oldIndex}] = {std::string(tray), newIndex};
  }
  std::map<MailPlace, MailPlace> moves;
};

}  // namespace

std::vector<std::string> LinkMaintenance::allTrays() const {
  std::vector<std::string> trays;
  const auto collect = [&](const TreeEntry& entry) {
    if (!entry.isCabinet) trays.push_back(entry.path);
  };
  walkTree(store_, "", collect);
  for (const char* holding : {".Xcut", ".Xcopy"}) {
    if (isCabinet(store_, holding)) walkTree(store_, holding, collect);
  }
  return trays;
}

std::vector<MailPlace> LinkMaintenance::linksTo(const MailPlace& mail) const {
  std::vector<MailPlace> found;
  for (const std::string& tray : allTrays()) {
    const auto index = TrayIndex::open(TrayName::path(store_, tray, filetype::kIndex), FileAccess::Read);
    if (!index) continue;
    forEachLink(*index, [&](std::uint32_t at, const LinkRecord& link) {
      if (link.targetIndex() == mail.index && link.targetTray() == mail.tray) found.push_back({tray, at});
      return found.size() < kMostLinksFound;
    });
    if (found.size() >= kMostLinksFound) break;
  }
  return found;
}

bool LinkMaintenance::rewriteTray(const std::string& tray, const LinkChange& change) const {
  const std::string path = TrayName::path(store_, tray, filetype::kIndex);
  if (store_.writeCheck && !store_.writeCheck(path)) return false;
  auto index = TrayIndex::open(path, FileAccess::Update);
  if (!index) return false;
  bool written = true;
  const bool read = forEachLink(*index, [&](std::uint32_t at, const LinkRecord& link) {
    if (const auto rewritten = change(link)) {
      // The link keeps its own flags word (a mark, the read state); only
      // the target changes.
      IndexRecord record = *rewritten;
      record.setFlags(link.flags());
      written = index->write(at, record) && written;
    }
    return true;
  });
  return read && written;
}

std::vector<std::string> LinkMaintenance::rewriteLinks(const LinkChange& change, std::string_view skipped) const {
  std::vector<std::string> pending = allTrays();
  std::erase(pending, skipped);
  for (int round = 0; round <= kBusyRounds && !pending.empty(); ++round) {
    std::vector<std::string> busy;
    for (const std::string& tray : pending) {
      // A tray that is there but cannot be opened is busy or damaged; one
      // that went away (removed meanwhile) holds no links to keep.
      if (!rewriteTray(tray, change) && platform::pathExists(TrayName::path(store_, tray, filetype::kIndex)))
        busy.push_back(tray);
    }
    pending = std::move(busy);
  }
  return pending;
}

std::vector<std::string> LinkMaintenance::followRename(std::string_view oldName, std::string_view newName,
                                                       bool cabinet) const {
  // A tray's old name is on its way out: its files are the new ones (hard
  // links) or a copy of them that the relocation holds locked.
  return rewriteLinks(
      [&](const LinkRecord& link) -> std::optional<LinkRecord> {
        const auto target = renamed(link.targetTray(), oldName, newName, cabinet);
        if (!target) return std::nullopt;
        return LinkRecord::make(*target, link.targetIndex());
      },
      cabinet ? std::string_view() : oldName);
}

std::vector<std::string> LinkMaintenance::followMoves(const std::map<MailPlace, MailPlace>& moves) const {
  if (moves.empty()) return {};
  MailPlace key;
  return rewriteLinks([&](const LinkRecord& link) -> std::optional<LinkRecord> {
    key.tray.assign(link.targetTray());
    key.index = link.targetIndex();
    const auto moved = moves.find(key);
    if (moved == moves.end()) return std::nullopt;
    return LinkRecord::make(moved->second.tray, moved->second.index);
  });
}

std::size_t LinkMaintenance::releaseLinksTo(const MailPlace& mail) const {
  std::size_t released = 0;
  for (const MailPlace& link : linksTo(mail)) {
    if (TrayFile(store_, link.tray).releaseLink(link.index) == ReadResult::Live) ++released;
  }
  return released;
}

bool LinkMaintenance::compact(std::string_view name, std::vector<std::string>* missed) const {
  MoveCollector collector;
  if (!TrayCompactor(store_).compact(name, &collector)) return false;
  const auto notUpdated = followMoves(collector.moves);
  if (missed) missed->insert(missed->end(), notUpdated.begin(), notUpdated.end());
  return true;
}

}  // namespace zorvik::store
