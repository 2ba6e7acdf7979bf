/// \file
/// The POP3 dialogue as a state machine without input or output of its own:
/// it is fed the complete lines the server sent and hands back the commands
/// to write, the notifications for the owner and, when the dialogue cannot
/// go on, the numbered message that says why. PopSession runs it over a
/// socket on its worker thread; tests and the fuzzer feed it strings.
///
/// One handler per state reads one line at a time. Multi-line answers (LIST,
/// UIDL, RETR, TOP) are taken line by line as they arrive, so nothing but a
/// fetched mail is ever accumulated, and that is bounded too.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/MessageNumber.h"
#include "net/MailServerTray.h"
#include "net/PopNotification.h"
#include "net/PopSettings.h"
#include "net/PopState.h"
#include "net/ReceivedMailSink.h"
#include "net/ServerMailEntry.h"

namespace zorvik::net {

/// Bounds on what a misbehaving server can make the session keep.
struct PopLimits {
  std::size_t maxMailBytes = 512u << 20;    // one RETR answer, whatever LIST said
  std::size_t maxHeaderBytes = 16u << 20;   // one TOP answer
  int maxMails = 1'000'000;                 // mails announced by STAT
  int maxTopInFlight = 100;                 // pipelined TOP commands not yet answered
  int maxRetrInFlight = 16;                 // RETR and TOP of fetchMany() asked ahead of the answers
  std::size_t maxBytesAhead = 4u << 20;     // their listed sizes together, the mail in hand aside
};

/// One mail of fetchMany(): the entry, and whether only its header (TOP) is
/// wanted because it is too large to fetch.
struct FetchOrder {
  int index = -1;
  bool headerOnly = false;
};

enum class ListMode {
  All,        // ask for headers wherever the mail is not known by UIDL
  NoHeaders,  // every mail is new and to be fetched, no headers asked
  UidlFast,   // with UIDL: new mails are fetched without asking their headers
};

class PopProtocol {
public:
  struct Event {
    PopNotification code;
    long value = 0;
  };
  /// A numbered message for the user; `text` fills its "%s" (Shift_JIS).
  struct Failure {
    std::optional<core::MessageNumber> message;  // none: end silently
    std::string text;
  };

  PopProtocol(PopAccount account, MailServerTray& tray, ReceivedMailSink& sink, PopLimits limits = {});

  PopState state() const { return state_; }
  /// Called on every change of state, with the old and the new one.
  void setStateObserver(std::function<void(PopState from, PopState to)> observer) {
    observer_ = std::move(observer);
  }

  // Starting a step. Each is valid only in the state named; the session
  // checks before it calls.

  /// Connecting: the greeting's lines arrived; starts the login (after STLS
  /// and CAPA when the account asks for them).
  void greet(std::string_view greeting);
  /// The server agreed to STLS: the session must run the TLS handshake now
  /// and then call tlsStarted(), or end the connection.
  bool wantsTls() const { return state_ == PopState::TlsStarting && !failure_; }
  /// The handshake succeeded; the login goes on over TLS.
  void tlsStarted();
  /// The server's CAPA lines (without line ends), when it was asked and
  /// answered; what it announced before TLS is forgotten once TLS runs.
  const std::vector<std::string>& capabilities() const { return capabilities_; }
  /// Ready: STAT, LIST, maybe UIDL, then the headers the mode asks for.
  void list(ListMode mode);
  /// Ready: prepares the reception buffer for a RETR of `index` at the size
  /// LIST announced (up to 32 MiB; a larger mail grows it as it arrives).
  /// False when the memory cannot be had.
  bool reserveFor(int index);
  /// Ready: RETR of entry `index`, or TOP of its header only.
  void fetch(int index, bool headerOnly);
  /// Ready: fetches the entries of `orders` one after the other without
  /// waiting for the owner between them: each mail goes to the sink and is
  /// announced with MailReceived (value: its entry index); FetchesEnded
  /// follows the last. When the server announces PIPELINING (asked with
  /// CAPA once per connection), later RETR commands go out before the
  /// answers to earlier ones have come, at most limits.maxRetrInFlight
  /// commands and limits.maxBytesAhead listed octets ahead.
  void fetchMany(std::vector<FetchOrder> orders);
  /// While fetchMany() runs: the mail in hand is finished, nothing more is
  /// asked for, and the answers already asked for are read and dropped
  /// before FetchesEnded. Harmless otherwise.
  void stopFetches();
  /// Ready: DELE of entry `index`. Asks the sink to make the mails fetched
  /// since the last DELE durable first.
  void deleteMail(int index);
  /// Any state: QUIT (answered or not, then finishQuit()).
  void quit();

  /// Feeds complete lines (each ending in LF) that the server sent.
  void receive(std::string_view lines);
  /// The line transport gave up on a line longer than its limit.
  void lineTooLong();
  /// The connection ended under the dialogue (error, time-out or abort);
  /// its message, if any, has been shown.
  void connectionLost();
  /// After QUIT and closing: removes the copies of the mails deleted when
  /// the server confirmed QUIT, renumbers the tray copies, rewrites the
  /// ".uid" file, goes Idle and tells the owner.
  void finishQuit();
  /// Ending without QUIT: keeps the ".uid" file up to date and goes Idle
  /// without a notification.
  void finishStop();

