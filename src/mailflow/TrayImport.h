/// \file
/// One mailbox of another mail program into one tray: the driver of an
/// import. The caller holds the store's lock.
///
///  1. a tray that holds mail is emptied only after question 40688 (no
///     leaves it as it is and imports nothing);
///  2. the source is read by its kind: Becky! straight into tray text,
///     attachments copied; every other kind through the receive's MIME
///     decoding (WorkFileSink), so an imported mail is stored exactly as a
///     received one. Both write a work file of the import's own in the work
///     directory, never the new-mail work file (a leftover of an import
///     must not be taken for received mail at the next start);
///  3. the work file's mails are appended to the tray, each with its index
///     record built from its text (WorkFileAppender).
///
/// Failures show their message and end the file's import: 40682 (a UNIX
/// mailbox that cannot be read), 40683 (MS Internet Mail, Maildir, ".eml"),
/// 40684 (AL-Mail), 44221 (not a mailbox of its kind, or damaged part way),
/// 40690 (MIME decoding failed), 43040 (the disk is full). The mails read
/// before a failure or a stop request are stored all the same; a mail is
/// never stored in part.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "import/BeckyConverter.h"
#include "import/MailerKind.h"
#include "mailflow/FrontEnd.h"
#include "store/BackupPeriod.h"

namespace zorvik::mailflow {

class Document;

/// What the import of one file did.
struct ImportedFile {
  std::string source;
  std::string tray;
  std::uint32_t firstIndex = 0;  ///< the tray's index of the first mail stored
  std::uint32_t stored = 0;      ///< mails stored
  std::size_t leftOut = 0;       ///< mails the period left out
  std::size_t skipped = 0;       ///< mail files that could not be read
  bool declined = false;         ///< the user kept the tray's mails (40688)
  bool ok = false;               ///< read to its end and stored
};

class TrayImport {
public:
  /// `attachFolder` is the Becky! "Attach" folder (empty: attachments are
  /// not converted); all must outlive this.
  TrayImport(const Document& document, FrontEnd& front, import::MailerKind kind, const store::DateLimit& period,
             const std::optional<std::string>& attachFolder);

  /// Imports `source` into the existing tray `tray`.
  ImportedFile run(const std::string& source, const std::string& tray);

private:
  /// Reads the source into the work file; false after a failure message.
  bool readBecky(ImportedFile& file, const std::string& workFile);
  bool readDecoded(ImportedFile& file, const std::string& workFile);
  bool storeWorkFile(ImportedFile& file, const std::string& workFile) const;
  /// Counts a mail for the progress line; false when the user asked to stop.
  bool nextMail(const ImportedFile& file);

  const Document& document_;
  FrontEnd& front_;
  import::MailerKind kind_;
  const store::DateLimit& period_;
  const std::optional<std::string>& attachFolder_;
  int zoneHours_;
  std::size_t read_ = 0;  // mails of the file read so far, for the progress line
};

}  // namespace zorvik::mailflow
