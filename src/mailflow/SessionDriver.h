/// \file
/// Runs one send/receive command: decides the order of the send phase and
/// the receive phase, places the sent mails afterwards and reports the
/// result bits. One command at a time: a second run while one is active
/// shows 40185 and is refused.
///
/// Order: a POP3 connection already logged in (left open by a new-mail
/// check) is received on at once; otherwise, with POP-before-SMTP (item 817)
/// the receive phase runs first, then the driver waits item 818 seconds and
/// sends; otherwise it sends first and then receives. A send alone with
/// POP-before-SMTP logs in to the POP3 server first (and receives nothing),
/// since the SMTP server would refuse it otherwise; without a complete POP3
/// account there is nothing to log in to, and it sends at once. A send/receive always
/// gets its send phase, also when it started on a check's open connection.
/// With POP-before-SMTP a failed receive skips the send: the server would
/// refuse mail from a client that did not log in.
///
/// The timers of the main window call the timer operations below; the
/// desktop client owns the real timers, zorvik-cli has none.
///
/// The receive phase is reached through the Receiver interface, so that the
/// driver runs without one (send only) and tests can put a fake in its place.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>

#include "core/Messages.h"
#include "net/EventLoop.h"
#include "mailflow/SendPhase.h"
#include "mailflow/SentMailPlacement.h"

namespace zorvik::core {
class SettingsFile;
}

namespace zorvik::mailflow {

struct DriverSettings {
  bool popBeforeSmtp = false;        ///< item 817
  int popBeforeSmtpWaitSeconds = 0;  ///< item 818; 0 or less: no wait
  int checkIntervalSeconds = 0;      ///< item 703; 0 or less: no periodic check
  int autoSendDelaySeconds = 0;      ///< item 508; negative: never
  bool popAccountComplete = false;   ///< POP server, user and password set (801, 803, 804)

  static DriverSettings fromSettings(const core::SettingsFile& settings);
};

/// Bits of a command's result.
enum ResultBit : int { kMailReceived = 0x1, kMailSent = 0x2 };

struct RunResult {
  int bits = 0;
  SendResult send;
  PlacementResult placement;
  std::size_t received = 0;
  bool receiveFailed = false;
};

class SessionDriver {
public:
  enum class Command { Send, SendAndReceive };

  /// The receive phase as the driver drives it.
  class Receiver {
  public:
    /// Starts receiving; `finished(received, failed)` follows once, from the
    /// loop. The receiver moves its work file into the new-mail tray itself.
    virtual void start(std::function<void(std::size_t received, bool failed)> finished) = 0;
    /// Logs in and quits without receiving (POP-before-SMTP for a send
    /// alone); `finished(0, failed)` follows once, from the loop.
    virtual void logIn(std::function<void(std::size_t received, bool failed)> finished) = 0;
    virtual void abort() = 0;
    /// A POP3 connection is already logged in (a check left it open).
    virtual bool connectionOpen() const = 0;

  protected:
    ~Receiver() = default;
  };

  /// What a timer's owner does after calling a timer operation.
  enum class TimerAction { Stop, KeepRunning, RestartIn10Seconds };

  /// Every reference must outlive the driver; `receiver` may be null.
  SessionDriver(net::EventLoop& loop, core::Messages& messages, SendPhase& send, const SentMailPlacement& placement,
                DriverSettings settings, Receiver* receiver = nullptr);
  ~SessionDriver();
  SessionDriver(const SessionDriver&) = delete;
  SessionDriver& operator=(const SessionDriver&) = delete;

  using Finished = std::function<void(const RunResult&)>;

  /// Starts `command`; `finished` follows once from the loop. False, after
  /// 40185, while another command runs.
  bool run(Command command, Finished finished);
  /// Ends the running phase; the command ends with what was done so far.
  void abort();
  /// Lets the running phase finish the mail in hand and starts no other:
  /// the command ends cleanly with what was done.
  void stopAfterCurrentMail();
  bool running() const { return running_; }

  /// The automatic send timer (2) fired: while a command runs, it is to be
  /// started again with 10 seconds; otherwise a send/receive starts.
  TimerAction onAutoSendTimer(Finished finished);
  /// The new-mail check timer (1) fired. Without a complete POP account, or
  /// while a POP3 connection is active, the timer keeps running; otherwise
  /// it stops and, unless a command runs, `startCheck` is called.
  TimerAction onCheckTimer(bool popConnectionActive, const std::function<void()>& startCheck) const;

  /// The delay of the automatic send timer for item 508: 0 means 50 ms,
  /// negative means never.
  static std::optional<std::chrono::milliseconds> autoSendDelay(int seconds);
  /// The period of the check timer for item 703: none unless positive.
  static std::optional<std::chrono::milliseconds> checkInterval(int seconds);

private:
  enum class Phase { None, Sending, Waiting, Receiving };

  void startSend();
  void startReceive();
  void sendFinished(const SendResult& result);
  void receiveFinished(std::size_t received, bool failed);
  void finish();

  net::EventLoop& loop_;
  core::Messages& messages_;
  SendPhase& send_;
  const SentMailPlacement& placement_;
  DriverSettings settings_;
  Receiver* receiver_;

  bool running_ = false;
  bool aborted_ = false;
  bool stopping_ = false;
  bool loginOnly_ = false;
  bool sendDone_ = false;
  bool receiveDone_ = false;
  bool receiveFirst_ = false;
  Phase phase_ = Phase::None;
  RunResult result_;
  Finished finished_;
  net::EventLoop::TimerId wait_ = 0;
};

}  // namespace zorvik::mailflow
