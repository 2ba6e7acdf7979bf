/// \file
/// What one search looks for: the search bar's string and switches, the
/// conditions of the refined search, or the next unread mail. Plain data,
/// filled by a front end; MailCriteria turns it into tests.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zorvik::search {

/// The search bar.
struct SearchParameters {
  std::string text;          // Shift_JIS; empty: the refined conditions alone decide
  bool allHeaders = true;    // every header line; otherwise the Subject only
  bool body = true;          // the body lines too
  bool lineStart = false;    // only at the start of a line (of the Subject's text)
  bool matchCase = false;    // otherwise single-byte letters match either case
  bool ignoreWidth = false;  // ＡＢＣ finds ABC, ｶﾀｶﾅ finds カタカナ
  bool ignoreKana = false;   // ひらがな finds ヒラガナ
};

/// "含む" (contains) or "含まない" (does not contain) a text, exactly (letter
/// case counts, matches start on a character boundary).
struct TextCondition {
  std::string text;  // Shift_JIS
  bool contains = true;
};

/// A condition on one header field ("From", "To", "Subject", "X-Mailer",
/// ...; the name without its colon, compared without regard to case). A
/// mail without the field does not contain the text.
struct FieldCondition {
  std::string field;
  TextCondition test;
};

/// A day of the calendar, in the user's time zone.
struct Day {
  int year = 0;
  int month = 0;
  int day = 0;
};

/// The refined search. Every condition given must hold; with none given
/// (and no text) every mail is a hit.
struct RefinedConditions {
  std::vector<FieldCondition> fields;
  std::optional<TextCondition> body;
  std::optional<Day> since;  // mails dated before this day are passed over
  std::optional<Day> until;  // mails dated after this day are passed over
  bool markedOnly = false;   // mails without a mark are passed over

  bool any() const { return !fields.empty() || body || since || until || markedOnly; }
};

struct SearchQuery {
  SearchParameters parameters;
  RefinedConditions refined;
  /// The next unread mail instead of a text: the first mail not yet
  /// opened is the hit; text and conditions are not used.
  bool unread = false;

  /// A query that can find something: an unread search, a text, or a
  /// refined condition.
  bool isComplete() const { return unread || !parameters.text.empty() || refined.any(); }
};

}  // namespace zorvik::search
