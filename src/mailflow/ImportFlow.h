/// \file
/// The import from other mail programs, as the tray and cabinet property
/// sheets start it ("他のﾒｰﾗより取得"): a mailbox into a tray, or a whole
/// folder of mailboxes into a cabinet, one tray per file. Each file goes
/// through TrayImport under the store's lock, which is taken as for a
/// delivery (43030 while a receive runs).
///
/// The dialog's checks come first: no kind 40689, a kind not implemented
/// its own message (40700, 40685-40687), no source 40680, a source that
/// does not exist 40681. The Becky! "Attach" folder is looked for once per
/// import; when there is none and the user picked none, 43002 says that
/// attachments stay as they are.
///
/// Into a cabinet, the chosen file stands for its folder and extension:
/// every file of that folder with the same extension (compared without
/// regard to case; names beginning with "." and folders passed over)
/// becomes the tray of its name without the extension, created when
/// missing. For a Maildir the chosen folder (when it is one) and every
/// Maildir folder in it become trays ("Maildir", and ".Sent" as "Sent"). A stop request ends the
/// import after the mail in hand; the mails stored so far stay.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/ImportPeriod.h"
#include "import/MailerKind.h"
#include "mailflow/FrontEnd.h"
#include "mailflow/TrayImport.h"

namespace zorvik::mailflow {

class Document;

struct ImportRequest {
  std::optional<import::MailerKind> kind;
  std::string source;  ///< the chosen file or folder (Shift_JIS)
  std::string tray;    ///< the tray to import into, or
  std::optional<std::string> cabinet;  ///< the cabinet whose trays the folder's files become
  int period = import::ImportPeriod::kAll;
  /// Becky!: the attachment folder the user picked, when none was found.
  std::optional<std::string> attachFolder;
};

struct ImportReport {
  std::vector<ImportedFile> files;
  bool ok = false;  ///< every file was read to its end and stored
};

class ImportFlow {
public:
  /// Runs `request`. Empty when nothing was imported: a check refused it
  /// (its message shown), the store is busy, the period is unknown, or the
  /// tray does not exist (no message: the caller named it).
  static std::optional<ImportReport> run(const Document& document, FrontEnd& front, const ImportRequest& request);

  /// The sources of a cabinet import and the tray name (without the
  /// cabinet) each one becomes, in the order of their names.
  struct Source {
    std::string path;
    std::string trayName;
  };
  static std::vector<Source> folderSources(import::MailerKind kind, std::string_view chosen);
};

}  // namespace zorvik::mailflow
