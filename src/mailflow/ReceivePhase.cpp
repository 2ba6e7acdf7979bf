#include "mailflow/ReceivePhase.h"

#include <algorithm>

#include "core/SettingsFile.h"
#include "core/SettingsItemTable.h"
#include "message/OversizeMail.h"
#include "platform/TextEncoding.h"

namespace zorvik::mailflow {

using core::MessageNumber;

namespace {

constexpr auto kEventWait = std::chrono::seconds(1);

// Status texts (Shift_JIS): the labels are converted once.
std::string sjis(const char* utf8) { return platform::utf8ToSjis(utf8, "?"); }

std::string countersText(int serverCount, int received, int waiting) {
  static const std::string labels[] = {sjis("新着:"), sjis("  既読:"), sjis("  未読:")};
  return labels[0] + std::to_string(serverCount) + labels[1] + std::to_string(received) + labels[2] +
         std::to_string(waiting);
}

std::string receivingText(int received, int percent) {
  static const std::string label = sjis("受信:");
  return label + std::to_string(received) + "  " + std::to_string(percent) + "%";
}

}  // namespace

ReceiveSettings ReceiveSettings::fromSettings(const core::SettingsFile& settings) {
  ReceiveSettings result;
  result.pop = net::PopSettings::fromSettings(settings);
  result.deleteFromServer = settings.flag(core::item::kDeleteFromServer);
  result.maxSizeKilobytes = settings.number(core::item::kMaxMailSize);
  result.keepIncompleteOnServer = settings.flag(core::item::kKeepUnsavedOnServer);
  return result;
}

ReceivePhase::ReceivePhase(net::PopSession& session, StoreMailServerTray& tray, WorkFileSink& sink,
                           core::Messages& messages, ReceiveSettings settings, core::Progress& progress)
    : session_(session),
      tray_(tray),
      sink_(sink),
      messages_(messages),
      settings_(std::move(settings)),
      progress_(progress) {}

bool ReceivePhase::start() {
  mailsBefore_ = sink_.mailCount();
  return session_.start(events_, settings_.pop);
}

void ReceivePhase::takeOverListed() {
  mailsBefore_ = sink_.mailCount();
  session_.setOwner(events_);
  handle(net::PopNotification::ListingFinished, 0);
}

ReceiveResult ReceivePhase::run(const StopRequest* stop) {
  if (!start()) {
    result_.failed = true;
    finished_ = true;
    return result_;
  }
  return finish(stop);
}

ReceiveResult ReceivePhase::finish(const StopRequest* stop) {
  bool aborted = false;
  while (!finished_) {
    if (stop && stop->requested()) stopAfterCurrentMail();
    // Before the first mail (logging in, listing) there is no mail in hand
    // to finish: waiting for a slow server would only keep the user waiting.
    if (stop && (stop->insisted() || (stop->requested() && current_ < 0)) && !aborted) {
      abort();
      aborted = true;
    }
    if (const auto event = events_.wait(messages_, kEventWait)) handle(event->code, event->value);
  }
  return result_;
}

bool ReceivePhase::processEvents() {
  messages_.pump();
  while (!finished_) {
    const auto event = events_.take();
    if (!event) break;
    handle(event->code, event->value);
  }
  return finished_;
}

void ReceivePhase::handle(net::PopNotification code, long value) {
  if (finished_) return;
  switch (code) {
    case net::PopNotification::LoggedIn: return chooseListing();
    // The counters change while the worker lists; they are read only once
    // the listing is done and the worker waits.
    case net::PopNotification::CountersChanged: return;
    case net::PopNotification::ListingFinished: {
      showCounters();
      result_.serverCount = session_.count();
      result_.alreadyReceived = session_.receivedCount();
      result_.waiting = session_.newCount() + session_.unreadCount();
      deleteList_.clear();
      nextDelete_ = 0;
      totalToFetch_ = fetchedSoFar_ = 0;
      for (const net::ServerMailEntry& entry : session_.entries())
        if (entry.fetch && entry.size > 0) totalToFetch_ += entry.size;
      return startFetching();
    }
    case net::PopNotification::MailReceived: return mailReceived(static_cast<int>(value));
    case net::PopNotification::FetchesEnded: return fetchesEnded();
    case net::PopNotification::Progress: return showProgress(value);
    case net::PopNotification::Deleted: return deleted();
    case net::PopNotification::Ended: return end(true);
    case net::PopNotification::QuitFinished: return end(false);
  }
}

void ReceivePhase::chooseListing() {
  const bool fetchAndDeleteAll = settings_.deleteFromServer && settings_.maxSizeKilobytes <= 0 &&
                                 !settings_.keepIncompleteOnServer && tray_.liveCount() == 0;
  bool listed = false;
  if (fetchAndDeleteAll) listed = session_.listNoHeaders();
  else if (settings_.pop.account.useUidl) listed = session_.listUidlFast();
  else listed = session_.listAll();
  if (listed) return;
  session_.stop(true);
  end(true);
}

void ReceivePhase::showCounters() {
  progress_.step(countersText(session_.count(), session_.receivedCount(),
                              session_.newCount() + session_.unreadCount()));
}

void ReceivePhase::showProgress(long currentOctets) {
  if (totalToFetch_ <= 0) return;
  const int percent = static_cast<int>(std::min<long long>(100, (currentOctets + fetchedSoFar_) * 100 / totalToFetch_));
  if (percent == lastPercent_) return;
  lastPercent_ = percent;
  progress_.step(receivingText(result_.received, percent));
}

bool ReceivePhase::oversize(const net::ServerMailEntry& entry) const {
  return entry.size >= 0 &&
         message::OversizeMail::isOversize(static_cast<std::uint64_t>(entry.size), settings_.maxSizeKilobytes);
}

void ReceivePhase::stopAfterCurrentMail() {
  stopping_ = true;
  session_.cancelFetches();
}

void ReceivePhase::startFetching() {
  const std::vector<net::ServerMailEntry>& entries = session_.entries();
  std::vector<net::FetchOrder> orders;
  for (std::size_t j = 0; j < entries.size(); ++j) {
    const net::ServerMailEntry& entry = entries[j];
    if (!entry.addressable()) continue;
    const int index = static_cast<int>(j);
    const bool over = oversize(entry);
    // A mail kept on the server once because an attachment was not saved
    // stays there, unless it is fetched again now.
    if (settings_.deleteFromServer && !over &&
        (!settings_.keepIncompleteOnServer || entry.fetch || !session_.hasUnsavedAttachment(index)))
      deleteList_.push_back(index);
    if (entry.fetch) orders.push_back({index, over});
  }
  if (stopping_ || orders.empty()) return startDeleting();
  current_ = orders.front().index;
  if (session_.fetchMany(std::move(orders))) return;
  session_.stop(true);
  end(true);
}

void ReceivePhase::mailReceived(int index) {
  current_ = index;
  fetchedSoFar_ += std::max(session_.entry(index).size, 0);
  ++result_.received;
  uncommitted_.push_back(index);
  showProgress(0);
}

// The session fetched ahead of this thread; what the mails showed is acted
// on now that it waits.
void ReceivePhase::fetchesEnded() {
  for (const int index : sink_.incompleteMails()) {
    const net::ServerMailEntry& entry = session_.entry(index);
    if (entry.trayIndex >= 0) tray_.markUnsavedAttachment(entry.trayIndex);
    if (settings_.deleteFromServer && settings_.keepIncompleteOnServer) std::erase(deleteList_, index);
  }
  // After a stop nothing beyond the last mail received is deleted: the
  // rest was not fetched.
  if (stopping_) {
    const int last = uncommitted_.empty() ? -1 : uncommitted_.back();
    std::erase_if(deleteList_, [last](int index) { return index > last; });
  }
  startDeleting();
}

void ReceivePhase::commitReceived() {
  // The work file is written on a thread of its own: a mail announced may
  // still have been refused there (a full disk). The file holds the first
  // ones announced, in order; the rest was not received.
  const std::size_t stored = static_cast<std::size_t>(sink_.mailCount() - mailsBefore_) - committed_;
  if (uncommitted_.size() > stored) {
    result_.received -= static_cast<int>(uncommitted_.size() - stored);
    uncommitted_.resize(stored);
  }
  if (uncommitted_.empty()) return;
  // Marked received only once the mails are safely on the disk: a mark
  // that reached the disk before its mail would hide the mail for ever.
  if (!sink_.makeDurable()) return;
  for (const int index : uncommitted_) session_.markReceived(index);
  committed_ += uncommitted_.size();
  uncommitted_.clear();
}

void ReceivePhase::startDeleting() {
  commitReceived();
  if (!uncommitted_.empty()) deleteList_.clear();  // not durable: nothing may go from the server
  if (nextDelete_ < deleteList_.size() && session_.deleteMail(deleteList_[nextDelete_])) return;
  session_.stop(false);
}

void ReceivePhase::deleted() {
  session_.markDeleted(deleteList_[nextDelete_]);
  ++result_.deleted;
  ++nextDelete_;
  if (nextDelete_ < deleteList_.size() && session_.deleteMail(deleteList_[nextDelete_])) return;
  session_.stop(false);
}

void ReceivePhase::end(bool failed) {
  if (failed) {
    commitReceived();
    session_.stop(true);
  }
  result_.failed = failed;
  if (sink_.writeFailed()) {
    result_.diskFull = true;
    result_.failed = true;
    messages_.error(MessageNumber::ReceiveDiskFull);
  }
  finished_ = true;
}

}  // namespace zorvik::mailflow
