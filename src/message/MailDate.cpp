#include "message/MailDate.h"

#include "core/SjisText.h"

#include <array>
#include <cstdio>
#include <cstdint>

namespace zorvik::message {
namespace {

constexpr std::array<std::string_view, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::array<std::string_view, 7> kWeekdays = {"Sun", "Mon", "Tue", "Wed",
                                                       "Thu", "Fri", "Sat"};
constexpr std::string_view kFullWidthSpace = "\x81\x40";
constexpr std::int64_t kSecondsPerDay = 86400;
constexpr std::size_t kShortestDate = 10;

// Zone names of RFC 822 besides the numeric form, and the one Japanese mail
// has always used. Any other name is read as UTC.
struct NamedZone {
  std::string_view name;
  int minutes;
};
constexpr std::array<NamedZone, 11> kNamedZones = {{{"JST", 540},
                                                    {"UT", 0},
                                                    {"GMT", 0},
                                                    {"EST", -300},
                                                    {"EDT", -240},
                                                    {"CST", -360},
                                                    {"CDT", -300},
                                                    {"MST", -420},
                                                    {"MDT", -360},
                                                    {"PST", -480},
                                                    {"PDT", -420}}};

bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Days since 1970-01-01 of a proleptic Gregorian date. Days past the end of
// the month run on into the next one ("31 Feb" is 3 March), as C's mktime
// has always read them.
std::int64_t daysFromCivil(std::int64_t year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

// Division rounding towards minus infinity, for times before 1970.
std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
  const std::int64_t quotient = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? quotient - 1 : quotient;
}

// Reads the fields the way a C scanf pattern of %d, %s and ":" would, but
// bounded by the text: numbers are clamped instead of overflowing and words
// are views, so no field can run past its buffer.
class FieldReader {
public:
  explicit FieldReader(std::string_view text) : text_(text) {}

  std::optional<int> number() {
    skipSpace();
    std::size_t i = pos_;
    const bool negative = i < text_.size() && text_[i] == '-';
    if (i < text_.size() && (text_[i] == '-' || text_[i] == '+')) ++i;
    if (i >= text_.size() || !isDigit(text_[i])) return std::nullopt;
    int value = 0;
    for (; i < text_.size() && isDigit(text_[i]); ++i)
      if (value < 100000000) value = value * 10 + (text_[i] - '0');
    pos_ = i;
    return negative ? -value : value;
  }

  std::optional<std::string_view> word() {
    skipSpace();
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !isSpace(text_[pos_])) ++pos_;
    if (pos_ == start) return std::nullopt;
    return text_.substr(start, pos_ - start);
  }

