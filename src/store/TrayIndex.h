/// \file
/// An index file (".XM1") open for one operation: the head has been checked
/// and its length H is known, so record i lies at H + 170 i. The lock taken
/// at open lasts as long as the object. Writes keep the cached length up to
/// date, so the record count costs no system call.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/FileLock.h"
#include "store/IndexRecord.h"

namespace zorvik::store {

class TrayIndex {
public:
  /// Opens the index at `path` and checks its head; empty when the file
  /// cannot be opened, or its second word is not the format mark, or its
  /// head length is beyond the file. A compaction of the tray that was
  /// killed half way through its switch is finished first.
  static std::optional<TrayIndex> open(std::string_view path, platform::FileAccess access);

  std::uint32_t headLength() const { return headLength_; }
  /// (length - H) / 170: a partial record at the end does not count.
  std::uint32_t recordCount() const;
  /// The file position of record `index`.
  std::uint64_t positionOf(std::uint32_t index) const;

  /// The whole head (H bytes); empty on an I/O error.
  std::optional<std::string> readHead() const;
  /// Record `index`; empty beyond the last whole record.
  std::optional<IndexRecord> read(std::uint32_t index) const;
  /// Reads records [first, first + count) into `out` (count * 170 bytes);
  /// returns how many whole records were read.
  std::uint32_t readBlock(std::uint32_t first, std::uint32_t count, std::string& out) const;

  bool write(std::uint32_t index, const IndexRecord& record);
  bool writeFlags(std::uint32_t index, std::uint32_t flags);
  /// Writes `records` (whole records) at the append position, over a partial
  /// record left at the end; returns the index of the first.
  std::optional<std::uint32_t> appendBytes(std::string_view records);
  std::optional<std::uint32_t> append(const IndexRecord& record);
  /// Keeps the head and the first `count` records.
  bool keepRecords(std::uint32_t count);
  /// Whether any record lacks the deleted bit (a link whose target is only
  /// locked for a moment still counts as live); empty when the records
  /// cannot be read, so that nobody empties a tray on a guess.
  std::optional<bool> anyLive() const;
  /// Writes a word of the head in place.
  bool writeHeadWord(std::uint32_t offset, std::uint32_t value);

  const platform::FileLock& file() const { return file_; }

private:
  TrayIndex(platform::FileLock file, std::uint32_t headLength, std::uint64_t length)
      : file_(std::move(file)), headLength_(headLength), length_(length) {}

  platform::FileLock file_;
  std::uint32_t headLength_;
  std::uint64_t length_;
};

}  // namespace zorvik::store
