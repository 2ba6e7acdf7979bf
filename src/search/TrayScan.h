/// \file
/// The search inside one tray: its mails in record order from a position
/// on, each tested as the query says, the hits handed to a sink that
/// decides whether the scan goes on. The index is read through one reading
/// session, the text file in large blocks (TextBlocks), and the search
/// string is looked for block by block (MatchCursor), so a tray whose
/// mails follow one another in the file, as appending leaves them, is read
/// once from start to end.
///
/// The order of the tests for each mail: the mark and the days (from the
/// record), the header fields, the body condition, then the search string
/// in the header (every line, or the Subject alone) and in the body. A link
/// row is searched in the mail it points at. A mail whose text cannot be
/// read, or whose record points outside its text file, is passed over. The
/// text of a body goes as far as the record's body line count says, and
/// never past the start of the next mail in the file (deleted ones too).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "search/MailCriteria.h"
#include "search/SearchHit.h"
#include "store/StoreLocation.h"
#include "store/TrayReader.h"

namespace zorvik::search {

/// Told of each hit; false stops the scan at it.
using HitSink = std::function<bool(const SearchHit&)>;
/// Asked before each mail; true stops the scan.
using StopCheck = std::function<bool()>;

class TrayScan {
public:
  /// The next mail to test and, inside it, the offset of its text from
  /// which the search goes on (0: the whole mail).
  struct Position {
    std::uint32_t index = 0;
    std::uint64_t resumeAt = 0;
  };

  /// Opens `tray` for a search by `criteria` (which must outlive the
  /// scan); empty when its index cannot be read.
  static std::optional<TrayScan> open(const store::StoreLocation& store, const MailCriteria& criteria,
                                      std::string tray);
  TrayScan(TrayScan&&) noexcept;
  ~TrayScan();

  /// Tests the mails from `position` on. With `onePerMail` a mail's first
  /// hit is its only one. Returns the hit's kind when the sink stopped the
  /// scan (`position` is then just after the hit), End after the last
  /// mail, Stopped when `stop` asked before a mail. `tick` is told of each
  /// mail tested, with its index.
  SearchResult run(Position& position, const HitSink& sink, bool onePerMail, const StopCheck& stop,
                   const std::function<void(std::uint32_t)>& tick);

private:
  struct Source;
  struct Layout;

  TrayScan(const store::StoreLocation& store, const MailCriteria& criteria, std::string tray, store::TrayReader reader);
  // The hit of mail `row` from `resumeAt` on, if it has one; `resumeAt`
  // is moved past it.
  std::optional<SearchHit> test(const store::TrayRecord& row, std::uint64_t& resumeAt);
  std::optional<SearchHit> searchText(const store::TrayRecord& row, Source& source, const Layout& mail,
                                      std::uint64_t& resumeAt);
  bool bodyConditionHolds(Source& source, const Layout& mail);
  Source* sourceOf(const store::TrayRecord& row);
  std::optional<Layout> layoutOf(const store::TrayRecord& row, Source& source);
  SearchHit hitOf(const store::TrayRecord& row, SearchResult kind) const;

  const store::StoreLocation& store_;
  const MailCriteria& criteria_;
  std::string tray_;
  store::TrayReader reader_;
  std::unique_ptr<Source> own_;    // the tray's text file, opened when first needed
  std::unique_ptr<Source> other_;  // the text file of the last link target read
  bool ownUnreadable_ = false;
};

}  // namespace zorvik::search
