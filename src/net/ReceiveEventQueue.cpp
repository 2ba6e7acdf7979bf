#include "net/ReceiveEventQueue.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

namespace zorvik::net {
namespace {

// Boxes the worker asks for are shown at least this often while waiting.
constexpr auto kPumpInterval = std::chrono::milliseconds(20);

}  // namespace

ReceiveEventQueue::ReceiveEventQueue() : wakeFd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

ReceiveEventQueue::~ReceiveEventQueue() {
  if (wakeFd_ >= 0) ::close(wakeFd_);
}

void ReceiveEventQueue::notify(PopNotification code, long value) {
  {
    const std::lock_guard lock(mutex_);
    events_.push_back({code, value});
  }
  changed_.notify_all();
  if (wakeFd_ < 0) return;
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t n = ::write(wakeFd_, &one, sizeof one);
}

std::optional<ReceiveEventQueue::Event> ReceiveEventQueue::take() {
  const std::lock_guard lock(mutex_);
  if (events_.empty()) {
    std::uint64_t count = 0;
    if (wakeFd_ >= 0) [[maybe_unused]] const ssize_t n = ::read(wakeFd_, &count, sizeof count);
    return std::nullopt;
  }
  const Event event = events_.front();
  events_.pop_front();
  return event;
}

std::optional<ReceiveEventQueue::Event> ReceiveEventQueue::wait(core::Messages& messages,
                                                                std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  for (;;) {
    messages.pump();
    if (auto event = take()) return event;
    const auto now = std::chrono::steady_clock::now();
    if (now >= end) return std::nullopt;
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, std::min<std::chrono::steady_clock::duration>(kPumpInterval, end - now),
                      [this] { return !events_.empty(); });
  }
}

PopNotification ReceiveEventQueue::await(core::Messages& messages, std::initializer_list<PopNotification> codes) {
  for (;;) {
    const auto event = wait(messages, std::chrono::seconds(1));
    if (!event) continue;
    if (event->code == PopNotification::Ended) return event->code;
    if (std::find(codes.begin(), codes.end(), event->code) != codes.end()) return event->code;
  }
}

}  // namespace zorvik::net
