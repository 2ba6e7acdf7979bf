/// \file
/// Rebuilds a tray's index from its text file ("再生成" of the tray property
/// sheet), for an index that was lost or damaged. The mails of the text file
/// go through the same path as the new-mail work file (WorkFileAppender):
/// each header parsed again into a record, deleted mails (their separator
/// overwritten by the deletion marker) left out.
///
/// What the text cannot say is taken from the old index where it can still
/// be read: the properties (else those a new tray of the cabinet inherits),
/// and for each mail whose record is found at its text start the opened and
/// replied bits, the mark, the reference count and the date (a mail without
/// a Date line was dated when it was stored); the tray's link records
/// are appended after the mails. Mails keep their order; a referenced mail
/// whose record number changed is returned, so the links elsewhere can
/// follow it (LinkMaintenance).
///
/// The new tray is written in the work folder and put in place the way a
/// compaction does (".XMC" over ".XM1", then ".XMD" over ".XM0"), so a
/// process killed at any moment leaves the old tray or the new one. The old
/// text file stays locked throughout.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "message/MailRecordParser.h"
#include "store/TrayName.h"

namespace zorvik::store {

struct RebuildResult {
  std::uint32_t mails = 0;  // mails in the new index
  /// Referenced mails whose record number changed: old index to new.
  std::map<std::uint32_t, std::uint32_t> moved;
};

class TrayRebuild {
public:
  /// `workFolder` holds the new tray while it is written.
  TrayRebuild(StoreLocation store, const message::MailRecordParser& parser, std::string workFolder)
      : store_(std::move(store)), parser_(parser), workFolder_(std::move(workFolder)) {}

  /// Empty when the tray has no text file or a file could not be written;
  /// the tray is then as it was.
  std::optional<RebuildResult> rebuild(std::string_view name) const;

private:
  StoreLocation store_;
  const message::MailRecordParser& parser_;
  std::string workFolder_;
};

}  // namespace zorvik::store
