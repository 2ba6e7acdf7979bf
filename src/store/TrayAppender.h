/// \file
/// An append session: adds mails (text and record) or bare records to the
/// end of one tray while holding both of its files exclusively. Text and
/// records are gathered in memory and written in large blocks, the text
/// always before the records that point into it, so a reader never meets a
/// record whose text is not on disk yet. Receiving or copying a batch of
/// mails therefore opens the files once, not once per mail; the files are
/// closed when the session ends.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/FileLock.h"
#include "store/IndexRecord.h"
#include "store/MailText.h"
#include "store/TrayIndex.h"
#include "store/TrayName.h"

namespace zorvik::store {

class TrayAppender {
public:
  /// Opens tray `name` for appending. Empty when the tray does not exist, a
  /// file is held by another operation past the retries, or the store's
  /// write check refuses.
  static std::optional<TrayAppender> open(const StoreLocation& store, std::string_view name);

  /// The moved-from session is ended: it owns no file and writes nothing.
  TrayAppender(TrayAppender&& other) noexcept;
  TrayAppender& operator=(TrayAppender&& other) noexcept;
  /// Writes what is still gathered (see finish()).
  ~TrayAppender();

  /// Appends a mail: its separator line becomes the record's text start, the
  /// position after the empty line its body start; the line counts are
  /// counted here. Returns the new record's index; empty when the text would
  /// lie beyond the 4 GB that a record's offsets can address, or a line
  /// holds a line break, or the separator does not begin with "From ".
  std::optional<std::uint32_t> appendMail(const MailText& mail, IndexRecord record);
  /// Appends a record as it is (a link, or a record whose text is already
  /// in the tray).
  std::optional<std::uint32_t> appendRecord(const IndexRecord& record);

  /// Writes everything gathered; false when a write failed. The records
  /// counted as appended are then not all on disk.
  bool flush();
  /// flush() and the end of the session.
  bool finish();
  /// flush(), then both files forced to the disk (text before index), so
  /// what the session appended survives a power cut: for a caller that
  /// deletes the source of the mails next. False when a write or sync failed.
  bool sync();
  /// Ends the session taking back everything it appended, written or not:
  /// the index and then the text are cut back to their lengths at open. For
  /// a caller whose batch failed part way and that keeps its source to try
  /// again, which would otherwise store the first mails twice. False when a
  /// cut failed or the session had ended.
  bool abandon();

  /// The index the next record gets.
  std::uint32_t nextIndex() const { return nextIndex_; }

private:
  TrayAppender(TrayIndex index, platform::FileLock text, std::uint64_t textEnd);
  bool mayGrow(std::size_t bytes) const;

  std::optional<TrayIndex> index_;
  std::optional<platform::FileLock> text_;
  std::uint64_t textBegin_;     // end of the text at open
  std::uint32_t firstIndex_;    // the record count at open
  std::uint64_t textEnd_;       // end of the text, what is gathered included
  std::uint64_t textWritten_;   // end of the text on disk
  std::uint32_t nextIndex_;
  std::string textBuffer_;
  std::string indexBuffer_;
  bool failed_ = false;
};

}  // namespace zorvik::store
