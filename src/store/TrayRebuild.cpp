#include "store/TrayRebuild.h"

#include <fstream>
#include <vector>

#include "message/HeaderReader.h"
#include "platform/FileLock.h"
#include "platform/FileSystem.h"
#include "store/IndexHead.h"
#include "store/OperationStep.h"
#include "store/RecordFlags.h"
#include "store/TrayFile.h"
#include "store/TrayIndex.h"
#include "store/TrayInheritance.h"
#include "store/WorkFileAppender.h"

namespace zorvik::store {
namespace {

using platform::FileAccess;

// What the text file cannot give back: the user's own bits of a record.
constexpr std::uint32_t kCarried =
    recordflag::kOpened | recordflag::kReplied | recordflag::kMarkMask | recordflag::kReferenceMask;

struct OldRecord {
  std::uint32_t index = 0;
  std::uint32_t flags = 0;
  std::int32_t date = 0;  // a mail without a Date line was dated when stored
};

// What the old index still says: its mails by text start, and its links.
struct OldIndex {
  std::optional<TrayProperties> properties;
  std::map<std::uint32_t, OldRecord> byTextStart;
  std::vector<IndexRecord> links;
};

OldIndex readOld(const std::optional<TrayIndex>& index) {
  OldIndex old;
  if (!index) return old;
  if (const auto head = index->readHead()) old.properties = IndexHead::decode(*head);
  std::string block;
  for (std::uint32_t first = 0; first < index->recordCount();) {
    const std::uint32_t got = index->readBlock(first, 4096, block);
    if (got == 0) break;
    for (std::uint32_t i = 0; i < got; ++i) {
      const IndexRecord record =
          IndexRecord::fromBytes(block.data() + static_cast<std::size_t>(i) * IndexRecord::kSize);
      if (record.hasFlag(recordflag::kDeleted)) continue;
      if (record.isLink()) old.links.push_back(record);
      else old.byTextStart.emplace(record.textStart(), OldRecord{first + i, record.flags(), record.date()});
    }
    first += got;
  }
  return old;
}

// The offsets of the separator lines of the mails the header reader takes
// (deleted ones left out), in file order: the k-th is the k-th new record.
std::vector<std::uint32_t> liveSeparators(const std::string& textPath) {
  std::ifstream in(platform::nativePath(textPath), std::ios::binary);
  std::vector<std::uint32_t> offsets;
  std::uint64_t offset = 0;
  std::string line;
  while (std::getline(in, line)) {
    if (line.starts_with("From ") && !line.starts_with(message::HeaderReader::kDeletionMarker))
      offsets.push_back(static_cast<std::uint32_t>(offset));
    offset += line.size() + 1;
  }
  return offsets;
}

// A rename, or where the work folder lies on another file system a copy.
bool moveFile(const std::string& from, const std::string& to) {
  if (platform::renamePath(from, to)) return true;
  if (!platform::copyFileAtomically(from, to)) return false;
  platform::removeFile(from);
  return true;
}

}  // namespace

std::optional<RebuildResult> TrayRebuild::rebuild(std::string_view name) const {
  if (!TrayName::isUsable(name)) return std::nullopt;
  const std::string indexPath = TrayName::path(store_, name, filetype::kIndex);
  const std::string textPath = TrayName::path(store_, name, filetype::kText);
  if (store_.writeCheck && (!store_.writeCheck(indexPath) || !store_.writeCheck(textPath))) return std::nullopt;
  // Both held until the new tray is in place: nobody appends to the text
  // or reads the index half switched.
  const auto heldIndex = TrayIndex::open(indexPath, FileAccess::Update);
  const auto heldText = platform::FileLock::open(textPath, FileAccess::Update);
  if (!heldText) return std::nullopt;
  const OldIndex old = readOld(heldIndex);

  const TrayFile fresh(store_, platform::joinPath(workFolder_, "Rebuild"));
  const std::string copy = fresh.path(filetype::kText) + ".in";
  const TrayProperties properties =
      old.properties ? *old.properties : inheritedProperties(store_, platform::directoryOf(name));
  if (!fresh.create(properties) || !platform::copyFile(textPath, copy)) return std::nullopt;
  const auto appended = WorkFileAppender::append(copy, fresh, parser_);
  platform::removeFile(copy);
  if (!appended) return std::nullopt;

  RebuildResult result;
  result.mails = appended->appended;
  const std::vector<std::uint32_t> separators = liveSeparators(textPath);
  for (std::uint32_t k = 0; k < result.mails && k < separators.size(); ++k) {
    const auto found = old.byTextStart.find(separators[k]);
    TrayRecord row;
    if (found == old.byTextStart.end() || fresh.read(k, row) != ReadResult::Live) continue;
    row.record.setFlags((row.record.flags() & ~kCarried) | (found->second.flags & kCarried));
    row.record.setDate(found->second.date);
    if (!fresh.writeRecord(k, row.record)) return std::nullopt;
    if (recordflag::referenceCount(found->second.flags) > 0 && found->second.index != k)
      result.moved.emplace(found->second.index, k);
  }
  for (const IndexRecord& link : old.links)
    if (!fresh.appendRecord(link)) return std::nullopt;

  const std::string newIndexPath = TrayName::path(store_, name, filetype::kCompactedIndex);
  const std::string newTextPath = TrayName::path(store_, name, filetype::kCompactedText);
  // The index first: a ".XMD" without its ".XMC" reads as a switch half done.
  platform::removeFile(newTextPath);
  if (!moveFile(fresh.path(filetype::kIndex), newIndexPath) || !moveFile(fresh.path(filetype::kText), newTextPath) ||
      !platform::renamePath(newIndexPath, indexPath)) {
    platform::removeFile(newTextPath);
    platform::removeFile(newIndexPath);
    return std::nullopt;
  }
  operationStep();
  // Should this rename fail, the next opener of the index finishes it.
  platform::renamePath(newTextPath, textPath);
  platform::syncDirectory(platform::directoryOf(indexPath));
  return result;
}

}  // namespace zorvik::store
