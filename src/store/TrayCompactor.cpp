#include "store/TrayCompactor.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/FileLock.h"
#include "store/IndexRecord.h"
#include "store/TrayIndex.h"

namespace zorvik::store {
namespace {

using platform::FileAccess;

struct Move {
  std::uint32_t oldIndex;
  std::uint32_t newIndex;
};

// Byte range [start, end) of the text file, in the file's original offsets.
struct Range {
  std::uint64_t start;
  std::uint64_t end;
};

struct Plan {
  std::string records;         // the kept records, offsets already moved
  std::vector<Range> removed;  // text to remove, in file order
  std::uint64_t textEnd = 0;   // original offset where the kept text ends
  std::vector<Move> moves;
};

// Every record that refers to text must lie in text order and inside the
// file; compaction moves text by these offsets and would otherwise cut
// live mails apart.
bool inTextOrder(const std::vector<IndexRecord>& records, std::uint64_t textLength) {
  std::uint64_t previous = 0;
  for (const auto& record : records) {
    if (record.isLink()) continue;
    if (record.textStart() < previous || record.textStart() > textLength) return false;
    if (!record.isDeleted() && (record.bodyStart() < record.textStart() || record.bodyStart() > textLength))
      return false;
    previous = record.textStart();
  }
  return true;
}

Plan makePlan(const std::vector<IndexRecord>& records, std::uint64_t textLength) {
  Plan plan;
  std::uint64_t shift = 0;
  std::uint64_t gapStart = 0;
  bool inGap = false;
  std::uint32_t removed = 0;
  for (std::uint32_t j = 0; j < records.size(); ++j) {
    IndexRecord record = records[j];
    if (record.isDeleted()) {
      if (!record.isLink() && !inGap) {
        gapStart = record.textStart();
        inGap = true;
      }
      ++removed;
      continue;
    }
    if (!record.isLink()) {
      if ((inGap || j == 0) && record.textStart() != gapStart) {
        plan.removed.push_back({gapStart, record.textStart()});
        shift += record.textStart() - gapStart;
      }
      inGap = false;
      if (shift != 0) {
        record.setTextStart(static_cast<std::uint32_t>(record.textStart() - shift));
        record.setBodyStart(static_cast<std::uint32_t>(record.bodyStart() - shift));
      }
    }
    if (record.referenceCount() > 0 && removed > 0) plan.moves.push_back({j, j - removed});
    plan.records += record.bytes();
  }
  plan.textEnd = inGap ? gapStart : textLength;
  return plan;
}

// Reads the kept text in large blocks, joins it in memory and writes it
// back in large blocks. Each byte lands at or before where it was read, and
// what is written comes only from blocks already read, so the writes never
// reach text that is still to be read.
class TextMover {
public:
  TextMover(const platform::FileLock& text, std::uint64_t to) : text_(text), to_(to) {
    out_.reserve(kBlock);
  }

  // Appends [start, end) of the original file, reading no further than
  // `readLimit`.
  bool keep(std::uint64_t start, std::uint64_t end, std::uint64_t readLimit) {
    while (start < end) {
      if (start < inStart_ || start >= inStart_ + in_.size()) {
        if (!read(start, readLimit)) return false;
      }
      const std::uint64_t inEnd = inStart_ + in_.size();
      const std::size_t count = static_cast<std::size_t>(std::min(end, inEnd) - start);
      out_.append(in_, static_cast<std::size_t>(start - inStart_), count);
      start += count;
      if (out_.size() >= kBlock && !flush()) return false;
    }
    return true;
  }

  // Writes what is left and cuts the file after it.
  bool finish() { return flush() && text_.resize(to_); }

private:
  static constexpr std::size_t kBlock = std::size_t{1} << 20;

  bool read(std::uint64_t start, std::uint64_t readLimit) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, readLimit - start));
    in_.resize(want);
    const auto got = text_.readAt(start, in_.data(), want);
    inStart_ = start;
    return got && *got == want;
  }

  bool flush() {
    if (out_.empty()) return true;
    if (!text_.writeAt(to_, out_)) return false;
    to_ += out_.size();
    out_.clear();
    return true;
  }

  const platform::FileLock& text_;
  std::uint64_t to_;
  std::string in_;
  std::uint64_t inStart_ = 0;
  std::string out_;
};

// Moves the kept text down over the removed ranges and cuts the file. The
// text before the first removed range stays where it is.
bool applyToText(const platform::FileLock& text, const Plan& plan) {
  if (plan.removed.empty()) return text.resize(plan.textEnd);
  const std::uint64_t readLimit = std::max(plan.removed.back().end, plan.textEnd);
  TextMover mover(text, plan.removed.front().start);
  for (std::size_t i = 0; i < plan.removed.size(); ++i) {
    const std::uint64_t end = i + 1 < plan.removed.size() ? plan.removed[i + 1].start : readLimit;
    if (!mover.keep(plan.removed[i].end, end, readLimit)) return false;
  }
  return mover.finish();
}

}  // namespace

bool TrayCompactor::compact(std::string_view name, CompactionListener* listener) const {
  if (!TrayName::isUsable(name)) return false;
  const std::string indexPath = TrayName::path(store_, name, filetype::kIndex);
  const std::string textPath = TrayName::path(store_, name, filetype::kText);
  if (store_.writeCheck && (!store_.writeCheck(indexPath) || !store_.writeCheck(textPath))) return false;
  std::vector<Move> moves;
  {
    auto index = TrayIndex::open(indexPath, FileAccess::Update);
    if (!index) return false;
    auto text = platform::FileLock::open(textPath, FileAccess::Create);
    const auto textLength = text ? text->size() : std::nullopt;
    if (!textLength) return false;

    std::vector<IndexRecord> records;
    records.reserve(index->recordCount());
    std::string block;
    for (std::uint32_t first = 0; first < index->recordCount();) {
      const std::uint32_t got = index->readBlock(first, 4096, block);
      if (got == 0) return false;
      for (std::uint32_t i = 0; i < got; ++i)
        records.push_back(IndexRecord::fromBytes(block.data() + static_cast<std::size_t>(i) * IndexRecord::kSize));
      first += got;
    }
    if (!inTextOrder(records, *textLength)) return false;

    Plan plan = makePlan(records, *textLength);
    if (!applyToText(*text, plan)) return false;
    const std::uint32_t kept = static_cast<std::uint32_t>(plan.records.size() / IndexRecord::kSize);
    if (!index->file().writeAt(index->positionOf(0), plan.records) || !index->keepRecords(kept)) return false;
    moves = std::move(plan.moves);
  }
  if (listener) {
    for (const auto& move : moves) listener->recordMoved(name, move.oldIndex, move.newIndex);
  }
  return true;
}

}  // namespace zorvik::store
