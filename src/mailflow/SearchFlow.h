/// \file
/// The search as the front ends start it, on the open document: stepping
/// from hit to hit ("検索(&F)", "次を検索(&I)"), collecting every hit as a
/// link into the search-results tray ("まとめて検索(&S)", the refined
/// search), the next unread mail ("未読ﾒｰﾙへ移動(&G)"), and every hit at
/// once for zorvik-cli. One flow per main window: it keeps the walk
/// between two steps (names and numbers only, no open file).
///
/// Messages: 40150 when there is nothing to search for, 40732 when there
/// is no search to continue, 40731 when the user stopped a run (the stop
/// request of the front end, checked before each mail). A stopped
/// collecting run still links the hits it found. Progress lines ("検索処理
/// 中です", the tray, the mail) start after a second, so a quick search
/// shows none.
///
/// Reading takes no lock; collecting takes the store's lock only to add
/// the links (44202 while another writer works; the hits are still
/// returned). A mail that already has 15 links is reported once (42680).
///
/// With item 125 a run goes to a worker thread (inBackground); one runs
/// at a time, and the front end is told of the outcome on that thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/MessageNumber.h"
#include "mailflow/FrontEnd.h"
#include "search/SearchHit.h"
#include "search/SearchQuery.h"
#include "search/SearchScope.h"
#include "search/SearchWalker.h"

namespace zorvik::mailflow {

class Document;

struct SearchOutcome {
  search::SearchResult result = search::SearchResult::End;
  /// Nothing was searched: 40150 or 40732 was shown.
  bool refused = false;
  /// Stepping: the hit to show (result 20 or 30).
  std::optional<search::SearchHit> hit;
  /// Collecting: one hit per mail, in the order of the walk.
  std::vector<search::SearchHit> collected;
  /// Collecting: the links added to the search-results tray.
  std::size_t linked = 0;
};

class SearchFlow {
public:
  /// Both must outlive the flow.
  SearchFlow(const Document& document, FrontEnd& front);
  /// Stops a run on the worker thread and waits for it.
  ~SearchFlow();
  SearchFlow(const SearchFlow&) = delete;
  SearchFlow& operator=(const SearchFlow&) = delete;

  /// A new stepping search: the first hit of `query` in `scope`.
  SearchOutcome find(const search::SearchQuery& query, const search::SearchScope& scope);
  /// The next hit after the last one (40732 when there is none to go on from).
  SearchOutcome findNext();
  /// Every mail with a hit, linked into the search-results tray.
  SearchOutcome collect(const search::SearchQuery& query, const search::SearchScope& scope);
  /// The next unread mail after `mail` of `tray` (from the start of `tray`
  /// without a mail; from the start of `walk` without a tray), within
  /// `walk`. The walk goes on from the last hit when that is where the user
  /// still is.
  SearchOutcome nextUnread(const search::SearchScope& walk, const std::string& tray, std::optional<std::uint32_t> mail);
  /// Every hit, in the order stepping would show them, told to `visit`
  /// as it is found; the result is End or Stopped.
  SearchOutcome each(const search::SearchQuery& query, const search::SearchScope& scope,
                     const std::function<void(const search::SearchHit&)>& visit);

  /// Runs `work` (a call of this flow) on a worker thread and gives its
  /// outcome to `finished` there; `finished` must not wait for the thread
  /// that starts searches, and no other call of the flow is made while the
  /// run is under way (the search bar is disabled). False, and nothing
  /// done, while a run is under way.
  bool inBackground(std::function<SearchOutcome(SearchFlow&)> work, std::function<void(const SearchOutcome&)> finished);
  /// A run on the worker thread is under way.
  bool running() const { return running_.load(); }
  /// Item 125: searches are meant to run on a worker thread.
  bool backgroundWanted() const;

private:
  search::SearchWalker& freshWalker();
  SearchOutcome step();
  SearchOutcome refuse(core::MessageNumber message);
  bool stopRequested() const;
  void linkIntoResults(SearchOutcome& outcome);

  const Document& document_;
  FrontEnd& front_;
  std::optional<search::SearchWalker> walker_;
  std::optional<search::MailRef> lastHit_;
  std::atomic<bool> running_{false};
  std::atomic<bool> abandoned_{false};
  std::thread worker_;
};

}  // namespace zorvik::mailflow
