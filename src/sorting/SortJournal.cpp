#include "sorting/SortJournal.h"

#include <charconv>
#include <map>
#include <optional>

#include "platform/FileSystem.h"
#include "sorting/StoredMailReader.h"
#include "store/LinkMaintenance.h"
#include "store/OperationStep.h"
#include "store/TrayFile.h"
#include "store/TrayReader.h"

namespace zorvik::sorting {
namespace {

struct JournalMail {
  std::uint32_t index = 0;
  std::uint32_t textStart = 0;
};

struct Batch {
  std::string source;
  std::string destination;
  std::uint32_t recordsBefore = 0;
  std::vector<JournalMail> mails;
};

std::optional<std::uint32_t> numberOf(std::string_view text) {
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::vector<std::string_view> linesOf(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const auto end = text.find("\r\n");
    lines.push_back(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 2);
  }
  return lines;
}

// A journal that does not parse was cut by the kill that it was meant to
// survive; it was written atomically, so that only happens to a foreign file.
std::optional<Batch> parse(std::string_view text) {
  const auto lines = linesOf(text);
  if (lines.size() < 3) return std::nullopt;
  Batch batch{std::string(lines[0]), std::string(lines[1]), 0, {}};
  const auto before = numberOf(lines[2]);
  if (!before) return std::nullopt;
  batch.recordsBefore = *before;
  for (std::size_t i = 3; i < lines.size(); ++i) {
    const auto space = lines[i].find(' ');
    if (space == std::string_view::npos) return std::nullopt;
    const auto index = numberOf(lines[i].substr(0, space));
    const auto offset = numberOf(lines[i].substr(space + 1));
    if (!index || !offset) return std::nullopt;
    batch.mails.push_back({*index, *offset});
  }
  return batch;
}

// The identities of the live stored mails the batch may have appended.
std::vector<std::pair<std::string, std::uint32_t>> appendedCopies(const store::StoreLocation& store,
                                                                  const Batch& batch) {
  std::vector<std::pair<std::string, std::uint32_t>> copies;
  auto reader = store::TrayReader::open(store, batch.destination);
  if (!reader) return copies;
  store::TrayRecord stored;
  for (std::uint32_t at = batch.recordsBefore; at < reader->recordCount(); ++at) {
    if (reader->read(at, stored) == store::ReadResult::Live && !stored.isLink())
      copies.emplace_back(StoredMailReader::identity(stored.record), at);
  }
  return copies;
}

// An original still live beside its copy: the move was cut before the
// original was marked deleted.
struct Twin {
  std::uint32_t original = 0;
  std::uint32_t copy = 0;
  bool referenced = false;
};

std::vector<Twin> twinsOf(const store::StoreLocation& store, const Batch& batch) {
  std::vector<Twin> twins;
  const auto copies = appendedCopies(store, batch);
  if (copies.empty()) return twins;
  auto reader = store::TrayReader::open(store, batch.source);
  if (!reader) return twins;
  std::size_t next = 0;  // copies were appended in the order of the batch
  store::TrayRecord stored;
  for (const JournalMail& mail : batch.mails) {
    if (reader->read(mail.index, stored) != store::ReadResult::Live || stored.isLink() ||
        stored.record.textStart() != mail.textStart)
      continue;
    const std::string key = StoredMailReader::identity(stored.record);
    std::size_t at = next;
    while (at < copies.size() && copies[at].first != key) ++at;
    if (at == copies.size()) continue;  // never copied: the mail stays
    next = at + 1;
    twins.push_back({mail.index, copies[at].second, stored.record.referenceCount() > 0});
  }
  return twins;
}

}  // namespace

bool SortJournal::begin(const std::string& source, const std::vector<std::uint32_t>& indices,
                        const std::string& destination) const {
  const auto before = store::TrayFile(store_, destination).recordCount();
  if (!before) return false;
  std::string text = source + "\r\n" + destination + "\r\n" + std::to_string(*before) + "\r\n";
  {
    auto reader = store::TrayReader::open(store_, source);
    if (!reader) return false;
    store::TrayRecord stored;
    for (const std::uint32_t index : indices) {
      if (reader->read(index, stored) != store::ReadResult::Live) continue;
      text += std::to_string(index) + " " + std::to_string(stored.record.textStart()) + "\r\n";
    }
  }
  if (!platform::writeFileAtomically(path_, text)) return false;
  store::operationStep();
  return true;
}

void SortJournal::end() const {
  platform::removeFile(path_);
  store::operationStep();
}

std::size_t SortJournal::recover() const {
  const auto text = platform::readFile(path_);
  if (!text) return 0;
  const auto batch = parse(*text);
  if (!batch) {
    end();
    return 0;
  }
  const std::vector<Twin> twins = twinsOf(store_, *batch);
  const store::TrayFile source(store_, batch->source);
  const store::LinkMaintenance links(store_);
  std::size_t finished = 0;
  for (const Twin& twin : twins) {
    // The links move to the copy before the original goes, as in a move.
    if (twin.referenced) links.followMoves({{{batch->source, twin.original}, {batch->destination, twin.copy}}});
    if (source.markDeleted(twin.original)) ++finished;
    store::operationStep();
  }
  // A mail whose original could not be marked (its tray locked, say) is
  // still in both trays: the journal stays for the next run to finish it.
  if (finished == twins.size()) end();
  return finished;
}

}  // namespace zorvik::sorting
