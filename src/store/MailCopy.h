/// \file
/// The stored text of one mail taken out of its tray so that it can be
/// written into another: the separator line, the header lines and the body
/// lines, read by the record's offsets and counts. A mail with attachments
/// names its folder in its "X-Zorvik-AttachDir: " line; a copy that is to
/// own its attachments gets a new folder in the destination's attachment
/// root with the files copied, and the line names that folder.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/FileLock.h"
#include "store/TrayAppender.h"
#include "store/TrayName.h"
#include "store/TrayRecord.h"

namespace zorvik::store {

class MailCopy {
public:
  /// The zone used to name new attachment folders when the caller has none.
  static constexpr int kDefaultZoneHours = 9;

  /// A reader of mails. The text file last read stays open (under its
  /// shared lock) until the object goes or another tray's mail is read, so
  /// a batch of mails of one tray costs one opening and about one read
  /// each of just the mail's bytes.
  explicit MailCopy(StoreLocation store) : store_(std::move(store)) {}

  /// The text of the mail `stored` read from tray `trayName` (for a link,
  /// from the tray it points at). Empty when the text cannot be read or
  /// does not begin with a separator line where the record says.
  std::optional<MailText> read(std::string_view trayName, const TrayRecord& stored);

  /// Gives `mail` (read from tray `from`) its own attachment folder in the
  /// attachment root of tray `to`: a new folder named after `date`, the
  /// files copied, the folder line rewritten. A mail without a folder line
  /// takes the folder named by its Message-Id (stored before folders were
  /// named), and its copy gets a folder line. A mail without either folder,
  /// or whose folder is gone, is left as it is. False when the folder or a
  /// file could not be made.
  static bool copyAttachments(const StoreLocation& store, MailText& mail, std::string_view from, std::string_view to,
                              std::int64_t date, int zoneHours = kDefaultZoneHours);

  /// The folder named in the header of `mail`, if any.
  static std::optional<std::string> folderOf(const MailText& mail);

private:
  /// The bytes [offset, offset + size) of the open text file, fewer at its end.
  bool readBytes(std::uint64_t offset, std::size_t size, std::string& out) const;

  StoreLocation store_;
  std::string path_;
  std::optional<platform::FileLock> file_;
};

}  // namespace zorvik::store
