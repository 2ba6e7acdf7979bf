/// \file
/// The choosing half of a sorting run: builds the rule set once for the
/// run, reads the mails of a tray range and chooses a tray for each, giving
/// the decisions that SortApplier carries out. Trays made from list tags on
/// the way are made here, so the next mail with the same tag finds its tray.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "message/MailRecordParser.h"
#include "sorting/SortApplier.h"
#include "sorting/SortEnvironment.h"
#include "sorting/SortRule.h"
#include "sorting/TrayChooser.h"

namespace zorvik::sorting {

class SortPlanner {
public:
  /// `environment` must outlive the planner. The rule set is built here.
  explicit SortPlanner(const SortEnvironment& environment);

  /// Decisions for the stored mails among records [first, first + count) of
  /// `tray` (deleted records and link rows are passed over, and fragments
  /// of split mails when `skipFragments`). Empty when the tray cannot be read.
  std::vector<SortDecision> plan(const std::string& tray, std::uint32_t first, std::uint32_t count, bool manual,
                                 bool skipFragments);

private:
  const SortEnvironment& environment_;
  message::MailRecordParser parser_;
  SortRuleSet rules_;
  TrayChooser chooser_;
};

}  // namespace zorvik::sorting
