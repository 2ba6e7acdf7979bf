/// \file
/// An EventLoop on poll(2), run by the thread that calls runOnce() or
/// runUntil(): zorvik-cli's sending and the tests use it. Timers follow the
/// given Clock, so a test with a fake clock fires a 30-second time-out by
/// advancing the clock instead of waiting.
///
/// Handlers may watch, unwatch, start and stop timers from inside a report;
/// a socket unwatched (or a timer stopped) during one turn is not reported
/// later in that turn.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>

#include "net/EventLoop.h"
#include "platform/Clock.h"

namespace zorvik::net {

class PollEventLoop : public EventLoop {
public:
  explicit PollEventLoop(const platform::Clock& clock = platform::SystemClock::instance());

  void watchSocket(int fd, SocketHandler& handler) override;
  void setWriteInterest(int fd, bool wanted) override;
  void unwatchSocket(int fd) override;
  TimerId startTimer(std::chrono::milliseconds delay, std::function<void()> callback) override;
  void stopTimer(TimerId id) override;

  /// One turn: waits at most `maxWait` (less when a timer is due sooner) for
  /// a watched socket, then reports the ready sockets and fires every timer
  /// that is due. False when nothing was reported or fired.
  bool runOnce(std::chrono::milliseconds maxWait);
  /// Turns until `done` holds; false when `limit` of real time passed first.
  /// The limit is a guard against a hang, measured on the machine's clock
  /// whatever clock the timers follow.
  bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

  /// Counts, for tests: sockets watched and timers running.
  std::size_t socketCount() const { return sockets_.size(); }
  std::size_t timerCount() const { return timers_.size(); }

private:
  struct Watch {
    SocketHandler* handler = nullptr;
    bool wantWrite = false;
    std::uint64_t serial = 0;
  };
  struct Timer {
    std::chrono::steady_clock::time_point due;
    std::function<void()> callback;
  };

  int pollTimeoutMs(std::chrono::milliseconds maxWait) const;
  bool reportSockets(int timeoutMs);
  bool fireDueTimers();

  const platform::Clock& clock_;
  std::map<int, Watch> sockets_;
  std::map<TimerId, Timer> timers_;
  std::uint64_t nextSerial_ = 1;
  TimerId nextTimer_ = 1;
};

}  // namespace zorvik::net
