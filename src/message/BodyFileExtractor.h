/// \file
/// Takes the files out of a stored mail's text: uuencoded blocks and base64
/// parts that were stored as text (a MIME mail forwarded inline, an old
/// mail from another program) are decoded into the mail's attachment folder
/// and replaced by reference lines "@#MIME "%:name"".
///
/// The header is copied with every Content-Type line made "multipart/mixed"
/// (so the stored mail counts as one with attachments) and, when the mail
/// had no folder, a new folder's "X-Zorvik-AttachDir: " line added.
///
/// In the text:
///  - "begin NNN name" (three octal digits) starts a uuencoded file that
///    runs to the line beginning with "end"; a line that merely begins with
///    "begin" is text;
///  - "Content-Type:" and "Content-Disposition:" lines (with a continuation
///    line when they end with ";") are dropped; a quoted name="..." shorter
///    than 128 bytes in them names the next file (the type's name before the
///    disposition's file name);
///  - "Content-Transfer-Encoding: base64" (dropped too) makes the next empty
///    line start a base64 file that runs to the next line beginning with
///    "--"; a file without a name is called "Attach1", "Attach2", ...
///
/// Names come from mail text and are made safe (message::AttachmentName):
/// no file is ever written outside the folder.
#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "message/MailLines.h"

namespace zorvik::message {

struct ExtractionResult {
  MailLines mail;  ///< the rewritten mail
  std::vector<std::string> savedFiles;  ///< full paths, in the order of the text
  std::string createdFolder;  ///< the folder made for the mail (full path); empty when it had one
  bool uuencodeCut = false;   ///< the text ended inside a uuencoded file (kept as far as it went)
  bool base64Cut = false;     ///< the same for a base64 file
  std::string failedPath;     ///< a file that could not be created: the mail must stay as it was
};

class BodyFileExtractor {
public:
  /// Files go below `attachmentRoot` (the tray's); a new folder is named by
  /// the mail's Date in the zone `zoneHours` east of UTC (`now` when the
  /// mail has none that can be read).
  BodyFileExtractor(std::string attachmentRoot, int zoneHours, std::time_t now)
      : root_(std::move(attachmentRoot)), zoneHours_(zoneHours), now_(now) {}

  ExtractionResult extract(const MailLines& mail) const;

  /// True for a "begin NNN name" line.
  static bool isBeginLine(std::string_view line);

private:
  std::string root_;
  int zoneHours_;
  std::time_t now_;
};

}  // namespace zorvik::message
