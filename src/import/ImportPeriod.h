/// \file
/// The import period of the import dialog ("取込期間"): which mails of a
/// mailbox are taken, by their Date.
///
///   0 全部   every mail
///   1 1ヶ月  since the same day of the previous month
///   2 3ヶ月  since the same day three months back
///   3 半年   since the same day six months back
///   4 1年    since the same day a year back
///
/// A mail without a readable Date is always taken: nothing says it is old.
#pragma once

#include <ctime>
#include <optional>
#include <string_view>

#include "store/BackupPeriod.h"

namespace zorvik::import {

class ImportPeriod {
public:
  static constexpr int kAll = 0;
  static constexpr int kLast = 4;

  /// The limit of `choice` (0-4); empty for another number.
  static std::optional<store::DateLimit> limit(int choice, std::time_t now, int zoneHours);
  /// The Date of a mail (the header's value, continuation lines joined);
  /// empty when it has none or it cannot be read.
  static std::optional<std::time_t> dateOf(std::string_view mail, int zoneHours);
  static bool admits(const store::DateLimit& limit, std::optional<std::time_t> date);
};

}  // namespace zorvik::import
