#include "store/TrayReader.h"

#include "store/LinkRecord.h"
#include "store/RecordFlags.h"

namespace zorvik::store {
namespace {

// 771 records: one read of about 128 KB, large enough that the system calls
// do not show in a 100,000-record list and small enough to stay in cache.
constexpr std::uint32_t kBlockRecords = 771;

ReadResult broken(const IndexRecord& link, TrayRecord& out) {
  out.record = link;
  out.record.setFlags(link.flags() | recordflag::kBrokenLink);
  return ReadResult::Deleted;
}

}  // namespace

std::optional<TrayReader> TrayReader::open(const StoreLocation& store, std::string_view name) {
  if (!TrayName::isUsable(name)) return std::nullopt;
  auto index = TrayIndex::open(TrayName::path(store, name, filetype::kIndex), platform::FileAccess::Read);
  if (!index) return std::nullopt;
  return TrayReader(store, std::move(*index));
}

void TrayReader::end() {
  index_.reset();
  target_.reset();
  targetPath_.clear();
}

const char* TrayReader::rawRecord(std::uint32_t index, std::uint32_t readAhead) {
  if (!index_) return nullptr;
  if (index < blockFirst_ || index >= blockFirst_ + blockCount_) {
    blockFirst_ = index;
    blockCount_ = index_->readBlock(index, readAhead, block_);
    if (blockCount_ == 0) return nullptr;
  }
  return block_.data() + static_cast<std::size_t>(index - blockFirst_) * IndexRecord::kSize;
}

ReadResult TrayReader::read(std::uint32_t index, TrayRecord& out) {
  // One record is what a single read usually wants; a walk reads ahead.
  const char* bytes = rawRecord(index, 1);
  if (!bytes) return ReadResult::End;
  position_ = index + 1;
  return interpret(index, bytes, out);
}

ReadResult TrayReader::next(TrayRecord& out) {
  const char* bytes = rawRecord(position_, kBlockRecords);
  if (!bytes) {
    end();
    return ReadResult::End;
  }
  const std::uint32_t index = position_++;
  return interpret(index, bytes, out);
}

ReadResult TrayReader::nextMail(TrayRecord& out) {
  for (;;) {
    const ReadResult result = next(out);
    if (result != ReadResult::Deleted) return result;
  }
}

ReadResult TrayReader::interpret(std::uint32_t index, const char* bytes, TrayRecord& out) {
  out.index = index;
  out.linkTarget.clear();
  out.linkIndex = 0;
  out.record.assign(bytes);
  if (out.record.isDeleted()) return ReadResult::Deleted;
  if (!out.record.isLink()) return ReadResult::Live;
  return follow(IndexRecord(out.record), out);
}

ReadResult TrayReader::follow(const IndexRecord& link, TrayRecord& out) {
  const LinkRecord target = LinkRecord::of(link);
  out.linkTarget.assign(target.targetTray());
  out.linkIndex = target.targetIndex();
  if (!TrayName::isUsable(out.linkTarget)) return broken(link, out);
  const std::string path = TrayName::path(store_, out.linkTarget, filetype::kIndex);
  // A target that failed stays failed for the session: retrying a locked
  // tray for every one of its links would take seconds each.
  if (path != targetPath_) {
    target_ = TrayIndex::open(path, platform::FileAccess::Read);
    targetPath_ = path;
  }
  if (!target_) return broken(link, out);
  const auto mail = target_->read(out.linkIndex);
  // A link is never followed twice: a chain would be a record this program
  // never writes, and following it could loop.
  if (!mail || mail->isDeleted() || mail->isLink()) return broken(link, out);
  out.record = *mail;
  out.record.setFlags(mail->flags() | recordflag::kLink);
  return ReadResult::Live;
}

}  // namespace zorvik::store
