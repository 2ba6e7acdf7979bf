/// \file
/// What a POP3 session tells its owner, and the owner interface that hears
/// it. The desktop client posts each notification to its main window; the
/// command-line tool and the tests queue them.
#pragma once

namespace zorvik::net {

/// The codes are fixed numbers: the window message carries them as they are.
enum class PopNotification : int {
  LoggedIn = 1,         // login succeeded; the session is ready
  QuitFinished = 2,     // QUIT answered, connection closed
  CountersChanged = 7,  // the entry counters changed
  ListingFinished = 8,  // the listing is complete; the session is ready
  MailReceived = 9,     // one mail (RETR or TOP) received completely
  Progress = 10,        // octets of the current mail received so far
  Deleted = 11,         // one DELE succeeded
  Ended = 12,           // the session ended by an error or by the user
  FetchesEnded = 13,    // a fetchMany() is done; the session is ready
};

/// Receives the notifications of a session. Called on the session's worker
/// thread: an implementation must hand them to its own thread and return; it
/// must not call the session's operations from inside notify() (they wait for
/// the worker, which is the caller).
class PopOwner {
public:
  virtual ~PopOwner() = default;
  /// `value` is the octet count for Progress, the entry index for
  /// MailReceived, and 0 otherwise.
  virtual void notify(PopNotification code, long value) = 0;
};

}  // namespace zorvik::net
