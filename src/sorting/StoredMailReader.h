/// \file
/// Reads the mails of a tray as sorting needs them: the record from the
/// index and the header parsed again from the tray text, so the rules see
/// From, To, Message-Id and the rest, not only what the 170-byte record
/// keeps. One reading session over the index and one opening of the text
/// file serve a whole range, so sorting ten thousand new mails costs about
/// as much as reading their headers once.
///
/// Only stored mails are returned: deleted records, link rows (their mail
/// lives in another tray) and, when asked, fragments of split mails are
/// passed over.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "message/MailRecord.h"
#include "message/MailRecordParser.h"
#include "store/IndexRecord.h"
#include "store/StoreLocation.h"

namespace zorvik::sorting {

class StoredMailReader {
public:
  /// Told of each mail read: its index and its complete record.
  using Visit = std::function<void(std::uint32_t index, const store::IndexRecord& stored, message::MailRecord& mail)>;

  StoredMailReader(const store::StoreLocation& store, const message::MailRecordParser& parser)
      : store_(store), parser_(parser) {}

  /// Reads records [first, first + count) of `tray` (fewer when the tray
  /// ends before). False when the tray cannot be read.
  bool read(const std::string& tray, std::uint32_t first, std::uint32_t count, bool skipFragments,
            const Visit& visit) const;

  /// What tells one stored mail from another when its place may have
  /// changed (compaction moves text and records; the user may open or mark
  /// the mail meanwhile, and a copy's line counts are counted anew): date,
  /// list columns, Subject and thread keys, never flags, offsets or counts.
  static std::string identity(const store::IndexRecord& record);

private:
  const store::StoreLocation& store_;
  const message::MailRecordParser& parser_;
};

}  // namespace zorvik::sorting
