#include "sorting/SortApplier.h"

#include <charconv>
#include <deque>
#include <map>
#include <set>
#include <unordered_map>

#include "sorting/SortJournal.h"
#include "sorting/StoredMailReader.h"
#include "store/MailOperations.h"
#include "store/TrayFile.h"
#include "store/TrayFlags.h"
#include "store/TrayReader.h"

namespace zorvik::sorting {

using core::MessageNumber;

struct SortApplier::Batch {
  SortRule rule;
  std::vector<const SortDecision*> decisions;
  std::vector<std::uint32_t> indices;
};

namespace {

// Finds each decision's mail in `tray` again: first at the index where it
// was chosen, otherwise anywhere in the tray (one scan, made only when
// needed). Returns the decisions whose mail was found, with their current
// index; no two decisions get the same record.
std::vector<SortDecision*> locate(const store::StoreLocation& store, const std::string& tray,
                                  std::vector<SortDecision>& decisions) {
  std::vector<SortDecision*> found;
  auto reader = store::TrayReader::open(store, tray);
  if (!reader) return found;
  std::set<std::uint32_t> claimed;
  std::optional<std::unordered_map<std::string, std::deque<std::uint32_t>>> byIdentity;
  store::TrayRecord stored;
  const auto liveMailAt = [&](std::uint32_t index) {
    return reader->read(index, stored) == store::ReadResult::Live && !stored.isLink();
  };
  for (SortDecision& decision : decisions) {
    if (!claimed.contains(decision.index) && liveMailAt(decision.index) &&
        StoredMailReader::identity(stored.record) == decision.identity) {
      claimed.insert(decision.index);
      found.push_back(&decision);
      continue;
    }
    if (!byIdentity) {
      byIdentity.emplace();
      for (std::uint32_t at = 0; at < reader->recordCount(); ++at)
        if (liveMailAt(at)) (*byIdentity)[StoredMailReader::identity(stored.record)].push_back(at);
    }
    auto& candidates = (*byIdentity)[decision.identity];
    while (!candidates.empty() && claimed.contains(candidates.front())) candidates.pop_front();
    if (candidates.empty()) continue;
    decision.index = candidates.front();
    claimed.insert(decision.index);
    found.push_back(&decision);
  }
  return found;
}

}  // namespace

SortOutcome& SortOutcome::operator+=(const SortOutcome& other) {
  moved += other.moved;
  unmatched += other.unmatched;
  stayed += other.stayed;
  missing += other.missing;
  traysCreated = traysCreated || other.traysCreated;
  return *this;
}

SortApplier::SortApplier(const SortEnvironment& environment, core::Messages& messages, platform::Sound& sound,
                         const platform::Clock& clock, bool manual, SameTrayNotice notice)
    : environment_(environment),
      messages_(messages),
      sound_(sound),
      clock_(clock),
      manual_(manual),
      notice_(std::move(notice)) {}

SortOutcome SortApplier::apply(const std::string& sourceTray, std::vector<SortDecision> decisions) {
  SortOutcome outcome;
  const std::vector<SortDecision*> found = locate(environment_.store, sourceTray, decisions);
  outcome.missing = decisions.size() - found.size();
  std::vector<Batch> batches;
  std::map<std::string, std::size_t> batchOf;
  for (SortDecision* decision : found) {
    outcome.traysCreated = outcome.traysCreated || decision->choice.trayCreated;
    if (!decide(sourceTray, *decision, outcome)) continue;
    const SortRule& rule = *decision->choice.rule;
    const auto [at, added] = batchOf.try_emplace(rule.trayPath, batches.size());
    if (added) batches.push_back({rule, {}, {}});
    batches[at->second].decisions.push_back(decision);
    batches[at->second].indices.push_back(decision->index);
  }
  flushLog();
  for (const Batch& batch : batches) {
    move(sourceTray, batch, outcome);
    flushLog();
  }
  return outcome;
}

// What happens to one mail before anything moves; true when it is to move.
bool SortApplier::decide(const std::string& sourceTray, SortDecision& decision, SortOutcome& outcome) {
  if (!decision.choice.rule) {
    if (manual_) messages_.information(MessageNumber::SortTrayNotFound);
    log(sourceTray, decision.mail, {});
    ++outcome.unmatched;
    return false;
  }
  const SortRule& rule = *decision.choice.rule;
  if (rule.trayPath == sourceTray) {
    if (manual_ && notice_ && !noticesIgnored_) noticesIgnored_ = notice_(decision.mail.subject, sourceTray);
    log(sourceTray, decision.mail, sourceTray);
    ++outcome.stayed;
    return false;
  }
  if (manual_ && !rule.has(store::trayflag::kLeaveLink) &&
      !messages_.question(MessageNumber::SortWithoutLink, {sourceTray, rule.trayPath})) {
    ++outcome.stayed;
    return false;
  }
  return true;
}

void SortApplier::move(const std::string& sourceTray, const Batch& batch, SortOutcome& outcome) {
  const std::string& destination = batch.rule.trayPath;
  const SortJournal journal(environment_.journalPath, environment_.store);
  // Without the note a kill could leave mails twice: better not to move.
  if (!journal.begin(sourceTray, batch.indices, destination)) {
    outcome.missing += batch.indices.size();
    return;
  }
  const store::MailOperations operations(environment_.store, environment_.trashTray, environment_.rules.zoneHours);
  const store::MailOperations::Placed placed = operations.move(sourceTray, batch.indices, destination).placed;
  // Originals the move could not mark deleted (a lock held past its
  // retries) are finished by recovery, which finds them beside their copies.
  journal.recover();
  std::size_t moved = 0;
  for (std::size_t i = 0; i < placed.size(); ++i) {
    if (!placed[i]) {
      ++outcome.missing;
      continue;
    }
    ++moved;
    if (batch.rule.has(store::trayflag::kLeaveLink)) operations.link(destination, *placed[i], sourceTray);
    log(sourceTray, batch.decisions[i]->mail, destination);
  }
  outcome.moved += moved;
  if (moved == 0) return;
  if (const auto properties = store::TrayFile(environment_.store, destination).properties())
    soundArrival(sound_, properties->soundFile);
}

void SortApplier::log(const std::string& sourceTray, const message::MailRecord& mail, const std::string& destination) {
  pendingLog_.push_back({mail.has(message::mailflag::kSentByUser), manual_, sourceTray, mail.messageId, destination});
}

void SortApplier::flushLog() {
  SortingLog(environment_.logPath, environment_.rules.zoneHours).append(pendingLog_, clock_.unixTime(), messages_);
  pendingLog_.clear();
}

void SortApplier::soundArrival(platform::Sound& sound, const std::string& value) {
  if (value.empty()) return;
  if (value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X')) {
    std::uint32_t type = 0;
    const char* end = value.data() + value.size();
    if (std::from_chars(value.data() + 2, end, type, 16).ptr == end) sound.beep(type);
    return;
  }
  sound.playWave(value);
}

}  // namespace zorvik::sorting
