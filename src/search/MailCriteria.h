/// \file
/// A SearchQuery made ready to test mails: the search string and the body
/// condition as matchers, the days as bounds in seconds, and the tests
/// that need only a mail's record or its header. Built once per run and
/// shared by every tray of it.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "search/SearchQuery.h"
#include "search/TextMatcher.h"
#include "store/IndexRecord.h"

namespace zorvik::search {

class MailCriteria {
public:
  /// `zoneHours`: the user's offset from UTC, for the days of the query.
  MailCriteria(const SearchQuery& query, int zoneHours);

  const SearchQuery& query() const { return query_; }
  /// The search string, when one is searched for.
  const TextMatcher* text() const { return text_ ? &*text_ : nullptr; }
  /// The body condition's text (matched exactly), when there is one.
  const TextMatcher* bodyCondition() const { return bodyCondition_ ? &*bodyCondition_ : nullptr; }
  bool bodyMustContain() const { return query_.refined.body && query_.refined.body->contains; }

  /// The tests on the record alone: the mark and the days.
  bool passesRecord(const store::IndexRecord& record) const;
  /// True when the header fields must be read for passesHeader.
  bool testsHeader() const { return !query_.refined.fields.empty(); }
  /// Every field condition, on the mail's header block.
  bool passesHeader(std::string_view header) const;
  /// True when a mail's text must be read at all.
  bool readsText() const { return text_ || testsHeader() || bodyCondition_; }

  /// The first second of `day` in a zone `zoneHours` east of UTC.
  static std::int64_t startOf(const Day& day, int zoneHours);

private:
  SearchQuery query_;
  std::optional<TextMatcher> text_;
  std::optional<TextMatcher> bodyCondition_;
  std::optional<std::int64_t> since_;   // first second taken
  std::optional<std::int64_t> before_;  // first second no longer taken
};

}  // namespace zorvik::search
