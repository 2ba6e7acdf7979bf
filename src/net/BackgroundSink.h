/// \file
/// A ReceivedMailSink that hands every mail to another sink on a thread of
/// its own, so that a POP3 session reads the next mail from the server while
/// the one before is decoded and written. The session's worker thread calls
/// it as it calls any sink; the mails reach the other sink in order.
///
/// What the other sink says comes late: a mail it refuses (a full disk)
/// makes every later endMail() and makeDurable() fail, and the mails queued
/// behind it are dropped, so nothing is deleted on the server after a mail
/// that was not kept. The mails the other sink kept are always the first
/// ones handed over, in order. makeDurable() and flush() wait until the queue is
/// empty; the session flushes before its owner may look at the other sink.
///
/// The queue is bounded (kMaxQueued mails or kMaxQueuedBytes), so a slow
/// disk holds the reading back instead of filling memory.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "net/ReceivedMailSink.h"

namespace zorvik::net {

class BackgroundSink final : public ReceivedMailSink {
public:
  static constexpr std::size_t kMaxQueued = 32;
  static constexpr std::size_t kMaxQueuedBytes = 16u << 20;

  explicit BackgroundSink(ReceivedMailSink& target);
  /// Finishes the queued mails, then ends the thread.
  ~BackgroundSink() override;
  BackgroundSink(const BackgroundSink&) = delete;
  BackgroundSink& operator=(const BackgroundSink&) = delete;

  bool beginMail(int entryIndex, const ServerMailEntry& entry, bool headerOnly) override;
  bool appendMail(std::string_view bytes) override;
  /// Queues the mail; false when an earlier mail was refused.
  bool endMail() override;
  /// Waits for the queue, then makes the other sink durable.
  bool makeDurable() override;
  /// Waits until every queued mail has reached the other sink. False when
  /// one was refused.
  bool flush();
  /// Forgets a refusal once the session that met it has ended (a new
  /// connection starts clean). Call only while nothing is queued.
  void clearRefusal();

private:
  struct Mail {
    int entryIndex = -1;
    ServerMailEntry entry;
    bool headerOnly = false;
    std::string text;
  };

  void run();
  bool idle() const { return queue_.empty() && !busy_; }

  ReceivedMailSink& target_;
  Mail filling_;  // the mail between beginMail() and endMail(), worker's only

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Mail> queue_;
  std::size_t queuedBytes_ = 0;
  bool busy_ = false;     // the thread is handing a mail over
  bool refused_ = false;  // the other sink refused a mail
  bool ending_ = false;
  std::thread thread_;
};

}  // namespace zorvik::net
