#include "store/TrayIndex.h"

#include <algorithm>
#include <limits>

#include "platform/FileSystem.h"
#include "store/IndexHead.h"
#include "store/TrayName.h"

namespace zorvik::store {
namespace {

// The file of type `type` beside the index at `indexPath`.
std::string besideIndex(std::string_view indexPath, int type) {
  const std::string_view ext = TrayName::extension(filetype::kIndex);
  return std::string(indexPath.substr(0, indexPath.size() - ext.size())) + std::string(TrayName::extension(type));
}

// A compaction killed between renaming its new index and its new text over
// the old ones leaves the new text beside the tray without the new index:
// the switch is finished here, under the index lock, before anyone reads
// the tray. (Before the first rename both are there, or none.)
void finishInterruptedCompaction(std::string_view indexPath) {
  if (!indexPath.ends_with(TrayName::extension(filetype::kIndex))) return;
  const std::string newText = besideIndex(indexPath, filetype::kCompactedText);
  if (!platform::isRegularFile(newText) || platform::pathExists(besideIndex(indexPath, filetype::kCompactedIndex)))
    return;
  platform::renamePath(newText, besideIndex(indexPath, filetype::kText));
}

}  // namespace

std::optional<TrayIndex> TrayIndex::open(std::string_view path, platform::FileAccess access) {
  auto file = platform::FileLock::open(path, access);
  if (!file) return std::nullopt;
  finishInterruptedCompaction(path);
  const auto length = file->size();
  if (!length) return std::nullopt;
  char first[IndexHead::kMinimumLength];
  const auto got = file->readAt(0, first, sizeof first);
  if (!got) return std::nullopt;
  const auto head = IndexHead::headLength(std::string_view(first, *got), *length);
  if (!head) return std::nullopt;
  return TrayIndex(std::move(*file), *head, *length);
}

std::uint32_t TrayIndex::recordCount() const {
  const std::uint64_t count = (length_ - headLength_) / IndexRecord::kSize;
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(count, std::numeric_limits<std::uint32_t>::max()));
}

std::uint64_t TrayIndex::positionOf(std::uint32_t index) const {
  return headLength_ + static_cast<std::uint64_t>(index) * IndexRecord::kSize;
}

std::optional<std::string> TrayIndex::readHead() const {
  std::string head(headLength_, '\0');
  const auto got = file_.readAt(0, head.data(), head.size());
  if (!got || *got != head.size()) return std::nullopt;
  return head;
}

std::optional<IndexRecord> TrayIndex::read(std::uint32_t index) const {
  if (index >= recordCount()) return std::nullopt;
  char bytes[IndexRecord::kSize];
  const auto got = file_.readAt(positionOf(index), bytes, sizeof bytes);
  if (!got || *got != sizeof bytes) return std::nullopt;
  return IndexRecord::fromBytes(bytes);
}

std::uint32_t TrayIndex::readBlock(std::uint32_t first, std::uint32_t count, std::string& out) const {
  const std::uint32_t total = recordCount();
  if (first >= total) return 0;
  count = std::min(count, total - first);
  out.resize(static_cast<std::size_t>(count) * IndexRecord::kSize);
  const auto got = file_.readAt(positionOf(first), out.data(), out.size());
  if (!got) return 0;
  return static_cast<std::uint32_t>(*got / IndexRecord::kSize);
}

bool TrayIndex::write(std::uint32_t index, const IndexRecord& record) {
  if (index >= recordCount()) return false;
  return file_.writeAt(positionOf(index), record.bytes());
}

bool TrayIndex::writeFlags(std::uint32_t index, std::uint32_t flags) {
  if (index >= recordCount()) return false;
  IndexRecord word;
  word.setFlags(flags);
  return file_.writeAt(positionOf(index), word.bytes().substr(0, 4));
}

std::optional<std::uint32_t> TrayIndex::appendBytes(std::string_view records) {
  const std::uint32_t first = recordCount();
  const std::uint64_t position = positionOf(first);
  if (!file_.writeAt(position, records)) return std::nullopt;
  length_ = std::max(length_, position + records.size());
  return first;
}

std::optional<std::uint32_t> TrayIndex::append(const IndexRecord& record) {
  return appendBytes(record.bytes());
}

bool TrayIndex::keepRecords(std::uint32_t count) {
  const std::uint64_t length = positionOf(count);
  if (!file_.resize(length)) return false;
  length_ = length;
  return true;
}

std::optional<bool> TrayIndex::anyLive() const {
  std::string block;
  for (std::uint32_t first = 0; first < recordCount();) {
    const std::uint32_t got = readBlock(first, 4096, block);
    if (got == 0) return std::nullopt;
    for (std::uint32_t i = 0; i < got; ++i) {
      if (!IndexRecord::fromBytes(block.data() + static_cast<std::size_t>(i) * IndexRecord::kSize).isDeleted())
        return true;
    }
    first += got;
  }
  return false;
}

bool TrayIndex::writeHeadWord(std::uint32_t offset, std::uint32_t value) {
  if (offset + 4 > headLength_) return false;
  return file_.writeAt(offset, IndexHead::word(value));
}

}  // namespace zorvik::store
