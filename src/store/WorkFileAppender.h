/// \file
/// Moves the mails of a text of mails (the new-mail work file that the POP3
/// receiver fills) to the end of a tray: each mail's lines are decoded to
/// Shift_JIS as they are copied (HeaderReader), its header is parsed into a
/// record, and the record goes into the tray's index. The caller may drop
/// mails by a filter and learn the recipients of the user's own mails.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "message/MailRecord.h"
#include "message/MailRecordParser.h"
#include "store/TrayFile.h"

namespace zorvik::store {

struct WorkFileResult {
  std::uint32_t firstIndex = 0;  // the index of the first mail appended
  std::uint32_t appended = 0;    // how many mails were appended
  bool fragment = false;         // one of them is a part of a split mail
};

class WorkFileAppender {
public:
  /// False drops the mail (it is not stored).
  using Filter = std::function<bool(const message::MailRecord&)>;
  /// Called for every stored mail sent by the user, to add its recipients
  /// to the tray's send groups.
  using Learner = std::function<void(const message::MailRecord&)>;

  /// Appends every mail of the text file at `workFilePath` to `tray`.
  /// `identity` is the user's address when it is not the settings' own.
  /// The work file is deleted only when every mail has been stored and
  /// forced to the disk. A mail that cannot be stored, or a failed write,
  /// takes back what was appended: the tray is left as it was and the work
  /// file whole, so the next try stores each mail once. Empty when the work
  /// file or the tray cannot be opened or written.
  static std::optional<WorkFileResult> append(std::string_view workFilePath, const TrayFile& tray,
                                              const message::MailRecordParser& parser,
                                              const Filter& filter = {}, const Learner& learn = {},
                                              std::string_view identity = {});
};

}  // namespace zorvik::store
