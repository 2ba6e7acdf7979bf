#include "search/TrayScan.h"

#include <algorithm>
#include <vector>

#include "search/HeaderFields.h"
#include "search/MatchCursor.h"
#include "search/TextBlocks.h"
#include "store/RecordFlags.h"
#include "store/TrayIndex.h"
#include "store/TrayName.h"

namespace zorvik::search {
namespace {

constexpr std::uint32_t kRecordsPerRead = 771;

// Where the stored (not link) mails of a tray begin in its text file,
// deleted ones included, in file order: each mail's text ends where the
// next one begins.
std::vector<std::uint64_t> textStartsOf(const store::StoreLocation& store, const std::string& tray) {
  std::vector<std::uint64_t> starts;
  const auto index =
      store::TrayIndex::open(store::TrayName::path(store, tray, store::filetype::kIndex), platform::FileAccess::Read);
  if (!index) return starts;
  std::string block;
  for (std::uint32_t first = 0;;) {
    const std::uint32_t count = index->readBlock(first, kRecordsPerRead, block);
    if (count == 0) break;
    for (std::uint32_t i = 0; i < count; ++i) {
      const auto record = store::IndexRecord::fromBytes(block.data() + std::size_t{i} * store::IndexRecord::kSize);
      if (!record.isLink()) starts.push_back(record.textStart());
    }
    first += count;
  }
  std::sort(starts.begin(), starts.end());
  starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
  return starts;
}

}  // namespace

// A text file being searched, with the search string's and the body
// condition's places in it.
struct TrayScan::Source {
  Source(TextBlocks text, std::string tray, const MailCriteria& criteria)
      : blocks(std::move(text)), trayName(std::move(tray)) {
    if (criteria.text()) textMatches.emplace(*criteria.text());
    if (criteria.bodyCondition()) conditionMatches.emplace(*criteria.bodyCondition());
  }

  // Where the mail after the one at `textStart` begins (the end of the
  // file after the last). Mails are mostly asked for in file order, so the
  // answer is first looked for just after the last one.
  std::uint64_t nextStart(std::uint64_t textStart) {
    const auto follows = [&](std::size_t at) {
      return at < starts.size() && starts[at] > textStart && (at == 0 || starts[at - 1] <= textStart);
    };
    if (!follows(nextAt) && !follows(++nextAt))
      nextAt = static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), textStart) - starts.begin());
    return nextAt < starts.size() ? starts[nextAt] : UINT64_MAX;
  }

  TextBlocks blocks;
  std::string trayName;
  std::vector<std::uint64_t> starts;  // empty for a link target's file
  std::size_t nextAt = 0;             // where nextStart found the last answer
  std::optional<MatchCursor> textMatches;
  std::optional<MatchCursor> conditionMatches;
};

// Where one mail's parts lie in its text file.
struct TrayScan::Layout {
  std::uint64_t headerStart = 0;  // after the separator line
  std::uint64_t bodyStart = 0;
  std::uint64_t bodyEnd = 0;
  std::uint32_t bodyLines = 0;
};

TrayScan::TrayScan(const store::StoreLocation& store, const MailCriteria& criteria, std::string tray,
                   store::TrayReader reader)
    : store_(store), criteria_(criteria), tray_(std::move(tray)), reader_(std::move(reader)) {}

TrayScan::TrayScan(TrayScan&&) noexcept = default;
TrayScan::~TrayScan() = default;

std::optional<TrayScan> TrayScan::open(const store::StoreLocation& store, const MailCriteria& criteria,
                                       std::string tray) {
  auto reader = store::TrayReader::open(store, tray);
  if (!reader) return std::nullopt;
  return TrayScan(store, criteria, std::move(tray), std::move(*reader));
}

SearchResult TrayScan::run(Position& position, const HitSink& sink, bool onePerMail, const StopCheck& stop,
                           const std::function<void(std::uint32_t)>& tick) {
  reader_.seek(position.index);
  store::TrayRecord row;
  for (;;) {
    if (stop && stop()) return SearchResult::Stopped;
    if (reader_.nextMail(row) != store::ReadResult::Live) return SearchResult::End;
    // The mail to go on in may have been deleted since: then the next one
    // is searched from its start.
    if (row.index != position.index) position = {row.index, 0};
    if (tick) tick(row.index);
    std::uint64_t resumeAt = position.resumeAt;
    const auto hit = test(row, resumeAt);
    const bool wholeMail = !hit || onePerMail || hit->match.length == 0;
    position = wholeMail ? Position{row.index + 1, 0} : Position{row.index, resumeAt};
    if (!hit) continue;
    if (!sink(*hit)) return hit->kind;
    if (!wholeMail) reader_.seek(row.index);
  }
}

std::optional<SearchHit> TrayScan::test(const store::TrayRecord& row, std::uint64_t& resumeAt) {
  const store::IndexRecord& record = row.record;
  if (criteria_.query().unread) {
    if (record.hasFlag(store::recordflag::kOpened)) return std::nullopt;
    return hitOf(row, SearchResult::HeaderHit);
  }
  if (!criteria_.passesRecord(record)) return std::nullopt;
  if (!criteria_.readsText()) return hitOf(row, SearchResult::HeaderHit);
  Source* source = sourceOf(row);
  if (!source) return std::nullopt;
  const auto mail = layoutOf(row, *source);
  if (!mail) return std::nullopt;
  // Going on inside a mail, its conditions have held already.
  if (resumeAt == 0) {
    if (criteria_.testsHeader() && !criteria_.passesHeader(source->blocks.bytes(mail->headerStart, mail->bodyStart)))
      return std::nullopt;
    if (criteria_.bodyCondition() && !bodyConditionHolds(*source, *mail)) return std::nullopt;
    if (!criteria_.text()) return hitOf(row, SearchResult::HeaderHit);
  }
  return searchText(row, *source, *mail, resumeAt);
}

