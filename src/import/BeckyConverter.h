/// \file
/// Converts a Becky! Internet Mail mailbox straight into the text a tray
/// stores, line by line, copying each mail's attachments from the "Attach"
/// folder into an attachment folder of the store:
///
///  - between mails, a line beginning with "From:" starts a mail (anything
///    else there is passed over);
///  - in the header, lines are kept as they are, the Date value is noted,
///    and each "X-Becky-Attachment-File:" line is not kept: the file it
///    names is copied into the mail's attachment folder and a reference
///    line `@#MIME "%:name"` is held back for the end of the mail. The
///    empty line that ends the header is preceded by the line
///    "X-Zorvik-AttachDir: <folder>" when the mail has attachments;
///  - in the body, lines are kept, those beginning with "From " with a
///    leading ">" (they would start a mail of the tray; so would such a
///    stray line in the header, which gets one too);
///  - the line "." alone ends the mail (so does the end of the file); the
///    held reference lines follow its body.
///
/// A mail's folder is made in the attachment root, named by its date.
/// Without an "Attach" folder the attachment lines stay as plain header
/// lines. A file that cannot be copied (missing, or named with a path that
/// would leave the "Attach" folder) shows 43003 and the mail keeps none of
/// its attachments: its folder is removed and no reference line is written.
/// Mails the period leaves out are passed over whole, copying nothing.
#pragma once

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Messages.h"
#include "import/MailHandler.h"

namespace zorvik::import {

struct BeckySettings {
  /// The "Attach" folder; empty: attachments are not converted.
  std::optional<std::string> attachFolder;
  /// Where the mails' attachment folders are made.
  std::string attachmentRoot;
  /// The user's zone, for dating the folders.
  int zoneHours = 9;
  /// Whether a mail of this date (none when it has no readable Date) is
  /// taken; empty takes every mail.
  std::function<bool(std::optional<std::time_t>)> admits;
};

class BeckyConverter {
public:
  /// The stored text of each mail goes to `each` (CR LF line ends, from
  /// the separator line "From  " on).
  BeckyConverter(BeckySettings settings, core::Messages& messages, MailHandler each);

  /// Takes one line of the mailbox, without its line end; false when the
  /// handler asked to stop.
  bool line(std::string_view line);
  /// Ends a mail the file left open; false when the handler asked to stop.
  bool finish();
  /// The attachment files copied so far.
  std::size_t copiedFiles() const { return copied_; }

  /// Converts the mailbox file at `path`.
  static ReadEnd convertFile(std::string_view path, BeckySettings settings, core::Messages& messages,
                             const MailHandler& each);

  /// The folder named "Attach" in the mailbox's folder or the nearest one
  /// above it.
  static std::optional<std::string> findAttachFolder(std::string_view mailbox);

private:
  enum class State { Between, Header, Body };

  void startMail(std::string_view line);
  void headerLine(std::string_view line);
  void endHeader();
  bool endMail();
  bool copyAttachments(const std::string& folder);
  void append(std::string_view line);

  BeckySettings settings_;
  core::Messages& messages_;
  MailHandler each_;
  State state_ = State::Between;
  std::string text_;                      // the mail being converted
  std::vector<std::string> attachments_;  // names from the header
  std::vector<std::string> references_;   // reference lines for the end
  std::optional<std::time_t> date_;
  bool admitted_ = true;
  std::size_t copied_ = 0;
};

}  // namespace zorvik::import
