#include "sorting/SortPlanner.h"

#include "sorting/StoredMailReader.h"
#include "store/TrayFile.h"

namespace zorvik::sorting {

SortPlanner::SortPlanner(const SortEnvironment& environment)
    : environment_(environment),
      parser_(environment.parse),
      rules_(SortRuleSet::build(environment.store, environment.order)),
      chooser_(environment.store, environment.rules, [this](const std::string& name) {
        return store::TrayFile(environment_.store, name).createInheriting();
      }) {}

std::vector<SortDecision> SortPlanner::plan(const std::string& tray, std::uint32_t first, std::uint32_t count,
                                            bool manual, bool skipFragments) {
  std::vector<SortDecision> decisions;
  const StoredMailReader reader(environment_.store, parser_);
  reader.read(tray, first, count, skipFragments,
              [&](std::uint32_t index, const store::IndexRecord& stored, message::MailRecord& mail) {
                SortChoice choice = chooser_.choose(rules_, mail, manual);
                decisions.push_back({index, StoredMailReader::identity(stored), std::move(mail), std::move(choice)});
              });
  return decisions;
}

}  // namespace zorvik::sorting
