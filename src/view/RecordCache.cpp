#include "view/RecordCache.h"

#include "store/TrayReader.h"

namespace zorvik::view {

void RecordCache::reset(store::StoreLocation store, std::string tray) {
  store_ = std::move(store);
  tray_ = std::move(tray);
  clear();
}

void RecordCache::clear() {
  blocks_.clear();
  age_.clear();
}

const std::vector<store::IndexRecord>& RecordCache::block(std::uint32_t number) {
  if (const auto found = blocks_.find(number); found != blocks_.end()) return found->second;
  if (age_.size() >= kBlocksKept) {
    blocks_.erase(age_.front());
    age_.pop_front();
  }
  std::vector<store::IndexRecord> records;
  records.reserve(kBlock);
  if (auto reader = store::TrayReader::open(store_, tray_)) {
    reader->seek(number * kBlock);
    store::TrayRecord row;
    while (records.size() < kBlock && reader->next(row) != store::ReadResult::End) records.push_back(row.record);
  }
  age_.push_back(number);
  return blocks_.emplace(number, std::move(records)).first->second;
}

const store::IndexRecord& RecordCache::record(std::uint32_t index) {
  const auto& records = block(index / kBlock);
  const std::uint32_t at = index % kBlock;
  return at < records.size() ? records[at] : empty_;
}

}  // namespace zorvik::view
