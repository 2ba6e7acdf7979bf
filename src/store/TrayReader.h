/// \file
/// A reading session over one tray's index: the list, the sorting and the
/// search walk every record with it. The index is read in blocks of about
/// 128 KB, so walking 100,000 records costs about 130 reads and no
/// allocation per record. The shared lock is held until the session
/// ends: at the last record, or when the object goes.
///
/// Links are followed into their target trays; the target index last used
/// stays open for the session, since the links of one tray usually point
/// into a few trays.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "store/TrayIndex.h"
#include "store/TrayName.h"
#include "store/TrayRecord.h"

namespace zorvik::store {

class TrayReader {
public:
  /// Opens tray `name` for reading; empty when it is not a readable tray.
  static std::optional<TrayReader> open(const StoreLocation& store, std::string_view name);

  std::uint32_t recordCount() const { return index_ ? index_->recordCount() : 0; }

  /// Record `index`, links followed; the session continues after it.
  ReadResult read(std::uint32_t index, TrayRecord& out);
  /// The record at the current position.
  ReadResult next(TrayRecord& out);
  /// The next live record, skipping deleted ones and broken links.
  ReadResult nextMail(TrayRecord& out);
  /// Where next() continues.
  void seek(std::uint32_t index) { position_ = index; }

  /// Follows the link record `link` (of tray index `index`) into `out`.
  ReadResult follow(const IndexRecord& link, TrayRecord& out);

private:
  TrayReader(StoreLocation store, TrayIndex index) : store_(std::move(store)), index_(std::move(index)) {}
  // The raw record `index` from the block buffer, refilled from `index`
  // on with up to `readAhead` records when it is not there.
  const char* rawRecord(std::uint32_t index, std::uint32_t readAhead);
  ReadResult interpret(std::uint32_t index, const char* bytes, TrayRecord& out);
  void end();

  StoreLocation store_;
  std::optional<TrayIndex> index_;
  std::uint32_t position_ = 0;
  std::string block_;
  std::uint32_t blockFirst_ = 0;
  std::uint32_t blockCount_ = 0;
  std::string targetPath_;
  std::optional<TrayIndex> target_;
};

}  // namespace zorvik::store
