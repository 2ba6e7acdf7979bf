/// \file
/// The sorting rules of the store: each tray's keyword, expression and send
/// group, gathered into the order in which trays are tried.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/TrayName.h"

namespace zorvik::sorting {

struct SortRule {
  std::string trayPath;    // relative to the top cabinet; empty never matches
  std::string keyword;     // looked for in a mail's list tag
  std::string expression;  // a sorting expression
  std::string sendGroup;   // addresses of the tray's send group (To)
  std::uint32_t flags = 0; // the tray's flags word

  bool has(std::uint32_t flag) const { return (flags & flag) != 0; }
  /// The last component of the tray's path.
  std::string trayName() const;
};

/// Trays in the order sorting tries them: first those below the paths the
/// user listed (one per line, an empty line ends the list), then every other
/// tray of the store. Built anew for each sorting run.
struct SortRuleSet {
  std::vector<SortRule> priority;
  std::vector<SortRule> remaining;

  /// `order` is the user's list of cabinet and tray paths.
  static SortRuleSet build(const store::StoreLocation& store, std::string_view order);
};

/// The rule of one tray; empty when its properties cannot be read.
std::optional<SortRule> readSortRule(const store::StoreLocation& store, std::string_view trayPath);

}  // namespace zorvik::sorting
