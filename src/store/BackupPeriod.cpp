#include "store/BackupPeriod.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace zorvik::store {
namespace {

constexpr std::int64_t kDay = 24 * 60 * 60;

// The calendar fields of `now` in the user's zone.
std::tm localFields(std::time_t now, int zoneHours) {
  const std::time_t shifted = now + static_cast<std::time_t>(zoneHours) * 3600;
  std::tm fields{};
  gmtime_r(&shifted, &fields);
  return fields;
}

std::int64_t fromLocal(std::tm fields, int zoneHours) {
  return static_cast<std::int64_t>(timegm(&fields)) - static_cast<std::int64_t>(zoneHours) * 3600;
}

int daysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 1 && leap ? 29 : kDays[month];
}

// One second before 1 January, 00:00, of the year `yearsBack` before now's.
std::int64_t endOfYearBefore(std::time_t now, int zoneHours, int yearsBack) {
  std::tm fields = localFields(now, zoneHours);
  fields.tm_year -= yearsBack;
  fields.tm_mon = 0;
  fields.tm_mday = 1;
  fields.tm_hour = fields.tm_min = fields.tm_sec = 0;
  return fromLocal(fields, zoneHours) - 1;
}

std::int64_t monthsBack(std::time_t now, int zoneHours, int months) {
  std::tm fields = localFields(now, zoneHours);
  const int total = fields.tm_year * 12 + fields.tm_mon - months;
  fields.tm_year = total / 12;
  fields.tm_mon = total % 12;
  fields.tm_mday = std::min(fields.tm_mday, daysInMonth(fields.tm_year + 1900, fields.tm_mon));
  return fromLocal(fields, zoneHours);
}

}  // namespace

std::optional<DateLimit> BackupPeriod::forBackup(int choice, std::time_t now, int zoneHours,
                                                 std::optional<std::time_t> picked) {
  switch (choice) {
    case 0:
    case 1:
    case 2: return DateLimit{endOfYearBefore(now, zoneHours, choice), std::nullopt};
    case kBackupAll: return DateLimit{};
    case kBackupPicked:
      if (!picked) return std::nullopt;
      return DateLimit{static_cast<std::int64_t>(*picked) + kDay - 1, std::nullopt};
    default: return std::nullopt;
  }
}

std::optional<DateLimit> BackupPeriod::forMerge(int choice, std::time_t now, int zoneHours,
                                                std::optional<std::time_t> picked) {
  switch (choice) {
    case 0: return DateLimit{std::nullopt, static_cast<std::int64_t>(now) - 3 * kDay};
    case 1: return DateLimit{std::nullopt, static_cast<std::int64_t>(now) - 7 * kDay};
    case 2: return DateLimit{std::nullopt, monthsBack(now, zoneHours, 1)};
    case 3: return DateLimit{std::nullopt, monthsBack(now, zoneHours, 3)};
    case 4: return DateLimit{std::nullopt, monthsBack(now, zoneHours, 6)};
    case 5: return DateLimit{std::nullopt, monthsBack(now, zoneHours, 12)};
    case kMergePicked:
      if (!picked) return std::nullopt;
      return DateLimit{std::nullopt, static_cast<std::int64_t>(*picked)};
    case kMergeAll: return DateLimit{};
    default: return std::nullopt;
  }
}

std::optional<std::time_t> BackupPeriod::parseDay(std::string_view text, int zoneHours) {
  int year = 0;
  int month = 0;
  int day = 0;
  char rest = 0;
  const std::string copy(text);
  if (text.size() != 10 || std::sscanf(copy.c_str(), "%4d-%2d-%2d%c", &year, &month, &day, &rest) != 3) return std::nullopt;
  if (year < 1970 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month - 1)) return std::nullopt;
  std::tm fields{};
  fields.tm_year = year - 1900;
  fields.tm_mon = month - 1;
  fields.tm_mday = day;
  return static_cast<std::time_t>(fromLocal(fields, zoneHours));
}

}  // namespace zorvik::store
