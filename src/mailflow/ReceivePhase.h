/// \file
/// The receive half of a send/receive command. It owns nothing but its
/// plan: the POP3 session, the mail-server tray and the work-file sink are
/// given to it, so a send/receive driver (or a check that found new mail)
/// can hand it a session that is already logged in.
///
/// The plan, mail by mail in server order:
///  - the listing mode: no headers at all when the mail-server tray is
///    empty and every fetched mail is deleted anyway (item 807 on, no size
///    limit, item 816 off); UIDL-fast with UIDL; otherwise every header;
///  - a mail over the size limit (item 806, kilobytes) is fetched as its
///    header only, stored with a notice, and never deleted;
///  - with item 807 every other mail goes on the delete list, unless item
///    816 is on and its copy was once received without all attachments;
///    a mail received now without all attachments leaves the list again;
///  - the mails are fetched in one go (fetchMany: no wait for this thread
///    between them, RETR pipelined when the server allows it);
///  - the deletions follow once every mail is fetched.
///
/// No mail is lost on the way: the session makes the work file durable
/// before its first DELE, and the mails fetched are marked as received in
/// the mail-server tray only after the work file holding them is durable
/// too; a crash before that makes the next receive fetch them again, which
/// gives a second copy, never none. A work file that cannot be written (a
/// full disk) keeps the mails written before; the rest stay on the server.
///
/// Everything runs on the owner's thread: the session's notifications are
/// queued by events() and handled by processEvents() or run().
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/Messages.h"
#include "core/Progress.h"
#include "net/PopSession.h"
#include "net/PopSettings.h"
#include "net/ReceiveEventQueue.h"
#include "mailflow/StopRequest.h"
#include "mailflow/StoreMailServerTray.h"
#include "mailflow/WorkFileSink.h"

namespace zorvik::core {
class SettingsFile;
}

namespace zorvik::mailflow {

struct ReceiveSettings {
  net::PopSettings pop;
  bool deleteFromServer = false;   // item 807
  int maxSizeKilobytes = 0;        // item 806; 0 or less: no limit
  bool keepIncompleteOnServer = false;  // item 816

  static ReceiveSettings fromSettings(const core::SettingsFile& settings);
};

struct ReceiveResult {
  int received = 0;         // mails appended to the work file
  int deleted = 0;          // mails deleted on the server
  int serverCount = 0;      // mails on the server
  int alreadyReceived = 0;  // of them, received before
  int waiting = 0;          // of them, new or not yet received
  bool failed = false;      // the session ended by an error or by the user
  bool diskFull = false;    // the work file could not be written (message 43040 shown)
};

class ReceivePhase {
public:
  /// Every reference must outlive the phase.
  ReceivePhase(net::PopSession& session, StoreMailServerTray& tray, WorkFileSink& sink, core::Messages& messages,
               ReceiveSettings settings, core::Progress& progress);

  /// Where the session's notifications go; give it to net::PopSession::start or
  /// setOwner.
  net::ReceiveEventQueue& events() { return events_; }

  /// Starts the session with the account; false (and nothing started) when
  /// a POP3 connection is busy.
  bool start();
  /// Continues on a session that is logged in and has just finished a
  /// listing (a check found new mail): the plan starts at once.
  void takeOverListed();
  /// Handles every queued notification; true once the phase has ended.
  bool processEvents();
  /// start() and then handles notifications until the end, showing the
  /// worker's boxes meanwhile. `stop`, when given, is watched: a request
  /// ends the phase after the mail in hand, an insisting one at once.
  ReceiveResult run(const StopRequest* stop = nullptr);
  /// Handles notifications until the end (after start() or
  /// takeOverListed()), watching `stop` as run() does.
  ReceiveResult finish(const StopRequest* stop = nullptr);
  /// Fetches no further mail: the mails received are stored, deleted on
  /// the server as the settings say, and the session quits.
  void stopAfterCurrentMail();
  /// The user cancelled: the session gives up within a second.
  void abort() { session_.requestAbort(); }

  bool finished() const { return finished_; }
  const ReceiveResult& result() const { return result_; }

private:
  void handle(net::PopNotification code, long value);
  void chooseListing();
  void showCounters();
  void showProgress(long currentOctets);
  void startFetching();
  void mailReceived(int index);
  void fetchesEnded();
  void startDeleting();
  void deleted();
  void commitReceived();
  void end(bool failed);
  bool oversize(const net::ServerMailEntry& entry) const;

  net::PopSession& session_;
  StoreMailServerTray& tray_;
  WorkFileSink& sink_;
  core::Messages& messages_;
  ReceiveSettings settings_;
  core::Progress& progress_;
  net::ReceiveEventQueue events_;

  std::vector<int> deleteList_;
  std::size_t nextDelete_ = 0;
  std::vector<int> uncommitted_;  // received, not yet marked in the mail-server tray
  std::size_t committed_ = 0;     // received and marked
  int mailsBefore_ = 0;           // the work file's mails when the phase began
  int current_ = -1;
  long long totalToFetch_ = 0;
  long long fetchedSoFar_ = 0;
  int lastPercent_ = -1;
  bool stopping_ = false;
  bool finished_ = false;
  ReceiveResult result_;
};

}  // namespace zorvik::mailflow
