#include "net/PollEventLoop.h"

#include <poll.h>

#include <algorithm>
#include <vector>

namespace zorvik::net {

PollEventLoop::PollEventLoop(const platform::Clock& clock) : clock_(clock) {}

void PollEventLoop::watchSocket(int fd, SocketHandler& handler) {
  sockets_[fd] = Watch{&handler, false, nextSerial_++};
}

void PollEventLoop::setWriteInterest(int fd, bool wanted) {
  const auto it = sockets_.find(fd);
  if (it != sockets_.end()) it->second.wantWrite = wanted;
}

void PollEventLoop::unwatchSocket(int fd) { sockets_.erase(fd); }

EventLoop::TimerId PollEventLoop::startTimer(std::chrono::milliseconds delay, std::function<void()> callback) {
  const TimerId id = nextTimer_++;
  timers_[id] = Timer{clock_.now() + delay, std::move(callback)};
  return id;
}

void PollEventLoop::stopTimer(TimerId id) { timers_.erase(id); }

int PollEventLoop::pollTimeoutMs(std::chrono::milliseconds maxWait) const {
  auto wait = maxWait;
  const auto now = clock_.now();
  for (const auto& [id, timer] : timers_) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(timer.due - now);
    wait = std::min(wait, std::max(left, std::chrono::milliseconds(0)));
  }
  return static_cast<int>(std::max<std::int64_t>(wait.count(), 0));
}

bool PollEventLoop::reportSockets(int timeoutMs) {
  std::vector<pollfd> fds;
  std::vector<std::uint64_t> serials;
  for (const auto& [fd, watch] : sockets_) {
    fds.push_back({fd, static_cast<short>(POLLIN | (watch.wantWrite ? POLLOUT : 0)), 0});
    serials.push_back(watch.serial);
  }
  if (::poll(fds.data(), fds.size(), timeoutMs) <= 0) return false;

  bool reported = false;
  for (std::size_t i = 0; i < fds.size(); ++i) {
    const short events = fds[i].revents;
    const bool broken = (events & (POLLERR | POLLHUP | POLLNVAL)) != 0;
    // Looked up again before each report: an earlier report may have
    // unwatched this socket, or closed it and watched a new one on the same
    // descriptor number, which this poll did not ask about.
    const auto current = [&] {
      const auto it = sockets_.find(fds[i].fd);
      return it != sockets_.end() && it->second.serial == serials[i] ? &it->second : nullptr;
    };
    if (const Watch* watch = current(); watch && watch->wantWrite && ((events & POLLOUT) || broken)) {
      watch->handler->onWritable();
      reported = true;
    }
    if (const Watch* watch = current(); watch && ((events & POLLIN) || broken)) {
      watch->handler->onReadable();
      reported = true;
    }
  }
  return reported;
}

bool PollEventLoop::fireDueTimers() {
  const auto now = clock_.now();
  std::vector<TimerId> due;
  for (const auto& [id, timer] : timers_)
    if (timer.due <= now) due.push_back(id);
  for (const TimerId id : due) {
    const auto it = timers_.find(id);
    if (it == timers_.end()) continue;  // stopped by an earlier callback
    auto callback = std::move(it->second.callback);
    timers_.erase(it);
    callback();
  }
  return !due.empty();
}

bool PollEventLoop::runOnce(std::chrono::milliseconds maxWait) {
  const bool reported = reportSockets(pollTimeoutMs(maxWait));
  const bool fired = fireDueTimers();
  return reported || fired;
}

bool PollEventLoop::runUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    if (left <= std::chrono::milliseconds(0)) return false;
    runOnce(std::min(left, std::chrono::milliseconds(100)));
  }
  return true;
}

}  // namespace zorvik::net
