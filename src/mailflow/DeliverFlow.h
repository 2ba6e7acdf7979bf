/// \file
/// Delivers raw mails (files as a POP3 server would send them, LF or CR LF
/// line ends) the way a receive stores what it fetches: each mail is
/// MIME-decoded into the new-mail work file by the receive's own sink, the
/// work file is moved into a tray, split mails are joined and, when the
/// tray is the new-mail tray, the mails are sorted as after a receive.
///
/// Edge cases:
///  - the store's lock is taken as by a receive (43030 while one runs): the
///    work file is shared;
///  - a work file left by an interrupted receive is moved first, into the
///    new-mail tray where it belongs;
///  - a file that cannot be read or decoded is left out (its saved
///    attachments are removed) and the others are stored all the same;
///  - a full disk stops the delivery (message 43040); the mails written
///    before it are still moved;
///  - when the move fails (message 44112) the work file stays where the
///    start-up recovery looks for it, so the mails are not lost.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "mailflow/FrontEnd.h"
#include "mailflow/WorkFileIntake.h"
#include "message/DecodeWarning.h"
#include "sorting/SortApplier.h"

namespace zorvik::mailflow {

class Document;

struct DeliveryReport {
  /// What went into the tray; empty when nothing was moved.
  std::optional<Intake> stored;
  std::optional<sorting::SortOutcome> sorted;
  /// The files that could not be read (no message is shown for them).
  std::vector<std::string> unreadable;
  /// The decoding warnings of the stored mails, for the front end to show.
  std::vector<message::DecodeWarning> warnings;
  /// Every file was stored.
  bool ok = false;
};

class DeliverFlow {
public:
  /// Delivers `files` (paths as the file system takes them) into `tray`,
  /// the new-mail tray when empty. Empty when nothing was delivered: the
  /// tray does not exist (no message: the caller named it), or the store
  /// is busy or its work file cannot be cleared (their messages shown).
  static std::optional<DeliveryReport> run(const Document& document, FrontEnd& front,
                                           const std::vector<std::string>& files, std::string tray);
};

}  // namespace zorvik::mailflow
