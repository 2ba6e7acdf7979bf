/// \file
/// The header block that a mail composed in Zorvik gets when it is stored in
/// a tray (the unsent or drafts tray): From, Subject, the address lines,
/// Date, Message-Id and the rest in a fixed order, then Zorvik's own
/// "Zorvik: " and "KRDX: " lines. The store writes the lines and the draft's
/// body after them (store/MailRecordIndex.h).
#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "message/MailLines.h"
#include "message/MailRecord.h"
#include "message/MailRecordParser.h"

namespace zorvik::core {
class SettingsFile;
}

namespace zorvik::message {

/// What writing needs from the personal settings.
struct ComposeSettings {
  std::string userName;      // item 501
  std::string userAddress;   // item 502
  std::string organization;  // item 504
  bool fullWidthKana = false;  // item 505: half-width katakana written full width
  int zoneHours = 9;
  std::time_t now = 0;  // the date of a mail that has none

  static ComposeSettings fromSettings(const core::SettingsFile& settings, std::time_t now);
};

class ComposedHeaderWriter {
public:
  /// The separator "From " and the header lines of `record`, in order:
  /// From (the user's own when empty), Subject, To, Cc, Bcc (address lines
  /// normalised to "\"name\" <address>" and joined with ","), Date,
  /// Message-Id (a new counted id), Reply-To, References, In-Reply-To,
  /// Organization, "Content-Type: multipart" for a mail with attachments,
  /// "Zorvik: 100,...", "KRDX: ". Empty values are left out (KRDX and the
  /// internal line excepted). Body lines are not added.
  ///
  /// `record` is brought in line with what is written: internal code 100,
  /// the new Message-Id and the own key made from it, the date used, the
  /// link and 0x10 bits cleared, sent-by-user set, the list values derived.
  static MailLines write(MailRecord& record, const ComposeSettings& settings, const MailRecordParser& parser);

  /// One To, Cc or Bcc value (one address a line) as written: each line
  /// holding a name and an <address> becomes "\"name\" <address>" (quotes
  /// added when missing); other lines stay; all joined with ",".
  static std::string normaliseAddressList(std::string_view list);
};

}  // namespace zorvik::message
