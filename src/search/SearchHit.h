/// \file
/// What a search run ends with, and what it found.
#pragma once

#include <cstdint>
#include <string>

#include "search/TextMatcher.h"

namespace zorvik::search {

/// How a run ended; the numbers are the ones the search commands report.
enum class SearchResult : int {
  End = 10,        // the walk reached its end without a further hit
  HeaderHit = 20,  // a hit in the header (or a mail that meets the conditions)
  BodyHit = 30,    // a hit in the body
  Stopped = 990,   // the user stopped the run
};

/// A mail of a tray, by tray name and record index.
struct MailRef {
  std::string tray;
  std::uint32_t index = 0;

  bool operator==(const MailRef&) const = default;
  auto operator<=>(const MailRef&) const = default;
};

struct SearchHit {
  SearchResult kind = SearchResult::HeaderHit;
  MailRef row;   // the row in the tray walked, as its list shows it
  MailRef mail;  // where the mail is stored: a link's target, else the row
  /// The line the match is on (Shift_JIS, without its line end) and where
  /// in it; for a hit without a match (next unread, conditions alone) the
  /// mail's Subject as its record holds it, with an empty match.
  std::string line;
  Match match;
  std::uint32_t bodyLine = 0;  // for a body hit: which line of the body (0 the first)
};

}  // namespace zorvik::search
