/// \file
/// The user's receive: the mails of the POP3 server into the new-mail tray,
/// sorted by the trays' rules when the settings ask for it.
///
///  1. the store's lock (43030 when another receive runs) and room on the
///     disk for the work file (44101);
///  2. a work file left by an interrupted receive is moved in first;
///  3. the receive phase fetches into the new-mail work file, deleting on
///     the server as the settings say; a stop request ends it after the
///     mail in hand, an insisting one at once;
///  4. the work file's mails go into the new-mail tray and split mails are
///     joined (44112 keeps the work file for the next start when that
///     fails);
///  5. the mails stored are sorted (item 707).
/// Mails received before an error, a stop or a full disk are stored all
/// the same.
///
/// A check that found new mail on its own connection hands it over
/// (continueListed); the receive then goes on without logging in again.
#pragma once

#include <optional>
#include <vector>

#include "mailflow/FrontEnd.h"
#include "mailflow/ReceivePhase.h"
#include "mailflow/StoreMailServerTray.h"
#include "mailflow/WorkFileIntake.h"
#include "mailflow/WorkFileSink.h"
#include "message/DecodeWarning.h"
#include "net/PopSession.h"
#include "sorting/SortApplier.h"

namespace zorvik::mailflow {

class Document;

struct ReceiveReport {
  ReceiveResult phase;
  /// What went into the new-mail tray; empty when nothing was moved.
  std::optional<Intake> stored;
  /// The sorting of the stored mails, when it ran.
  std::optional<sorting::SortOutcome> sorted;
  /// The decoding warnings of the stored mails, for the front end to show
  /// (see WorkFileSink::warnings()).
  std::vector<message::DecodeWarning> warnings;
  /// Everything went as it should: no error, no full disk, nothing left.
  bool ok = false;
};

class ReceiveFlow {
public:
  /// Both must outlive the flow.
  ReceiveFlow(const Document& document, FrontEnd& front);

  /// Steps 1-5.
  static ReceiveReport run(const Document& document, FrontEnd& front);

  /// Steps 2-5, for a caller that holds the store's lock (a send/receive).
  ReceiveReport receive();
  /// Steps 3-5 on this flow's session, which a check started with events()
  /// as its owner and which has just finished listing.
  ReceiveReport continueListed();
  /// Logs in and quits without receiving: POP-before-SMTP for a send
  /// alone. False when the login failed (its message has been shown).
  bool logIn();

  net::PopSession& session() { return session_; }
  net::ReceiveEventQueue& events() { return phase_.events(); }

private:
  ReceiveReport finish(ReceiveResult result);

  const Document& document_;
  FrontEnd& front_;
  StoreMailServerTray tray_;
  WorkFileSink sink_;
  net::PopSession session_;
  ReceivePhase phase_;
};

}  // namespace zorvik::mailflow
