/// \file
/// Delivers raw mails (files as a POP3 server would send them, LF or CR LF
/// line ends) the way a receive stores what it fetches: each mail is
/// MIME-decoded into the new-mail work file by the receive's own sink, then
/// the work file is moved into a tray and split mails are joined, exactly
/// as after a receive.
///
/// Edge cases:
///  - a work file still holding mails of an earlier receive stops the
///    delivery with message 44110, as a receive stops; appending to it
///    would move those older mails into the chosen tray;
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

#include "core/Messages.h"
#include "message/DecodeWarning.h"
#include "store/WorkFileAppender.h"

namespace zorvik::core {
class SettingsFile;
}

namespace zorvik::net {

struct DeliveryOutcome {
  /// What went into the tray; empty when nothing was moved.
  std::optional<store::WorkFileResult> stored;
  /// The files that could not be read (no message is shown for them).
  std::vector<std::string> unreadable;
  /// The decoding warnings of the stored mails, for the caller to show
  /// (see WorkFileSink::warnings()).
  std::vector<message::DecodeWarning> warnings;
  /// Every file was stored.
  bool ok = false;
};

class MailDelivery {
public:
  /// `settings` with its paths resolved; both must outlive the delivery.
  MailDelivery(const core::SettingsFile& settings, core::Messages& messages);

  /// Delivers `files` (paths as the file system takes them) into `trayName`,
  /// a tray of the store; the new-mail tray when it is empty. Empty when
  /// nothing was delivered: the tray does not exist (no message: the caller
  /// named it) or the work file holds an earlier receive's mails (44110).
  std::optional<DeliveryOutcome> deliver(const std::vector<std::string>& files, std::string trayName) const;

private:
  const core::SettingsFile& settings_;
  core::Messages& messages_;
};

}  // namespace zorvik::net
