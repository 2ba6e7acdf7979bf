/// \file
/// Carries a POP3 session's notifications from its worker thread to the
/// thread that owns the session. The worker only queues (it must never
/// wait for the owner); the owner takes them in order, either by waiting
/// here, pumping its message boxes meanwhile (zorvik-cli, tests), or from
/// its event loop when wakeFd() becomes readable (the desktop client).
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <initializer_list>
#include <mutex>
#include <optional>

#include "core/Messages.h"
#include "net/PopNotification.h"

namespace zorvik::net {

class ReceiveEventQueue final : public PopOwner {
public:
  struct Event {
    PopNotification code;
    long value = 0;
  };

  ReceiveEventQueue();
  ~ReceiveEventQueue() override;
  ReceiveEventQueue(const ReceiveEventQueue&) = delete;
  ReceiveEventQueue& operator=(const ReceiveEventQueue&) = delete;

  void notify(PopNotification code, long value) override;

  /// The next notification if one is queued.
  std::optional<Event> take();
  /// Waits for the next notification at most `limit`, showing the boxes
  /// the worker asks for meanwhile; empty on time-out.
  std::optional<Event> wait(core::Messages& messages, std::chrono::milliseconds limit);
  /// Waits until one of `codes` comes, or Ended (which ends every wait),
  /// showing the worker's boxes meanwhile; the code that came. Others are
  /// passed by.
  PopNotification await(core::Messages& messages, std::initializer_list<PopNotification> codes);
  /// Readable while notifications are queued (an eventfd); -1 when none
  /// could be made, and then only take() and wait() serve.
  int wakeFd() const { return wakeFd_; }

private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Event> events_;
  int wakeFd_ = -1;
};

}  // namespace zorvik::net