  /// Whether the dialogue waits for more lines from the server.
  bool awaitingReply() const;
  /// The protocol step for the time-out message.
  int stepCode() const { return stepCode_; }
  /// While headers are asked for: another TOP may be sent before the server
  /// answers the earlier ones.
  bool canPipelineMore() const;
  void pipelineMore();

  std::vector<std::string> takeCommands();
  std::vector<Event> takeEvents();
  /// Set once the dialogue cannot go on; the session closes the connection.
  const std::optional<Failure>& failure() const { return failure_; }

  // What the owner reads between notifications.
  const std::vector<ServerMailEntry>& entries() const { return entries_; }
  int newCount() const { return newCount_; }
  int unreadCount() const { return unreadCount_; }
  int receivedCount() const { return receivedCount_; }
  /// The last RETR or TOP answer without its first line, as sent.
  const std::string& receptionBuffer() const { return buffer_; }
  /// The copy of `index` in the mail-server tray is marked received and the
  /// entry no longer wants fetching.
  void markReceived(int index);
  /// The mail of `index` was deleted on the server. Its copy leaves the
  /// mail-server tray only when the server confirms QUIT: before that the
  /// deletion is not done, and a session that breaks (or a process killed)
  /// leaves the mail on the server, where the copy must still name it.
  void markDeleted(int index);
  /// Whether the stored copy of `index` carries the attachment-not-saved mark.
  bool hasUnsavedAttachment(int index) const;

private:
  void setState(PopState next);
  void send(std::string command, PopState next, int stepCode);
  void post(PopNotification code, long value = 0);
  void fail(std::optional<core::MessageNumber> message, std::string_view text = {});
  void becomeReady(PopNotification code);
  void handleLine(std::string_view line);

  // One handler per state that reads a line.
  void onLoginReply(std::string_view line);
  void onStlsReply(std::string_view line);
  void onCapaReply(std::string_view line);
  void onCapaLine(std::string_view line);
  void onAuthPlainReply(std::string_view line);
  void onStatReply(std::string_view line);
  void onListReply(std::string_view line);
  void onListLine(std::string_view line);
  void onUidlReply(std::string_view line);
  void onUidlLine(std::string_view line);
  void onTopPipelineLine(std::string_view line);
  void onRetrReply(std::string_view line);
  void onRetrLine(std::string_view line);
  void onDeleReply(std::string_view line);
  void onQuitReply(std::string_view line);

  void continueLogin();
  void capabilitiesKnown();
  void startLogin();
  void prepareFetch(int index, bool headerOnly);
  void sendFetch(const FetchOrder& order);
  void startBatch();
  void askAhead();
  void nextInBatch();
  void linkUidFile();
  void classify();
  void classifyByUidl();
  void startHeaderPipeline(std::vector<int> wanted);
  void sendNextTop();
  void storeHeader(int index, std::string_view text);
  /// The ordinal of a header among equal ones: how many entries before
  /// `index` have its key. Records the entry's key for the entries after it.
  int keepOrdinal(int index);
  void finishMail();
  void finishListing();
  core::MessageNumber failureMessageForState() const;

  PopAccount account_;
  MailServerTray& tray_;
  ReceivedMailSink& sink_;
  PopLimits limits_;
  std::function<void(PopState, PopState)> observer_;

  PopState state_ = PopState::Connecting;
  int stepCode_ = 0;
  ListMode mode_ = ListMode::All;
  std::vector<ServerMailEntry> entries_;
  /// The entries whose header was stored, by header key, in index order.
  std::unordered_map<std::string, std::vector<int>> entriesByKey_;
  int newCount_ = 0;
  int unreadCount_ = 0;
  int receivedCount_ = 0;
  std::size_t listFilled_ = 0;
  std::size_t uidlPosition_ = 0;

  std::string greeting_;  // its first line: APOP's time stamp
  bool capabilitiesAsked_ = false;
  bool loggedIn_ = false;
  std::vector<std::string> capabilities_;

  // fetchMany(): the orders, how many were asked for and how many answered.
  bool batch_ = false;
  std::vector<FetchOrder> orders_;
  std::size_t ordersSent_ = 0;
  std::size_t ordersDone_ = 0;
  std::size_t ordersKept_ = 0;  // answers from this one on are dropped (after stopFetches)
  bool pipelining_ = false;

  int current_ = -1;  // entry being fetched or deleted
  bool headerOnly_ = false;
  std::size_t bufferLimit_ = 0;
  std::string buffer_;
  bool changed_ = false;
  bool quitConfirmed_ = false;
  std::vector<int> deletedOnServer_;  // entries whose DELE the server took
  int undurableMails_ = 0;  // mails ended since the sink last made them durable

  std::vector<int> wantedHeaders_;
  std::size_t topSent_ = 0;
  std::size_t topAnswered_ = 0;
  bool inHeader_ = false;

  std::vector<std::string> commands_;
  std::vector<Event> events_;
  std::optional<Failure> failure_;
};

}  // namespace zorvik::net
