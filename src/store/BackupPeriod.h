/// \file
/// The period choices of the backup, import and export dialogs as date
/// limits; a picked date is the start of a day (see parseDay). Backup keeps the old mails: its limit is the latest date a mail
/// may have. Import and export take the recent mails: their limit is the
/// earliest date. Dates are seconds since 1970 UTC; calendar boundaries are
/// taken in the user's zone.
///
/// Backup (settings item 133):
///   0 昨年分   mails up to the end of last year (before 1 January of this year)
///   1 一昨年   mails up to the end of the year before last
///   2 3年前    mails up to the end of the year three years back (before
///             1 January of the year before last)
///   3 全部     no limit
///   4 日付指定 mails up to the end of the picked day
/// Import and export (items 127 and 130):
///   0 3日      the last 3 days (now minus 72 hours)
///   1 1週間    the last 7 days
///   2 1ヶ月    since the same day of the previous month
///   3 3ヶ月    since the same day three months back
///   4 半年     since the same day six months back
///   5 1年      since the same day a year back
///   6 日付指定 since the start of the picked day
///   7 全部     no limit
/// A day that the earlier month lacks (31 March, one month back) becomes
/// that month's last day.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string_view>

namespace zorvik::store {

struct DateLimit {
  std::optional<std::int64_t> notAfter;   // mails dated later are left out
  std::optional<std::int64_t> notBefore;  // mails dated earlier are left out

  bool admits(std::int64_t date) const {
    return (!notAfter || date <= *notAfter) && (!notBefore || date >= *notBefore);
  }
};

class BackupPeriod {
public:
  static constexpr int kBackupAll = 3;
  static constexpr int kBackupPicked = 4;
  static constexpr int kMergePicked = 6;
  static constexpr int kMergeAll = 7;

  /// The limit of backup choice `choice` (0-4); empty for another number, or
  /// for the picked-date choice without `picked`.
  static std::optional<DateLimit> forBackup(int choice, std::time_t now, int zoneHours,
                                            std::optional<std::time_t> picked = {});
  /// The limit of import or export choice `choice` (0-7), as above.
  static std::optional<DateLimit> forMerge(int choice, std::time_t now, int zoneHours,
                                           std::optional<std::time_t> picked = {});

  /// The start of the day "YYYY-MM-DD" in the user's zone (a picked date);
  /// empty for any other text or an impossible day.
  static std::optional<std::time_t> parseDay(std::string_view text, int zoneHours);
};

}  // namespace zorvik::store
