#include "net/BackgroundSink.h"

#include <utility>

namespace zorvik::net {

BackgroundSink::BackgroundSink(ReceivedMailSink& target) : target_(target), thread_([this] { run(); }) {}

BackgroundSink::~BackgroundSink() {
  {
    const std::lock_guard lock(mutex_);
    ending_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

bool BackgroundSink::beginMail(int entryIndex, const ServerMailEntry& entry, bool headerOnly) {
  filling_ = Mail{entryIndex, entry, headerOnly, {}};
  const std::lock_guard lock(mutex_);
  return !refused_;
}

bool BackgroundSink::appendMail(std::string_view bytes) {
  filling_.text.append(bytes);
  return true;
}

bool BackgroundSink::endMail() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] {
    return refused_ || (queue_.size() < kMaxQueued && queuedBytes_ < kMaxQueuedBytes);
  });
  if (refused_) return false;
  queuedBytes_ += filling_.text.size();
  queue_.push_back(std::move(filling_));
  filling_ = {};
  changed_.notify_all();
  return true;
}

bool BackgroundSink::flush() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return idle(); });
  return !refused_;
}

void BackgroundSink::clearRefusal() {
  const std::lock_guard lock(mutex_);
  refused_ = false;
}

bool BackgroundSink::makeDurable() {
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return idle(); });
    if (refused_) return false;
  }
  // The thread waits for the next mail, which only this thread can give.
  return target_.makeDurable();
}

void BackgroundSink::run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return ending_ || !queue_.empty(); });
    if (queue_.empty()) return;
    Mail mail = std::move(queue_.front());
    queue_.pop_front();
    queuedBytes_ -= mail.text.size();
    busy_ = true;
    const bool refusedBefore = refused_;
    lock.unlock();
    // Behind a refused mail nothing is kept: the session stops anyway, and
    // a later mail in the file would stand where the refused one belongs.
    const bool kept = !refusedBefore && target_.beginMail(mail.entryIndex, mail.entry, mail.headerOnly) &&
                      target_.appendMail(mail.text) && target_.endMail();
    lock.lock();
    busy_ = false;
    if (!kept) refused_ = true;
    changed_.notify_all();
  }
}

}  // namespace zorvik::net
