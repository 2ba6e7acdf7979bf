/// \file
/// The index records of one tray, read when a view first asks for them:
/// the mail list keeps only what it orders and draws by (flags, date, line
/// count, thread keys) for every mail and reads the texts (sender, address,
/// subject) of the rows on screen. Records are read in blocks of 256
/// neighbours (a screen of rows is one read) and the most recent 64 blocks
/// are kept; links come back as the records of their mails, a link whose
/// mail is gone as its own record.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

#include "store/IndexRecord.h"
#include "store/StoreLocation.h"

namespace zorvik::view {

class RecordCache {
public:
  static constexpr std::uint32_t kBlock = 256;
  static constexpr std::size_t kBlocksKept = 64;

  void reset(store::StoreLocation store, std::string tray);
  void clear();

  /// Record `index` of the tray; an empty record when it cannot be read.
  const store::IndexRecord& record(std::uint32_t index);

private:
  const std::vector<store::IndexRecord>& block(std::uint32_t number);

  store::StoreLocation store_;
  std::string tray_;
  std::unordered_map<std::uint32_t, std::vector<store::IndexRecord>> blocks_;
  std::deque<std::uint32_t> age_;  // oldest first
  store::IndexRecord empty_;
};

}  // namespace zorvik::view
