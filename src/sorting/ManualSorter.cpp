#include "sorting/ManualSorter.h"

#include <limits>

#include "sorting/SortJournal.h"
#include "sorting/SortPlanner.h"

namespace zorvik::sorting {

ManualSorter::ManualSorter(const SortEnvironment& environment, core::Messages& messages, platform::Sound& sound,
                           const platform::Clock& clock, SortApplier::SameTrayNotice notice)
    : environment_(environment), messages_(messages), sound_(sound), clock_(clock), notice_(std::move(notice)) {}

SortOutcome ManualSorter::sort(const std::string& tray, std::optional<std::uint32_t> index) {
  SortJournal(environment_.journalPath, environment_.store).recover();
  SortPlanner planner(environment_);
  const std::uint32_t first = index.value_or(0);
  const std::uint32_t count = index ? 1 : std::numeric_limits<std::uint32_t>::max();
  std::vector<SortDecision> decisions = planner.plan(tray, first, count, true, false);
  SortApplier applier(environment_, messages_, sound_, clock_, true, notice_);
  return applier.apply(tray, std::move(decisions));
}

}  // namespace zorvik::sorting
