#include "mailflow/SearchFlow.h"

#include <chrono>

#include "core/SettingsItemTable.h"
#include "mailflow/Document.h"
#include "mailflow/StoreLock.h"
#include "search/SearchEnvironment.h"
#include "store/TrayFile.h"

namespace zorvik::mailflow {
namespace {

using core::MessageNumber;

// Progress that stays silent for the first second of a run, so that a
// search over a few trays does not flicker through the status line.
class LateProgress final : public core::Progress {
public:
  LateProgress(core::Progress& shown, const platform::Clock& clock)
      : shown_(shown), clock_(clock), from_(clock.now() + std::chrono::seconds(1)) {}

  void step(const std::string& text) override {
    if (clock_.now() >= from_) shown_.step(text);
  }

private:
  core::Progress& shown_;
  const platform::Clock& clock_;
  std::chrono::steady_clock::time_point from_;
};

}  // namespace

SearchFlow::SearchFlow(const Document& document, FrontEnd& front) : document_(document), front_(front) {}

SearchFlow::~SearchFlow() {
  abandoned_ = true;
  // The worker may be waiting for the owner to show it a box (a search that
  // cannot go on); the owner is this thread, now waiting for the worker, so
  // the box is answered unseen.
  const std::thread::id worker = worker_.get_id();
  while (running_.load()) {
    document_.messages().dismiss(worker);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (worker_.joinable()) worker_.join();
}

bool SearchFlow::backgroundWanted() const { return document_.settings().flag(core::item::kSearchInBackground); }

bool SearchFlow::stopRequested() const { return abandoned_.load() || front_.stop.requested(); }

search::SearchWalker& SearchFlow::freshWalker() {
  // The settings are read anew for every search: the user may have moved
  // the store or changed the time zone since the last one.
  walker_.emplace(search::SearchEnvironment::fromSettings(document_.settings(), document_.store()));
  lastHit_.reset();
  return *walker_;
}

SearchOutcome SearchFlow::refuse(core::MessageNumber message) {
  document_.messages().information(message);
  SearchOutcome outcome;
  outcome.refused = true;
  return outcome;
}

SearchOutcome SearchFlow::find(const search::SearchQuery& query, const search::SearchScope& scope) {
  if (!query.isComplete()) return refuse(MessageNumber::NoSearchText);
  freshWalker().start(query, scope);
  return step();
}

SearchOutcome SearchFlow::findNext() {
  if (!walker_ || !walker_->canContinue()) return refuse(MessageNumber::SearchCannotContinue);
  return step();
}

SearchOutcome SearchFlow::step() {
  SearchOutcome outcome;
  LateProgress progress(front_.progress, front_.clock);
  const auto stopAtHit = [&](const search::SearchHit& hit) {
    outcome.hit = hit;
    return false;
  };
  outcome.result = walker_->run(
      stopAtHit, false, [this] { return stopRequested(); }, progress);
  if (outcome.hit) lastHit_ = outcome.hit->row;
  if (outcome.result == search::SearchResult::Stopped)
    document_.messages().information(MessageNumber::SearchInterrupted);
  return outcome;
}

SearchOutcome SearchFlow::collect(const search::SearchQuery& query, const search::SearchScope& scope) {
  if (!query.isComplete()) return refuse(MessageNumber::NoSearchText);
  search::SearchWalker& walker = freshWalker();
  walker.start(query, scope);
  SearchOutcome outcome;
  LateProgress progress(front_.progress, front_.clock);
  outcome.result = walker.collect(
      outcome.collected, [this] { return stopRequested(); }, progress);
  if (outcome.result == search::SearchResult::Stopped)
    document_.messages().information(MessageNumber::SearchInterrupted);
  linkIntoResults(outcome);
  return outcome;
}

void SearchFlow::linkIntoResults(SearchOutcome& outcome) {
  if (outcome.collected.empty()) return;
  const auto lock = StoreLock::take(document_, StoreWork::StoreChange);
  if (!lock) return;
  const store::TrayFile results(document_.store(), document_.settings().text(core::item::kSearchResultsTray));
  std::optional<std::string> full;  // the first tray whose mail had no link left
  for (const search::SearchHit& hit : outcome.collected) {
    const store::LinkResult linked =
        store::TrayFile(document_.store(), hit.mail.tray).linkInto(hit.mail.index, results);
    if (linked == store::LinkResult::Done) ++outcome.linked;
    if (linked == store::LinkResult::LimitReached && !full) full = hit.mail.tray;
  }
  if (full) document_.messages().error(MessageNumber::TooManyLinks, {*full});
}

SearchOutcome SearchFlow::nextUnread(const search::SearchScope& walk, const std::string& tray,
                                     std::optional<std::uint32_t> mail) {
  const search::SearchQuery* under = walker_ ? walker_->query() : nullptr;
  const bool stillAtLastHit =
      under && under->unread && walker_->canContinue() && lastHit_ && mail && *lastHit_ == search::MailRef{tray, *mail};
  if (stillAtLastHit) return step();
  search::SearchScope scope = walk;
  if (!tray.empty()) {
    const std::uint32_t first = mail ? *mail + 1 : 0;
    scope = walk.trayOnly ? search::SearchScope::oneTray(tray, first)
                          : search::SearchScope::startingAt(walk.cabinet, tray, first);
  }
  search::SearchQuery query;
  query.unread = true;
  freshWalker().start(query, scope);
  return step();
}

SearchOutcome SearchFlow::each(const search::SearchQuery& query, const search::SearchScope& scope,
                               const std::function<void(const search::SearchHit&)>& visit) {
  if (!query.isComplete()) return refuse(MessageNumber::NoSearchText);
  search::SearchWalker& walker = freshWalker();
  walker.start(query, scope);
  SearchOutcome outcome;
  LateProgress progress(front_.progress, front_.clock);
  const auto goOn = [&](const search::SearchHit& hit) {
    visit(hit);
    return true;
  };
  outcome.result = walker.run(
      goOn, false, [this] { return stopRequested(); }, progress);
  if (outcome.result == search::SearchResult::Stopped)
    document_.messages().information(MessageNumber::SearchInterrupted);
  return outcome;
}

bool SearchFlow::inBackground(std::function<SearchOutcome(SearchFlow&)> work,
                              std::function<void(const SearchOutcome&)> finished) {
  if (running_.exchange(true)) return false;
  if (worker_.joinable()) worker_.join();  // the last worker has told its outcome already
  worker_ = std::thread([this, work = std::move(work), finished = std::move(finished)] {
    const SearchOutcome outcome = work(*this);
    running_ = false;
    finished(outcome);
  });
  return true;
}

}  // namespace zorvik::mailflow
