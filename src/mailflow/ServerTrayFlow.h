/// \file
/// What the user does on the server through the mail-server tray, each as
/// one POP3 connection of its own under the store's lock (43030 while a
/// receive runs), run on the calling thread:
///  - list(): every server mail's header goes into the mail-server tray
///    (the header receive) and the counters come back (the periodic check
///    asks no more than that); with clean-up, every mail received before is
///    then deleted on the server;
///  - fetchSelected(): the mails whose copies are selected in the tray are
///    received into the new-mail tray, kept on the server, and sorted as
///    after a receive;
///  - deleteSelected(): the selected mails are deleted on the server, but a
///    mail not yet received only when item 813 allows it.
/// A selected copy is matched to the server mail that the listing linked to
/// it (by UIDL, or by header and ordinal); a copy whose mail is no longer on
/// the server is skipped.
///
/// A stop request ends the walk over the mails (the selection, or the
/// clean-up's deletions) before the next mail: what was done is kept, the
/// mails received are stored, and the connection quits as usual.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "mailflow/FrontEnd.h"
#include "mailflow/WorkFileIntake.h"
#include "net/PopNotification.h"
#include "net/PopSession.h"
#include "sorting/SortApplier.h"

namespace zorvik::mailflow {

class Document;

struct ServerCounters {
  int serverCount = 0;      // mails on the server
  int alreadyReceived = 0;  // received before
  int unread = 0;           // copies in the tray not yet received
  int newCount = 0;         // mails the tray did not know
  int deleted = 0;          // received mails deleted by a clean-up
};

struct SelectionOutcome {
  int selected = 0;  // indices given
  int matched = 0;   // of them, found on the server
  int done = 0;      // received or deleted
  std::optional<Intake> stored;  // fetchSelected: what went into the new-mail tray
  std::optional<sorting::SortOutcome> sorted;
  bool ok = false;   // the connection ended normally and everything was stored
};

class ServerTrayFlow {
public:
  /// Both must outlive this.
  ServerTrayFlow(const Document& document, FrontEnd& front);

  /// Logs in, lists every header into the mail-server tray, with
  /// `cleanUp` deletes the mails received before, and quits.
  std::optional<ServerCounters> list(bool cleanUp = false);
  std::optional<SelectionOutcome> fetchSelected(const std::vector<std::uint32_t>& trayIndices);
  std::optional<SelectionOutcome> deleteSelected(const std::vector<std::uint32_t>& trayIndices);

  /// The counters of a session that has just listed.
  static ServerCounters countersOf(const net::PopSession& session);

private:
  struct Connection;

  /// Starts a session and lists; the connection, or empty when it failed.
  bool open(Connection& connection);
  bool quit(Connection& connection);
  static int entryOf(const net::PopSession& session, std::uint32_t trayIndex);

  const Document& document_;
  FrontEnd& front_;
};

}  // namespace zorvik::mailflow
