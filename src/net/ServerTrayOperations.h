/// \file
/// What the user does on the server through the mail-server tray, each as
/// one POP3 connection of its own, run on the calling thread:
///  - list(): every server mail's header goes into the mail-server tray
///    (the header receive) and the counters come back (the periodic check
///    asks no more than that); with clean-up, every mail received before is
///    then deleted on the server;
///  - fetchSelected(): the mails whose copies are selected in the tray are
///    received into the new-mail tray, kept on the server;
///  - deleteSelected(): the selected mails are deleted on the server, but a
///    mail not yet received only when item 813 allows it.
/// A selected copy is matched to the server mail that the listing linked to
/// it (by UIDL, or by header and ordinal); a copy whose mail is no longer on
/// the server is skipped.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/Messages.h"
#include "core/Progress.h"
#include "net/PopSession.h"
#include "net/ReceiveEventQueue.h"
#include "net/StoreMailServerTray.h"
#include "net/WorkFileSink.h"
#include "store/WorkFileAppender.h"

namespace zorvik::core {
class SettingsFile;
}

namespace zorvik::net {

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
  std::optional<store::WorkFileResult> stored;  // fetchSelected: what went into the new-mail tray
  bool ok = false;   // the connection ended normally and everything was stored
};

class ServerTrayOperations {
public:
  /// Item 813: unread mails may be deleted on the server.
  static constexpr int kDeleteUnreadItem = 813;

  /// `settings` with its paths resolved; everything must outlive this.
  ServerTrayOperations(const core::SettingsFile& settings, core::Messages& messages, core::Progress& progress);

  /// Logs in, lists every header into the mail-server tray, with
  /// `cleanUp` deletes the mails received before, and quits.
  std::optional<ServerCounters> list(bool cleanUp = false);
  std::optional<SelectionOutcome> fetchSelected(const std::vector<std::uint32_t>& trayIndices);
  std::optional<SelectionOutcome> deleteSelected(const std::vector<std::uint32_t>& trayIndices);

private:
  struct Connection;

  /// Starts a session and lists; the connection, or empty when it failed.
  bool open(Connection& connection);
  /// Waits for one of `codes` (Ended ends the wait too); the code that came.
  PopNotification await(Connection& connection, std::initializer_list<PopNotification> codes);
  bool quit(Connection& connection);
  static int entryOf(const PopSession& session, std::uint32_t trayIndex);
  static ServerCounters countersOf(const PopSession& session);

  const core::SettingsFile& settings_;
  core::Messages& messages_;
  core::Progress& progress_;
};

}  // namespace zorvik::net
