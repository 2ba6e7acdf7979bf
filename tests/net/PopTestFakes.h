/// \file
/// Stand-ins for what a POP3 session talks to besides the server: the
/// mail-server tray kept in memory, a sink that keeps (or writes out) the
/// fetched mails, an owner that queues notifications, and a scripted socket
/// that drives time-outs with a fake clock.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <condition_variable>
#include <deque>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "core/Messages.h"
#include "net/MailServerTray.h"
#include "net/PopNotification.h"
#include "net/PopSession.h"
#include "net/PopTransport.h"
#include "net/ReceivedMailSink.h"
#include "support/FakeClock.h"
#include "support/RecordingReporter.h"

namespace zorvik::test {

/// The mail-server tray in memory. Two headers are equal when their text and
/// size are; removed copies stay in place until compact().
class MemoryServerTray : public net::MailServerTray {
public:
  struct Copy {
    std::string key;
    bool received = false;
    bool present = false;
    bool removed = false;
    bool unsavedAttachment = false;
  };

  explicit MemoryServerTray(std::string uidPath = {}) : uidPath_(std::move(uidPath)) {}

  void beginListing() override {
    for (Copy& copy : copies) copy.present = false;
  }
  std::string headerKey(std::string_view header, int size) override {
    return std::string(header) + "|" + std::to_string(size);
  }
  Match find(const std::string& key, int ordinal) override {
    for (std::size_t i = 0; i < copies.size(); ++i) {
      if (copies[i].removed || copies[i].key != key) continue;
      if (ordinal-- > 0) continue;
      return {copies[i].received ? CopyState::Received : CopyState::Unread, static_cast<int>(i)};
    }
    return {};
  }
  int append(std::string_view header, int size) override {
    copies.push_back({headerKey(header, size)});
    return static_cast<int>(copies.size()) - 1;
  }
  CopyState stateAt(int index) override {
    if (index < 0 || index >= static_cast<int>(copies.size()) || copies[static_cast<std::size_t>(index)].removed)
      return CopyState::Missing;
    return copies[static_cast<std::size_t>(index)].received ? CopyState::Received : CopyState::Unread;
  }
  void markPresent(int index) override { copies.at(static_cast<std::size_t>(index)).present = true; }
  void markReceived(int index) override { copies.at(static_cast<std::size_t>(index)).received = true; }
  bool hasUnsavedAttachment(int index) override {
    return copies.at(static_cast<std::size_t>(index)).unsavedAttachment;
  }
  void remove(int index) override { copies.at(static_cast<std::size_t>(index)).removed = true; }
  std::vector<int> compact() override {
    std::vector<int> removed;
    for (std::size_t i = 0; i < copies.size(); ++i)
      if (copies[i].removed) removed.push_back(static_cast<int>(i));
    std::erase_if(copies, [](const Copy& copy) { return copy.removed; });
    return removed;
  }
  std::string uidFilePath() const override { return uidPath_; }

  int count(bool received) const {
    return static_cast<int>(std::count_if(copies.begin(), copies.end(),
                                          [received](const Copy& c) { return c.received == received; }));
  }

  std::vector<Copy> copies;

private:
  std::string uidPath_;
};

/// Keeps every fetched mail; can be told to fail. With a folder it also
/// writes each mail there as "<n>.eml", raw as the server sent it.
class MemorySink : public net::ReceivedMailSink {
public:
  struct Mail {
    int index = -1;
    int number = -1;
    bool headerOnly = false;
    std::string text;
  };

  explicit MemorySink(std::string folder = {}) : folder_(std::move(folder)) {}

  bool beginMail(int entryIndex, const net::ServerMailEntry& entry, bool headerOnly) override {
    mails.push_back({entryIndex, entry.number, headerOnly, {}});
    return true;
  }
  bool appendMail(std::string_view bytes) override {
    mails.back().text.append(bytes);
    return true;
  }
  bool endMail() override {
    if (failEnd) return false;
    ++undurable;
    if (!folder_.empty()) std::ofstream(folder_ + "/" + std::to_string(mails.size()) + ".eml") << mails.back().text;
    return true;
  }
  bool makeDurable() override {
    ++durableCalls;
    if (failDurable) return false;
    undurable = 0;
    return true;
  }

  std::vector<Mail> mails;
  int undurable = 0;
  int durableCalls = 0;
  bool failEnd = false;
  bool failDurable = false;

private:
  std::string folder_;
};

/// Queues notifications from the worker; the test thread waits for them
/// while showing the worker's messages.
class QueueOwner : public net::PopOwner {
public:
  void notify(net::PopNotification code, long value) override {
    const std::lock_guard lock(mutex_);
    all_.push_back({code, value});
    changed_.notify_all();
  }

  /// Waits (pumping `messages`) until a notification with one of `codes`
  /// arrives after those already taken; returns it, or 0 on time-out.
  int next(core::Messages& messages, std::initializer_list<net::PopNotification> codes,
           std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
      messages.pump();
      std::unique_lock lock(mutex_);
      while (taken_ < all_.size()) {
        const net::PopNotification code = all_[taken_++].first;
        if (std::find(codes.begin(), codes.end(), code) != codes.end()) return static_cast<int>(code);
      }
      changed_.wait_for(lock, std::chrono::milliseconds(5));
    }
    return 0;
  }

  std::vector<std::pair<net::PopNotification, long>> all() const {
    const std::lock_guard lock(mutex_);
    return all_;
  }

private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::pair<net::PopNotification, long>> all_;
  std::size_t taken_ = 0;
};

