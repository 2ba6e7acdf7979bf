#include "search/SearchWalker.h"

#include <algorithm>
#include <set>

#include "core/Messages.h"
#include "platform/FileSystem.h"
#include "store/TrayFile.h"
#include "store/TrayFlags.h"

namespace zorvik::search {
namespace {

// How many mails pass between two progress lines.
constexpr std::uint32_t kProgressEvery = 1024;

}  // namespace

void SearchWalker::start(const SearchQuery& query, const SearchScope& scope) {
  reset();
  criteria_.emplace(query, environment_.zoneHours);
  active_ = true;
  if (scope.trayOnly) {
    if (scope.tray != environment_.mailServerTray) current_ = CurrentTray{scope.tray, {scope.index, 0}};
    return;
  }
  stack_.push_back(cursorOf(scope.cabinet));
  const std::string prefix = scope.cabinet.empty() ? std::string() : scope.cabinet + "/";
  if (scope.tray.empty() || !scope.tray.starts_with(prefix)) return;
  // Down the cabinets from the walk's top to the tray, each cursor left
  // just after the entry that leads there.
  std::string path = scope.cabinet;
  for (std::size_t from = prefix.size(), slash; (slash = scope.tray.find('/', from)) != std::string::npos;
       from = slash + 1) {
    path = platform::joinPath(path, std::string_view(scope.tray).substr(from, slash - from));
    positionAfter(path, true);
    if (stack_.size() < static_cast<std::size_t>(store::kMaxTreeDepth)) stack_.push_back(cursorOf(path));
  }
  positionAfter(scope.tray, false);
  if (!leftOut(scope.tray)) current_ = CurrentTray{scope.tray, {scope.index, 0}};
}

void SearchWalker::reset() {
  stack_.clear();
  current_.reset();
  active_ = false;
}

SearchWalker::CabinetCursor SearchWalker::cursorOf(const std::string& cabinet) const {
  return {store::listCabinet(environment_.store, cabinet), 0};
}

void SearchWalker::positionAfter(const std::string& path, bool cabinet) {
  CabinetCursor& cursor = stack_.back();
  const auto& entries = cursor.entries;
  auto at = std::find_if(entries.begin(), entries.end(), [&](const store::TreeEntry& entry) {
    return entry.path == path && entry.isCabinet == cabinet;
  });
  // Gone since (or never listed): the walk goes on where it would stand.
  if (at == entries.end())
    at = std::find_if(entries.begin(), entries.end(), [&](const store::TreeEntry& entry) { return entry.path > path; });
  else
    ++at;
  cursor.next = static_cast<std::size_t>(at - entries.begin());
}

bool SearchWalker::leftOut(const std::string& tray) const {
  if (tray == environment_.mailServerTray) return true;
  const auto properties = store::TrayFile(environment_.store, tray).properties();
  return properties && (properties->flags & store::trayflag::kNoSearch) != 0;
}

bool SearchWalker::advance() {
  while (!stack_.empty()) {
    CabinetCursor& top = stack_.back();
    if (top.next >= top.entries.size()) {
      stack_.pop_back();
      continue;
    }
    const store::TreeEntry entry = top.entries[top.next++];
    if (entry.isCabinet) {
      if (stack_.size() < static_cast<std::size_t>(store::kMaxTreeDepth)) stack_.push_back(cursorOf(entry.path));
      continue;
    }
    if (leftOut(entry.path)) continue;
    current_ = CurrentTray{entry.path, {}};
    return true;
  }
  return false;
}

SearchResult SearchWalker::run(const HitSink& sink, bool onePerMail, const StopCheck& stop, core::Progress& progress) {
  const std::string searching = core::Messages::text(core::MessageNumber::SearchRunning, {});
  while (active_) {
    if (current_) {
      if (auto scan = TrayScan::open(environment_.store, *criteria_, current_->name)) {
        std::uint32_t tested = 0;
        const auto tick = [&](std::uint32_t index) {
          if (tested++ % kProgressEvery == 0)
            progress.step(searching + "  " + current_->name + " : " + std::to_string(index));
        };
        const SearchResult result = scan->run(current_->position, sink, onePerMail, stop, tick);
        if (result == SearchResult::Stopped) break;
        if (result != SearchResult::End) return result;
      }
      current_.reset();
    }
    if (stop && stop()) break;
    if (!advance()) {
      reset();
      return SearchResult::End;
    }
  }
  const bool wasActive = active_;
  reset();
  return wasActive ? SearchResult::Stopped : SearchResult::End;
}

SearchResult SearchWalker::collect(std::vector<SearchHit>& hits, const StopCheck& stop, core::Progress& progress) {
  std::set<MailRef> seen;
  const auto gather = [&](const SearchHit& hit) {
    if (seen.insert(hit.mail).second) hits.push_back(hit);
    return true;
  };
  return run(gather, true, stop, progress);
}

}  // namespace zorvik::search
