#include "search/MailCriteria.h"

#include "core/SjisText.h"
#include "search/HeaderFields.h"

namespace zorvik::search {
namespace {

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day) {
  year -= month <= 2;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const auto yearOfEra = static_cast<unsigned>(year - era * 400);
  const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

bool fieldHolds(std::string_view header, const FieldCondition& condition) {
  bool found = false;
  forEachField(header, condition.field, [&](std::string_view value, std::size_t) {
    found = core::findSjis(value, condition.test.text) != std::string_view::npos;
    return !found;
  });
  return found == condition.test.contains;
}

}  // namespace

MailCriteria::MailCriteria(const SearchQuery& query, int zoneHours) : query_(query) {
  if (query_.unread) return;
  const SearchParameters& bar = query_.parameters;
  if (!bar.text.empty())
    text_.emplace(bar.text, FoldOptions{!bar.matchCase, bar.ignoreWidth, bar.ignoreKana}, bar.lineStart);
  const RefinedConditions& refined = query_.refined;
  if (refined.body) bodyCondition_.emplace(refined.body->text, FoldOptions{}, false);
  if (refined.since) since_ = startOf(*refined.since, zoneHours);
  if (refined.until) before_ = startOf(*refined.until, zoneHours) + 24 * 3600;
}

std::int64_t MailCriteria::startOf(const Day& day, int zoneHours) {
  return daysFromCivil(day.year, static_cast<unsigned>(day.month), static_cast<unsigned>(day.day)) * 24 * 3600 -
         static_cast<std::int64_t>(zoneHours) * 3600;
}

bool MailCriteria::passesRecord(const store::IndexRecord& record) const {
  if (query_.refined.markedOnly && record.mark() == 0) return false;
  if (since_ && record.date() < *since_) return false;
  if (before_ && record.date() >= *before_) return false;
  return true;
}

bool MailCriteria::passesHeader(std::string_view header) const {
  for (const FieldCondition& condition : query_.refined.fields)
    if (!fieldHolds(header, condition)) return false;
  return true;
}

}  // namespace zorvik::search
