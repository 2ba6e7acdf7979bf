/// \file
/// The event loop an asynchronous protocol session runs on: it watches
/// sockets and runs single-shot timers, all on one thread. The engine's
/// PollEventLoop implements it with poll(2) for zorvik-cli and the tests; the
/// desktop client implements it with QSocketNotifier and QTimer, so the SMTP
/// session runs on the user-interface thread without blocking it.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace zorvik::net {

class EventLoop {
public:
  /// Receives a watched socket's readiness. A socket that hit an error or
  /// was closed by the peer is reported readable (and writable when write
  /// readiness is wanted), so the handler finds out by reading.
  class SocketHandler {
  public:
    virtual void onReadable() = 0;
    virtual void onWritable() = 0;

  protected:
    ~SocketHandler() = default;
  };

  /// 0 is never a timer.
  using TimerId = std::uint64_t;

  virtual ~EventLoop() = default;

  /// Starts reporting `fd` to `handler`: readability always, writability
  /// only while setWriteInterest() asks for it. Replaces an earlier watch of
  /// the same descriptor.
  virtual void watchSocket(int fd, SocketHandler& handler) = 0;
  virtual void setWriteInterest(int fd, bool wanted) = 0;
  /// Stops reporting `fd`; no report for it follows, even one already due.
  /// Call before closing the descriptor.
  virtual void unwatchSocket(int fd) = 0;

  /// Runs `callback` once, `delay` from now (0: on the loop's next turn).
  virtual TimerId startTimer(std::chrono::milliseconds delay, std::function<void()> callback) = 0;
  /// Cancels a timer; an id that has fired or was stopped is ignored.
  virtual void stopTimer(TimerId id) = 0;
};

}  // namespace zorvik::net
