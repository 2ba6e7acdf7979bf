#include "sorting/AutoSorter.h"

#include <chrono>

#include "core/SettingsFile.h"
#include "sorting/SortJournal.h"
#include "sorting/SortPlanner.h"
#include "sorting/SortingRunMark.h"

namespace zorvik::sorting {

AutoSorter::AutoSorter(SortEnvironment environment, core::Messages& messages, platform::Sound& sound,
                       const platform::Clock& clock, Wake wake)
    : environment_(std::move(environment)), messages_(messages), sound_(sound), clock_(clock), wake_(std::move(wake)) {}

AutoSorter::~AutoSorter() {
  if (worker_.joinable()) worker_.join();
  if (active_) SortingRunMark::clear();
}

bool AutoSorter::start(std::uint32_t first, std::uint32_t count, Finished finished) {
  if (active_ || !SortingRunMark::trySet()) return false;
  active_ = true;
  first_ = first;
  count_ = count;
  finished_ = std::move(finished);
  decisions_.clear();
  outcome_ = {};
  workerDone_ = false;
  if (environment_.threadLevel == SortThreadLevel::Inline) {
    choose();
    applyChosen();
    end();
    return true;
  }
  worker_ = std::thread([this] {
    choose();
    if (environment_.threadLevel == SortThreadLevel::AllOnWorker) applyChosen();
    workerDone_ = true;
    if (wake_) wake_();
  });
  return true;
}

bool AutoSorter::pump() {
  if (!active_) return true;
  if (!workerDone_) return false;
  worker_.join();
  if (environment_.threadLevel == SortThreadLevel::ChooseOnWorker) applyChosen();
  end();
  return true;
}

void AutoSorter::wait() {
  while (!pump()) {
    messages_.pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

std::optional<SortOutcome> AutoSorter::runToEnd(const SortEnvironment& environment, std::uint32_t first,
                                                std::uint32_t count, core::Messages& messages,
                                                platform::Sound& sound, const platform::Clock& clock) {
  AutoSorter sorter(environment, messages, sound, clock);
  std::optional<SortOutcome> outcome;
  if (!sorter.start(first, count, [&outcome](const SortOutcome& done) { outcome = done; })) return std::nullopt;
  sorter.wait();
  return outcome;
}

void AutoSorter::choose() {
  // A batch a killed run left half done is finished before anything is
  // read, or its mails would be chosen again while their copies exist.
  SortJournal(environment_.journalPath, environment_.store).recover();
  SortPlanner planner(environment_);
  decisions_ = planner.plan(environment_.newMailTray, first_, count_, false, true);
}

void AutoSorter::applyChosen() {
  SortApplier applier(environment_, messages_, sound_, clock_, false);
  outcome_ = applier.apply(environment_.newMailTray, std::move(decisions_));
  decisions_.clear();
}

void AutoSorter::end() {
  active_ = false;
  SortingRunMark::clear();
  Finished finished = std::move(finished_);
  finished_ = nullptr;
  if (finished) finished(outcome_);
}

}  // namespace zorvik::sorting
