/// \file
/// The search of the search bar, the refined search and "next unread": a
/// depth-first walk over the cabinets of a scope with one cursor per
/// cabinet level (its listing and the entry it stands at), testing the
/// mails of every tray it meets (TrayScan). The mail-server tray is never
/// searched; in a walk over cabinets, neither is a tray whose properties
/// leave it out of searches (the search-results tray and the trash are
/// made that way), though a tray searched alone always is.
///
/// Stepping (run with a sink that stops at the hit) leaves the walk where
/// the hit was, and the next run goes on just after it: at the next line
/// of the same mail. Between two runs no file is held open, so a tray the
/// user pauses in is never kept from a receive or a sort; the walk keeps
/// only names and numbers. The walk ends, and cannot be continued, at its
/// end (result 10) and when it is stopped (990).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/Progress.h"
#include "search/MailCriteria.h"
#include "search/SearchEnvironment.h"
#include "search/SearchHit.h"
#include "search/SearchQuery.h"
#include "search/SearchScope.h"
#include "search/TrayScan.h"
#include "store/TreeListing.h"

namespace zorvik::search {

class SearchWalker {
public:
  explicit SearchWalker(SearchEnvironment environment) : environment_(std::move(environment)) {}

  const SearchEnvironment& environment() const { return environment_; }

  /// A new walk of `query` over `scope`; whatever walk was under way ends.
  void start(const SearchQuery& query, const SearchScope& scope);
  /// True while a walk can go on: after start() and after a hit, not after
  /// its end or a stop.
  bool canContinue() const { return active_; }
  /// The query of the walk under way.
  const SearchQuery* query() const { return criteria_ ? &criteria_->query() : nullptr; }

  /// Walks on, telling `sink` of each hit, until the sink stops at one
  /// (its kind is returned), the walk ends (End) or `stop` asks before a
  /// mail (Stopped). With `onePerMail` a mail's first hit is its only
  /// one. Progress lines go to `progress`.
  SearchResult run(const HitSink& sink, bool onePerMail, const StopCheck& stop, core::Progress& progress);

  /// Walks to the end, gathering one hit per mail into `hits`: each mail
  /// once, however many link rows reach it. Returns End or Stopped (the
  /// hits found before the stop are kept).
  SearchResult collect(std::vector<SearchHit>& hits, const StopCheck& stop, core::Progress& progress);

  /// Ends the walk: nothing can be continued.
  void reset();

private:
  struct CabinetCursor {
    std::vector<store::TreeEntry> entries;
    std::size_t next = 0;
  };
  struct CurrentTray {
    std::string name;
    TrayScan::Position position;
  };

  CabinetCursor cursorOf(const std::string& cabinet) const;
  // Moves the top cursor past the cabinet or tray `path`.
  void positionAfter(const std::string& path, bool cabinet);
  // Steps the cursors to the next tray to search; false at the walk's end.
  bool advance();
  bool leftOut(const std::string& tray) const;

  SearchEnvironment environment_;
  std::optional<MailCriteria> criteria_;
  std::vector<CabinetCursor> stack_;
  std::optional<CurrentTray> current_;
  bool active_ = false;
};

}  // namespace zorvik::search
