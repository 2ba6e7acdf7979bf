/// \file
/// The options of `search` as a script gives them: the search bar's
/// switches, the refined conditions, the scope and --collect.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "search/SearchQuery.h"

namespace zorvik::cli {

/// A search as the command line asks for it.
struct SearchRequest {
  search::SearchQuery query;
  std::optional<std::string> cabinet;
  std::optional<std::string> tray;
  bool collect = false;
};

/// The request of `args`; empty on a usage error (an unknown option, an
/// option without its value, two texts, a date that is no date).
std::optional<SearchRequest> parseSearchOptions(const std::vector<std::string>& args);

}  // namespace zorvik::cli