  bool literal(char c) {
    if (pos_ >= text_.size() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }

private:
  void skipSpace() {
    while (pos_ < text_.size() && isSpace(text_[pos_])) ++pos_;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

std::string_view skipBlanks(std::string_view text) {
  while (true) {
    if (!text.empty() && text.front() == ' ') {
      text.remove_prefix(1);
    } else if (text.starts_with(kFullWidthSpace)) {
      text.remove_prefix(kFullWidthSpace.size());
    } else {
      return text;
    }
  }
}

std::optional<int> monthNumber(std::string_view text) {
  if (text.size() < 3) return std::nullopt;
  for (std::size_t i = 0; i < kMonths.size(); ++i)
    if (core::equalsIgnoringAsciiCase(text.substr(0, 3), kMonths[i])) return static_cast<int>(i) + 1;
  return std::nullopt;
}

// The zone's offset east of UTC in minutes. Numbers are +hhmm / -hhmm; a
// name Zorvik does not know counts as UTC.
int zoneMinutes(std::string_view zone) {
  for (const NamedZone& named : kNamedZones)
    if (core::equalsIgnoringAsciiCase(zone, named.name)) return named.minutes;
  const std::optional<int> number = FieldReader(zone).number();
  if (!number) return 0;
  return *number / 100 * 60 + *number % 100;
}

struct DateFields {
  int day = 0, month = 0, year = 0, hour = 0, minute = 0, second = 0;
  std::optional<std::string_view> zone;

  bool valid() const {
    return month >= 1 && day >= 1 && day <= 31 && hour >= 0 && hour <= 23 && minute >= 0 &&
           minute <= 59 && second >= 0 && second <= 59 && year >= 1960 && year <= 2038;
  }
};

// "7 Dec 2026 09:30:00 +0900" after the optional weekday word.
std::optional<DateFields> readFields(FieldReader& reader) {
  DateFields fields;
  const auto day = reader.number();
  if (!day) return std::nullopt;
  const auto month = reader.word();
  if (!month) return std::nullopt;
  const auto year = reader.number();
  if (!year) return std::nullopt;
  const auto hour = reader.number();
  if (!hour || !reader.literal(':')) return std::nullopt;
  const auto minute = reader.number();
  if (!minute) return std::nullopt;
  fields.day = *day;
  fields.month = monthNumber(*month).value_or(0);
  fields.year = *year < 60 ? *year + 2000 : *year;
  if (fields.year < 1900) fields.year += 1900;
  fields.hour = *hour;
  fields.minute = *minute;
  // What follows the minute is either ":ss" (then the zone) or the zone.
  fields.zone = reader.word();
  if (fields.zone && fields.zone->starts_with(':')) {
    fields.second = FieldReader(fields.zone->substr(1)).number().value_or(0);
    fields.zone = reader.word();
  }
  return fields;
}

}  // namespace

std::optional<std::time_t> MailDate::tryParse(std::string_view text, int zoneHours) {
  text = skipBlanks(text);
  if (text.size() < kShortestDate) return std::nullopt;
  FieldReader reader(text);
  if (!isDigit(text.front()) && !reader.word()) return std::nullopt;
  const std::optional<DateFields> fields = readFields(reader);
  if (!fields || !fields->valid()) return std::nullopt;
  const int offsetMinutes = fields->zone ? zoneMinutes(*fields->zone) : zoneHours * 60;
  const std::int64_t days = daysFromCivil(fields->year, fields->month, fields->day);
  const std::int64_t seconds =
      days * kSecondsPerDay + fields->hour * 3600 + fields->minute * 60 + fields->second;
  return static_cast<std::time_t>(seconds - std::int64_t{offsetMinutes} * 60);
}

std::time_t MailDate::parse(std::string_view text, int zoneHours, std::time_t now) {
  return tryParse(text, zoneHours).value_or(now);
}

LocalTime MailDate::toLocal(std::time_t time, int zoneHours) {
  const std::int64_t local = static_cast<std::int64_t>(time) + std::int64_t{zoneHours} * 3600;
  const std::int64_t days = floorDiv(local, kSecondsPerDay);
  const std::int64_t secondOfDay = local - days * kSecondsPerDay;

  // Civil date from the day count (the inverse of daysFromCivil).
  const std::int64_t shifted = days + 719468;
  const std::int64_t era = floorDiv(shifted, 146097);
  const std::int64_t dayOfEra = shifted - era * 146097;
  const std::int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;

  LocalTime fields;
  fields.day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  fields.month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  fields.year = static_cast<int>(yearOfEra + era * 400 + (fields.month <= 2 ? 1 : 0));
  fields.hour = static_cast<int>(secondOfDay / 3600);
  fields.minute = static_cast<int>(secondOfDay / 60 % 60);
  fields.second = static_cast<int>(secondOfDay % 60);
  fields.weekday = static_cast<int>(((days + 4) % 7 + 7) % 7);  // 1970-01-01 was a Thursday
  return fields;
}

std::string MailDate::format(std::time_t time, int zoneHours) {
  const LocalTime local = toLocal(time, zoneHours);
  char text[64];
  std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d %+03d00",
                kWeekdays[static_cast<std::size_t>(local.weekday)].data(), local.day,
                kMonths[static_cast<std::size_t>(local.month - 1)].data(), local.year, local.hour,
                local.minute, local.second, zoneHours);
  return text;
}

}  // namespace zorvik::message
