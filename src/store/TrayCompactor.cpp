#include "store/TrayCompactor.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/FileLock.h"
#include "platform/FileSystem.h"
#include "store/IndexRecord.h"
#include "store/OperationStep.h"
#include "store/TrayIndex.h"

namespace zorvik::store {
namespace {

using platform::FileAccess;

struct Move {
  std::uint32_t oldIndex;
  std::uint32_t newIndex;
};

// Byte range [start, end) of the text file, in the file's original offsets.
struct Range {
  std::uint64_t start;
  std::uint64_t end;
};

struct Plan {
  std::string records;         // the kept records, offsets already moved
  std::vector<Range> removed;  // text to remove, in file order
  std::uint64_t textEnd = 0;   // original offset where the kept text ends
  std::vector<Move> moves;
};

// Every record that refers to text must lie in text order and inside the
// file; compaction moves text by these offsets and would otherwise cut
// live mails apart.
bool inTextOrder(const std::vector<IndexRecord>& records, std::uint64_t textLength) {
  std::uint64_t previous = 0;
  for (const auto& record : records) {
    if (record.isLink()) continue;
    if (record.textStart() < previous || record.textStart() > textLength) return false;
    if (!record.isDeleted() && (record.bodyStart() < record.textStart() || record.bodyStart() > textLength))
      return false;
    previous = record.textStart();
  }
  return true;
}

Plan makePlan(const std::vector<IndexRecord>& records, std::uint64_t textLength) {
  Plan plan;
  std::uint64_t shift = 0;
  std::uint64_t gapStart = 0;
  bool inGap = false;
  std::uint32_t removed = 0;
  for (std::uint32_t j = 0; j < records.size(); ++j) {
    IndexRecord record = records[j];
    if (record.isDeleted()) {
      if (!record.isLink() && !inGap) {
        gapStart = record.textStart();
        inGap = true;
      }
      ++removed;
      continue;
    }
    if (!record.isLink()) {
      if ((inGap || j == 0) && record.textStart() != gapStart) {
        plan.removed.push_back({gapStart, record.textStart()});
        shift += record.textStart() - gapStart;
      }
      inGap = false;
      if (shift != 0) {
        record.setTextStart(static_cast<std::uint32_t>(record.textStart() - shift));
        record.setBodyStart(static_cast<std::uint32_t>(record.bodyStart() - shift));
      }
    }
    if (record.referenceCount() > 0 && removed > 0) plan.moves.push_back({j, j - removed});
    plan.records += record.bytes();
  }
  plan.textEnd = inGap ? gapStart : textLength;
  return plan;
}

// Copies the kept text (everything up to `textEnd` outside the removed
// ranges) from `from` to the start of `to`, in large blocks.
bool copyKeptText(const platform::FileLock& from, const platform::FileLock& to, const Plan& plan) {
  constexpr std::size_t kBlock = std::size_t{1} << 20;
  std::string block;
  std::uint64_t written = 0;
  const auto copy = [&](std::uint64_t start, std::uint64_t end) {
    while (start < end) {
      block.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, end - start)));
      const auto got = from.readAt(start, block.data(), block.size());
      if (!got || *got != block.size() || !to.writeAt(written, block)) return false;
      start += block.size();
      written += block.size();
    }
    return true;
  };
  std::uint64_t kept = 0;
  for (const Range& removed : plan.removed) {
    if (!copy(kept, removed.start)) return false;
    kept = removed.end;
  }
  return copy(kept, plan.textEnd);
}

// Removes what a compaction left beside the tray, the text first: a ".XMD"
// without its ".XMC" would read as a switch half done.
void removeLeftovers(const std::string& newIndexPath, const std::string& newTextPath) {
  platform::removeFile(newTextPath);
  platform::removeFile(newIndexPath);
}

}  // namespace

bool TrayCompactor::compact(std::string_view name, CompactionListener* listener) const {
  if (!TrayName::isUsable(name)) return false;
  const std::string indexPath = TrayName::path(store_, name, filetype::kIndex);
  const std::string textPath = TrayName::path(store_, name, filetype::kText);
  const std::string newIndexPath = TrayName::path(store_, name, filetype::kCompactedIndex);
  const std::string newTextPath = TrayName::path(store_, name, filetype::kCompactedText);
  if (store_.writeCheck && (!store_.writeCheck(indexPath) || !store_.writeCheck(textPath))) return false;
  std::vector<Move> moves;
  {
    // Opening the index finishes a switch that a killed compaction left half
    // done; the lock held from here on keeps every other operation out until
    // the new tray is in place.
    auto index = TrayIndex::open(indexPath, FileAccess::Update);
    if (!index) return false;
    auto text = platform::FileLock::open(textPath, FileAccess::Create);
    const auto textLength = text ? text->size() : std::nullopt;
    const auto head = index->readHead();
    if (!textLength || !head) return false;

    std::vector<IndexRecord> records;
    records.reserve(index->recordCount());
    std::string block;
    for (std::uint32_t first = 0; first < index->recordCount();) {
      const std::uint32_t got = index->readBlock(first, 4096, block);
      if (got == 0) return false;
      for (std::uint32_t i = 0; i < got; ++i)
        records.push_back(IndexRecord::fromBytes(block.data() + static_cast<std::size_t>(i) * IndexRecord::kSize));
      first += got;
    }
    if (!inTextOrder(records, *textLength)) return false;

    const Plan plan = makePlan(records, *textLength);
    const bool nothingToDo = plan.removed.empty() && plan.textEnd == *textLength &&
                             plan.records.size() == records.size() * IndexRecord::kSize;
    if (nothingToDo) return true;
    // The new index is made before the new text and held locked until both
    // renames are done (see the file comment).
    auto newIndex = platform::FileLock::open(newIndexPath, FileAccess::Truncate);
    auto newText = newIndex ? platform::FileLock::open(newTextPath, FileAccess::Truncate) : std::nullopt;
    const bool written = newText && newIndex->writeAt(0, *head) && newIndex->writeAt(head->size(), plan.records) &&
                         copyKeptText(*text, *newText, plan) && newIndex->sync() && newText->sync();
    operationStep();
    if (!written || !platform::renamePath(newIndexPath, indexPath)) {
      removeLeftovers(newIndexPath, newTextPath);
      return false;
    }
    operationStep();
    // Should this rename fail, the next opener of the index finishes it.
    platform::renamePath(newTextPath, textPath);
    platform::syncDirectory(platform::directoryOf(indexPath));
    moves = plan.moves;
  }
  operationStep();
  if (listener) {
    for (const auto& move : moves) listener->recordMoved(name, move.oldIndex, move.newIndex);
  }
  return true;
}

}  // namespace zorvik::store
