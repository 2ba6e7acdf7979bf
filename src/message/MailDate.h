/// \file
/// The Date header value: reading the many shapes real mail carries
/// ("Mon, 7 Dec 2026 09:30:00 +0900", "7 Dec 02 9:30 JST", ...) and writing
/// the one shape Zorvik sends. Times are seconds since 1970-01-01 00:00 UTC;
/// "local" means shifted by the user's zone offset in whole hours (settings
/// value "JST-9" gives 9), never by the process's TZ, so results do not
/// depend on the machine.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace zorvik::message {

/// A time value broken into local calendar fields (month 1-12, weekday
/// 0 = Sunday).
struct LocalTime {
  int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0, weekday = 4;
};

class MailDate {
public:
  /// Reads a Date value: optional weekday word, day, month name, year (two
  /// digits: below 60 means 20xx, otherwise 19xx), hour:minute[:second] and a
  /// zone ("+0900", "-0330", "JST", RFC 822 names such as "EST" or "GMT"; an
  /// unknown name means UTC). Without a zone the fields are taken as the
  /// user's local time, `zoneHours` east of UTC. Nothing when the value is
  /// shorter than 10 bytes after leading blanks (ASCII and full-width), or a
  /// field is missing or out of range (years 1960-2038, which is what the
  /// 32-bit date of a stored mail can hold).
  static std::optional<std::time_t> tryParse(std::string_view text, int zoneHours);

  /// tryParse, with `now` standing in for a value that cannot be read: a
  /// broken Date never stops a mail from being stored.
  static std::time_t parse(std::string_view text, int zoneHours, std::time_t now);

  /// "Mon, 07 Dec 2026 09:30:00 +0900": the time in the user's zone, followed
  /// by that zone's offset.
  static std::string format(std::time_t time, int zoneHours);

  /// The calendar fields of `time` in the zone `zoneHours` east of UTC.
  static LocalTime toLocal(std::time_t time, int zoneHours);
};

}  // namespace zorvik::message
