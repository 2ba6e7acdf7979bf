#include "store/TrayCopy.h"

#include <algorithm>
#include <map>
#include <utility>

#include "core/MessageFormat.h"
#include "store/TrayReader.h"

namespace zorvik::store {
namespace {

constexpr std::string_view kProgressFormat = "%s...%s : %d";

// The mails of a tray by thread key and date, with their Subjects.
class KnownMails {
public:
  void add(const IndexRecord& record) { subjects_[key(record)].emplace_back(record.subject()); }

  /// True when a known mail is the same as `record`: same key and date, and
  /// a Subject that begins with `record`'s (a server may cut or extend it).
  bool has(const IndexRecord& record) const {
    const auto found = subjects_.find(key(record));
    if (found == subjects_.end()) return false;
    return std::any_of(found->second.begin(), found->second.end(),
                       [&](const std::string& subject) { return subject.starts_with(record.subject()); });
  }

private:
  using Key = std::pair<ThreadKey, std::int32_t>;
  static Key key(const IndexRecord& record) { return {record.ownKey(), record.date()}; }

  std::map<Key, std::vector<std::string>> subjects_;
};

}  // namespace

TrayCopy::TrayCopy(StoreLocation store, core::Progress& progress, int zoneHours)
    : store_(std::move(store)), progress_(progress), mails_(store_, std::string(), zoneHours) {}

std::optional<TrayCopy::Selection> TrayCopy::select(std::string_view source, std::string_view destination,
                                                    const DateLimit& limit, std::string_view label, bool takeLinks,
                                                    bool testEquality) const {
  KnownMails known;
  {
    auto target = TrayReader::open(store_, destination);
    if (!target) return std::nullopt;
    TrayRecord stored;
    while (testEquality && target->nextMail(stored) == ReadResult::Live) known.add(stored.record);
  }
  auto reader = TrayReader::open(store_, source);
  if (!reader) return std::nullopt;
  Selection selection;
  TrayRecord stored;
  for (ReadResult result; (result = reader->next(stored)) != ReadResult::End;) {
    progress_.step(core::formatMessage(kProgressFormat, {label, source, stored.index}));
    if (result != ReadResult::Live) continue;
    if (!limit.admits(stored.record.date())) {
      ++outsidePeriod_;
      continue;
    }
    if (stored.isLink()) {
      if (takeLinks) selection.links.push_back(stored);
      continue;
    }
    if (testEquality && known.has(stored.record)) {
      selection.present.push_back(stored.index);
      continue;
    }
    known.add(stored.record);
    selection.mails.push_back(stored.index);
  }
  return selection;
}

int TrayCopy::backup(std::string_view source, std::string_view destination, const DateLimit& limit,
                     bool deleteCopied) const {
  const auto selection = select(source, destination, limit, "BACKUP", false, true);
  if (!selection) return kCannotOpen;
  const auto placed = mails_.copy(source, selection->mails, destination);
  std::vector<std::uint32_t> copied;
  for (std::size_t i = 0; i < placed.size(); ++i) {
    if (placed[i]) copied.push_back(selection->mails[i]);
  }
  if (deleteCopied) mails_.remove(source, copied, true);
  return static_cast<int>(copied.size());
}

int TrayCopy::merge(std::string_view source, std::string_view destination, const DateLimit& limit,
                    const MergeSwitches& switches, std::vector<std::uint32_t>* inDestination) const {
  const auto selection = select(source, destination, limit, "MERGE", switches.keepLinks, switches.testEquality);
  if (!selection) return kCannotOpen;
  const auto placed = mails_.copy(source, selection->mails, destination, switches.keepReferences);
  int written = 0;
  for (std::size_t i = 0; i < placed.size(); ++i) {
    if (!placed[i]) continue;
    ++written;
    if (inDestination) inDestination->push_back(selection->mails[i]);
  }
  if (inDestination) inDestination->insert(inDestination->end(), selection->present.begin(), selection->present.end());
  const TrayFile target(store_, std::string(destination));
  for (const TrayRecord& link : selection->links) {
    if (TrayFile(store_, link.linkTarget).linkInto(link.linkIndex, target) == LinkResult::Done) ++written;
  }
  return written;
}

}  // namespace zorvik::store