/// A socket that plays a script of reads. A wait with nothing scripted takes
/// one second of the fake clock and finds nothing.
class FakeTransport : public net::PopTransport {
public:
  explicit FakeTransport(FakeClock& clock) : clock_(clock) {}

  void addData(std::string bytes) { reads_.push_back({Kind::Data, std::move(bytes), 0}); }
  void addSilence(int seconds) { reads_.push_back({Kind::Silence, {}, seconds}); }
  void addClose() { reads_.push_back({Kind::Close, {}, 0}); }
  void addWouldBlock() { reads_.push_back({Kind::WouldBlock, {}, 0}); }
  /// Called after every empty wait (a test sets the abort flag from it).
  std::function<void()> onIdleWait;

  bool create() override {
    ++creates;
    return true;
  }
  void close() override { ++closes; }
  bool connect(std::string_view, std::uint16_t) override { return resolvable; }
  bool connected() override { return true; }
  int waitReadable() override {
    if (!reads_.empty() && reads_.front().kind != Kind::Silence) return 1;
    clock_.advance(std::chrono::seconds(1));
    if (!reads_.empty() && --reads_.front().seconds <= 0) reads_.pop_front();
    if (onIdleWait) onIdleWait();
    return 0;
  }
  int waitWritable() override { return 1; }
  long receive(char* buffer, std::size_t size) override {
    wouldBlock_ = false;
    if (reads_.empty()) return 0;
    Read& read = reads_.front();
    if (read.kind == Kind::Close) {
      reads_.pop_front();
      return 0;
    }
    if (read.kind == Kind::WouldBlock) {
      reads_.pop_front();
      wouldBlock_ = true;
      return -1;
    }
    const std::size_t n = std::min(size, read.bytes.size());
    std::copy_n(read.bytes.data(), n, buffer);
    read.bytes.erase(0, n);
    if (read.bytes.empty()) reads_.pop_front();
    return static_cast<long>(n);
  }
  long send(std::string_view bytes) override {
    sent.append(bytes);
    return static_cast<long>(bytes.size());
  }
  bool lastCallWouldBlock() const override { return wouldBlock_; }
  long bytesAvailable() override {
    return !reads_.empty() && reads_.front().kind == Kind::Data ? static_cast<long>(reads_.front().bytes.size()) : 0;
  }

  std::string sent;
  int creates = 0;
  int closes = 0;
  bool resolvable = true;

private:
  enum class Kind { Data, Silence, Close, WouldBlock };
  struct Read {
    Kind kind;
    std::string bytes;
    int seconds;
  };
  FakeClock& clock_;
  std::deque<Read> reads_;
  bool wouldBlock_ = false;
};

/// A session with every party it needs, and a small driver that receives
/// the way the send/receive command does: list, fetch what is to be fetched
/// (only the header of a mail above the size limit), delete when asked, quit.
struct PopRig {
  explicit PopRig(std::string uidPath = {}) : tray(std::move(uidPath)) {}

  net::PopSettings settings(std::uint16_t port, net::PopAccount account, int timeout = 5) const {
    return {"127.0.0.1", port, timeout, timeout, std::move(account)};
  }
  /// Starts and waits for the login; true when logged in.
  bool login(const net::PopSettings& s) {
    // ZORVIK_POP_TRACE=1 prints every change of state with its time.
    if (std::getenv("ZORVIK_POP_TRACE"))
      session.setStateLog([t0 = std::chrono::steady_clock::now()](std::string_view line) {
        fprintf(stderr, "%6lld ms %.*s\n", static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count()), static_cast<int>(line.size()), line.data());
      });
    return session.start(owner, s) && wait({net::PopNotification::LoggedIn, net::PopNotification::Ended}) == 1;
  }
  int wait(std::initializer_list<net::PopNotification> codes) { return owner.next(messages, codes); }

  struct Result {
    bool completed = false;  // ended with QUIT, not by an error
    int fetched = 0;
    int deleted = 0;
  };
  Result receive(net::ListMode mode, bool deleteFromServer, int maxSize = 0) {
    using net::PopNotification;
    Result result;
    const bool listed = mode == net::ListMode::All ? session.listAll()
                        : mode == net::ListMode::NoHeaders ? session.listNoHeaders()
                                                           : session.listUidlFast();
    if (!listed || wait({PopNotification::ListingFinished, PopNotification::Ended}) != 8) return result;
    std::vector<int> toDelete;
    for (int i = 0; i < session.count(); ++i) {
      const net::ServerMailEntry& e = session.entry(i);
      const bool oversize = maxSize > 0 && e.size > maxSize;
      if (deleteFromServer && !oversize && e.addressable()) toDelete.push_back(i);
      if (!e.fetch) continue;
      if (!(oversize ? session.fetchHeaderOnly(i) : session.fetch(i))) return result;
      if (wait({PopNotification::MailReceived, PopNotification::Ended}) != 9) return result;
      session.markReceived(i);
      ++result.fetched;
    }
    for (int i : toDelete) {
      if (!session.deleteMail(i) || wait({PopNotification::Deleted, PopNotification::Ended}) != 11) return result;
      session.markDeleted(i);
      ++result.deleted;
    }
    session.stop(false);
    result.completed = wait({PopNotification::QuitFinished}) == 2;
    return result;
  }

  std::vector<std::string> boxTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : reporter.boxes()) texts.push_back(box.text);
    return texts;
  }

  RecordingReporter reporter;
  core::Messages messages{reporter};
  MemoryServerTray tray;
  MemorySink sink;
  QueueOwner owner;
  net::PopSession session{messages, tray, sink};
};

}  // namespace zorvik::test
