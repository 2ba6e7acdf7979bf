/// \file
/// The median of a benchmark's runs: on a machine shared with other work a
/// single slow run must not decide a ratio. Header-only, for every bench
/// program.
#pragma once

#include <algorithm>
#include <vector>

namespace zorvik::bench {

inline double median(std::vector<double> runs) {
  if (runs.empty()) return 0;
  std::sort(runs.begin(), runs.end());
  const std::size_t middle = runs.size() / 2;
  return runs.size() % 2 == 1 ? runs[middle] : (runs[middle - 1] + runs[middle]) / 2;
}

}  // namespace zorvik::bench
