/// \file
/// The POP3 client of the process: runs the dialogue (PopProtocol) over a
/// socket (PopConnection) on a worker thread of its own and tells an owner
/// what happened (PopNotification). The owner gives one command at a time,
/// each answered by a notification: start (LoggedIn), list (ListingFinished),
/// fetch (MailReceived), delete (Deleted), stop; any failure ends with Ended.
///
/// Threads: the operations are called on the owner's thread; the worker does
/// all network input and output and parsing. Commands are accepted only
/// while the worker waits for one (state Ready); the owner reads entries and
/// counters in that time too, that is after a notification that leaves the
/// session Ready. Messages shown by the worker wait for the owner to pump its
/// core::Messages; stop() pumps while it waits for the worker.
///
/// The sink gets the mails on a thread of its own (BackgroundSink), so the
/// worker reads on while a mail is decoded; before the owner hears that a
/// step ended (and may look at the sink) every mail has reached the sink.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/Messages.h"
#include "net/BackgroundSink.h"
#include "net/PopConnection.h"
#include "net/PopProtocol.h"
#include "net/PopSettings.h"
#include "net/PopTransport.h"

namespace zorvik::net {

class PopSession {
public:
  /// `transport` is the socket the session uses for all its connections
  /// (a PopSocket when null).
  PopSession(core::Messages& messages, MailServerTray& tray, ReceivedMailSink& sink,
             std::unique_ptr<PopTransport> transport = nullptr, PopLimits limits = {});
  /// Aborts a running session and waits for its worker.
  ~PopSession();
  PopSession(const PopSession&) = delete;
  PopSession& operator=(const PopSession&) = delete;

  /// Connects and logs in on a new worker thread; LoggedIn or Ended follows.
  /// False (nothing started) while another connection is busy.
  bool start(PopOwner& owner, const PopSettings& settings);
  /// Lists the server's mails in one of the three modes; ListingFinished
  /// follows. False unless Ready.
  bool listAll() { return list(ListMode::All); }
  bool listNoHeaders() { return list(ListMode::NoHeaders); }
  bool listUidlFast() { return list(ListMode::UidlFast); }
  /// RETR of entry `index` into a buffer reserved at its LIST size; the sink
  /// gets the mail, then MailReceived. False (message 41069, or 41071 when
  /// the memory cannot be had) unless Ready.
  bool fetch(int index);
  /// TOP of the header only, for a mail too large to fetch (41069 unless Ready).
  bool fetchHeaderOnly(int index);
  /// Fetches the entries of `orders` in order, without waiting for the
  /// owner between them (RETR pipelined when the server allows it; see
  /// PopProtocol::fetchMany): MailReceived for each (value: its entry
  /// index), then FetchesEnded. Until then no other command is taken.
  /// False (41069) unless Ready or when an index is not listed.
  bool fetchMany(std::vector<FetchOrder> orders);
  /// While fetchMany() runs: the mail in hand is finished, the rest is not
  /// fetched, and FetchesEnded follows. Any thread.
  void cancelFetches() { cancelFetches_ = true; }
  /// DELE of entry `index`; Deleted follows. False (41070) unless Ready.
  bool deleteMail(int index);
  /// Ends the session: QUIT (QuitFinished follows) or, with `abort` or
  /// before the login is done, just closing. A command under way is
  /// finished first unless aborting. Waits for the worker, pumping the
  /// owner's messages meanwhile.
  void stop(bool abort);
  /// The user cancelled: the worker gives up its current wait within a
  /// second and ends with Ended. Any thread.
  void requestAbort() { abort_ = true; }
  /// Replaces the owner while connected.
  void setOwner(PopOwner& owner);
  /// Called with "from <state> to <state>" on every change of state (on
  /// the worker thread); for logs.
  void setStateLog(std::function<void(std::string_view)> log) { stateLog_ = std::move(log); }

  /// The state of the session; anything but Idle means a connection is busy.
  PopState state() const { return static_cast<PopState>(state_.load()); }

  // Between notifications, while Ready:
  int count() const;
  const ServerMailEntry& entry(int index) const;
  const std::vector<ServerMailEntry>& entries() const;
  int newCount() const;
  int unreadCount() const;
  int receivedCount() const;
  bool hasUnsavedAttachment(int index) const;
  /// What the server announced to CAPA (asked only when the account says so).
  const std::vector<std::string>& capabilities() const;
  /// The connection's TLS (certificate, protocol) when it is encrypted.
  const TlsStream* tls() const;
  /// Why TLS failed, when the session ended for that.
  const std::optional<TlsFailure>& tlsFailure() const;
  /// The last RETR or TOP answer, first line removed, as the server sent it.
  const std::string& receptionBuffer() const;
  /// The copy in the mail-server tray is marked received; the entry is no
  /// longer to be fetched. Ignored unless Ready.
  void markReceived(int index);
  /// The copy is removed from the mail-server tray. Ignored unless Ready.
  void markDeleted(int index);

private:
  enum class Command { None, List, Fetch, FetchHeader, FetchMany, Delete };
  enum class Ending { None, Quit, Abort };
  struct Request {
    Command command = Command::None;
    ListMode mode = ListMode::All;
    int index = -1;
    std::vector<FetchOrder> orders = {};
  };

  bool list(ListMode mode);
  bool request(Request next, std::optional<core::MessageNumber> refusal);
  bool validIndex(int index) const;
  void run(PopSettings settings);
  bool exchange();
  void apply(const Request& next);
  void quit();
  void endOnError();
  void finish(std::vector<PopProtocol::Event> last);
  void deliver(std::vector<PopProtocol::Event> events);
  void deliverHeld();
  void observeState(PopState from, PopState to);
  PopOwner* owner() const;

  core::Messages& messages_;
  MailServerTray& tray_;
  BackgroundSink background_;
  std::unique_ptr<PopTransport> transport_;
  PopLimits limits_;

  std::unique_ptr<PopProtocol> protocol_;
  std::unique_ptr<PopConnection> connection_;
  std::thread worker_;
  std::atomic<bool> finished_{true};

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  PopOwner* owner_ = nullptr;
  bool ready_ = false;  // the worker waits for a command
  Request request_;
  Ending ending_ = Ending::None;

  std::vector<PopProtocol::Event> held_;  // notifications of a step that left the session Ready
  std::atomic<int> state_{static_cast<int>(PopState::Idle)};
  std::atomic<bool> abort_{false};
  std::atomic<bool> cancelFetches_{false};
  std::atomic<int> zeroReads_{0};
  std::function<void(std::string_view)> stateLog_;
};

}  // namespace zorvik::net
