#include "sorting/SortRule.h"

#include <set>

#include "platform/FileSystem.h"
#include "store/TrayFile.h"
#include "store/TreeListing.h"

namespace zorvik::sorting {
namespace {

// The trays at or below `path`, in directory order.
std::vector<std::string> traysUnder(const store::StoreLocation& store, const std::string& path) {
  std::vector<std::string> trays;
  if (!store::isCabinet(store, path)) {
    if (store::TrayFile(store, path).exists()) trays.push_back(path);
    return trays;
  }
  store::walkTree(store, path, [&trays](const store::TreeEntry& entry) {
    if (!entry.isCabinet) trays.push_back(entry.path);
  });
  return trays;
}

void addRules(const store::StoreLocation& store, const std::vector<std::string>& trays,
              std::set<std::string>& seen, std::vector<SortRule>& into) {
  for (const std::string& tray : trays) {
    if (!seen.insert(tray).second) continue;
    if (auto rule = readSortRule(store, tray)) into.push_back(std::move(*rule));
  }
}

}  // namespace

std::string SortRule::trayName() const { return platform::fileNameOf(trayPath); }

std::optional<SortRule> readSortRule(const store::StoreLocation& store, std::string_view trayPath) {
  const auto properties = store::TrayFile(store, std::string(trayPath)).properties();
  if (!properties) return std::nullopt;
  return SortRule{std::string(trayPath), properties->sortKeyword, properties->sortExpression,
                  properties->sendGroupTo, properties->flags};
}

SortRuleSet SortRuleSet::build(const store::StoreLocation& store, std::string_view order) {
  SortRuleSet set;
  std::set<std::string> seen;
  while (!order.empty()) {
    const auto end = order.find('\n');
    std::string_view line = order.substr(0, end);
    order = end == std::string_view::npos ? std::string_view{} : order.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) break;
    addRules(store, traysUnder(store, std::string(line)), seen, set.priority);
  }
  addRules(store, traysUnder(store, ""), seen, set.remaining);
  return set;
}

}  // namespace zorvik::sorting
