#include "sorting/SortingRunMark.h"

#include <atomic>

namespace zorvik::sorting {
namespace {

std::atomic<bool> running{false};

}  // namespace

bool SortingRunMark::trySet() {
  bool expected = false;
  return running.compare_exchange_strong(expected, true);
}

void SortingRunMark::clear() { running.store(false); }

bool SortingRunMark::isSet() { return running.load(); }

}  // namespace zorvik::sorting
