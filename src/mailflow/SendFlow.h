/// \file
/// The user's send and send/receive, run to their end on the calling
/// thread over a poll loop of their own: the unsent tray to the SMTP
/// server, the sent mails placed into their trays (a line in the sorting
/// log for each one sorted into its own tray), and for a send/receive the
/// receive of ReceiveFlow before or after, as SessionDriver orders them.
/// POP-before-SMTP (item 817) holds for a send alone as well: it logs in to
/// the POP3 server first.
///
/// The store's lock is held throughout (40185 while another send runs), so
/// two sends never send the same unsent mail. A stop request ends the run
/// after the mail in hand; an insisting one drops the connection at once.
/// Either way every mail the server accepted is placed, and no other.
#pragma once

#include <cstddef>
#include <optional>

#include "mailflow/FrontEnd.h"
#include "mailflow/SessionDriver.h"

namespace zorvik::mailflow {

class Document;
class ReceiveFlow;

/// A run and what it left: the mails still waiting in the unsent tray
/// (also when the send phase never started, a POP-before-SMTP login having
/// failed).
struct SendReport {
  RunResult result;
  std::size_t unsentLeft = 0;
};

class SendFlow {
public:
  /// Runs `command`; empty when it could not start (the store is busy, a
  /// command already runs: the message has been shown).
  static std::optional<SendReport> run(const Document& document, FrontEnd& front, SessionDriver::Command command);

  /// A send/receive for a caller that holds the store's lock; `listed`,
  /// when given, is a receive whose session a check has logged in and
  /// listed: the run receives on it first.
  static std::optional<RunResult> runLocked(const Document& document, FrontEnd& front,
                                            SessionDriver::Command command, ReceiveFlow* listed = nullptr);

  /// The run counts as done: no mail is left unsent, and the receive (if
  /// any) did not fail.
  static bool succeeded(const SendReport& report);
};

}  // namespace zorvik::mailflow
