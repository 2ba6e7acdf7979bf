#include "mailflow/SortFlow.h"

#include "core/SettingsItemTable.h"
#include "mailflow/Document.h"
#include "mailflow/StoreLock.h"
#include "mailflow/WorkFileIntake.h"
#include "sorting/AutoSorter.h"
#include "sorting/ManualSorter.h"
#include "sorting/SortEnvironment.h"

namespace zorvik::mailflow {
namespace {

sorting::SortEnvironment environmentOf(const Document& document) {
  return sorting::SortEnvironment::fromSettings(document.settings(), document.store());
}

std::optional<sorting::SortOutcome> sortRange(const Document& document, FrontEnd& front, std::uint32_t first,
                                              std::uint32_t count) {
  return sorting::AutoSorter::runToEnd(environmentOf(document), first, count, document.messages(), front.sound,
                                       front.clock);
}

}  // namespace

std::optional<sorting::SortOutcome> SortFlow::afterIntake(const Document& document, FrontEnd& front,
                                                          const Intake& intake) {
  if (!document.settings().flag(core::item::kAutoSort) || intake.sortCount() == 0) return std::nullopt;
  return sortRange(document, front, intake.sortFirst(), intake.sortCount());
}

std::optional<sorting::SortOutcome> SortFlow::newMail(const Document& document, FrontEnd& front,
                                                      std::uint32_t first, std::uint32_t count) {
  const auto lock = StoreLock::take(document, StoreWork::Sort);
  if (!lock) return std::nullopt;
  return sortRange(document, front, first, count);
}

std::optional<sorting::SortOutcome> SortFlow::tray(const Document& document, FrontEnd& front,
                                                   const std::string& tray, std::optional<std::uint32_t> index,
                                                   sorting::SortApplier::SameTrayNotice notice) {
  const auto lock = StoreLock::take(document, StoreWork::Sort);
  if (!lock) return std::nullopt;
  const sorting::SortEnvironment environment = environmentOf(document);
  sorting::ManualSorter sorter(environment, document.messages(), front.sound, front.clock, std::move(notice));
  return sorter.sort(tray, index);
}

}  // namespace zorvik::mailflow