std::optional<SearchHit> TrayScan::searchText(const store::TrayRecord& row, Source& source, const Layout& mail,
                                              std::uint64_t& resumeAt) {
  const SearchParameters& bar = criteria_.query().parameters;
  const std::uint64_t from = std::max(mail.headerStart, resumeAt);
  const auto hitAt = [&](SearchResult kind, const FileMatch& found) {
    SearchHit hit = hitOf(row, kind);
    hit.line = std::string(source.blocks.bytes(found.lineStart, found.lineEnd));
    hit.match = {static_cast<std::size_t>(found.offset - found.lineStart), static_cast<std::size_t>(found.length)};
    resumeAt = found.lineEnd;
    return hit;
  };
  if (from < mail.bodyStart && bar.allHeaders) {
    if (const auto found = source.textMatches->first(source.blocks, from, mail.bodyStart))
      return hitAt(SearchResult::HeaderHit, *found);
  }
  if (from < mail.bodyStart && !bar.allHeaders && resumeAt == 0) {
    // The Subject alone: its text is the line a match may start at.
    std::optional<FileMatch> found;
    const std::string_view header = source.blocks.bytes(mail.headerStart, mail.bodyStart);
    forEachField(header, "Subject", [&](std::string_view value, std::size_t offset) {
      const auto match = criteria_.text()->find(value);
      if (!match) return true;
      const std::size_t previousEnd = header.rfind('\n', offset);
      const std::size_t lineStart = previousEnd == std::string_view::npos ? 0 : previousEnd + 1;
      found = FileMatch{mail.headerStart + offset + match->offset, match->length, mail.headerStart + lineStart,
                        mail.headerStart + offset + value.size()};
      return false;
    });
    if (found) return hitAt(SearchResult::HeaderHit, *found);
  }
  if (!bar.body) return std::nullopt;
  const auto found = source.textMatches->first(source.blocks, std::max(from, mail.bodyStart), mail.bodyEnd);
  if (!found) return std::nullopt;
  const std::uint64_t line = source.blocks.countLines(mail.bodyStart, found->lineStart, mail.bodyLines);
  if (line >= mail.bodyLines) return std::nullopt;  // past the body the record counts
  SearchHit hit = hitAt(SearchResult::BodyHit, *found);
  hit.bodyLine = static_cast<std::uint32_t>(line);
  return hit;
}

bool TrayScan::bodyConditionHolds(Source& source, const Layout& mail) {
  const auto found = source.conditionMatches->first(source.blocks, mail.bodyStart, mail.bodyEnd);
  const bool contained =
      found && source.blocks.countLines(mail.bodyStart, found->lineStart, mail.bodyLines) < mail.bodyLines;
  return contained == criteria_.bodyMustContain();
}

TrayScan::Source* TrayScan::sourceOf(const store::TrayRecord& row) {
  if (row.isLink()) {
    if (other_ && other_->trayName == row.linkTarget) return other_.get();
    other_.reset();
    if (!store::TrayName::isUsable(row.linkTarget)) return nullptr;
    auto text = TextBlocks::open(store::TrayName::path(store_, row.linkTarget, store::filetype::kText));
    if (!text) return nullptr;
    other_ = std::make_unique<Source>(std::move(*text), row.linkTarget, criteria_);
    return other_.get();
  }
  if (own_ || ownUnreadable_) return own_.get();
  auto text = TextBlocks::open(store::TrayName::path(store_, tray_, store::filetype::kText));
  if (!text) {
    ownUnreadable_ = true;
    return nullptr;
  }
  own_ = std::make_unique<Source>(std::move(*text), tray_, criteria_);
  own_->starts = textStartsOf(store_, tray_);
  return own_.get();
}

std::optional<TrayScan::Layout> TrayScan::layoutOf(const store::TrayRecord& row, Source& source) {
  const store::IndexRecord& record = row.record;
  const std::uint64_t size = source.blocks.size();
  const std::uint64_t textStart = record.textStart();
  Layout mail;
  mail.bodyStart = record.bodyStart();
  mail.bodyLines = record.bodyLineCount();
  if (textStart >= size || mail.bodyStart > size || mail.bodyStart < textStart) return std::nullopt;
  mail.headerStart = std::min(source.blocks.lineEnd(textStart), mail.bodyStart);
  if (source.starts.empty()) {
    mail.bodyEnd = source.blocks.skipLines(mail.bodyStart, mail.bodyLines);
    return mail;
  }
  const std::uint64_t next = source.nextStart(textStart);
  mail.bodyEnd = std::max(mail.bodyStart, std::min(next, size));
  return mail;
}

SearchHit TrayScan::hitOf(const store::TrayRecord& row, SearchResult kind) const {
  SearchHit hit;
  hit.kind = kind;
  hit.row = {tray_, row.index};
  hit.mail = row.isLink() ? MailRef{row.linkTarget, row.linkIndex} : hit.row;
  hit.line = std::string(row.record.subject());
  return hit;
}

}  // namespace zorvik::search
