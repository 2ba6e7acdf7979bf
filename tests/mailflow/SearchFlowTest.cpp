// The search as a front end starts it on an open document: refusals,
// stepping and continuing, collecting into the search-results tray (one
// link per mail, the 15-link limit), a stop, the next unread mail, and a
// run on the worker thread.
#include <gtest/gtest.h>

#include <future>
#include <string>
#include <thread>
#include <vector>

#include "mailflow/FlowScene.h"
#include "mailflow/SearchFlow.h"
#include "platform/TextEncoding.h"
#include "store/TrayFile.h"
#include "support/SearchStore.h"

namespace zorvik::mailflow {
namespace {

using core::MessageNumber;

std::string sjis(const char* utf8) { return platform::utf8ToSjis(utf8); }

search::SearchQuery textQuery(const char* text) {
  search::SearchQuery query;
  query.parameters.text = sjis(text);
  return query;
}

const search::SearchScope kWholeStore = search::SearchScope::wholeCabinet("");

class SearchFlowTest : public ::testing::Test {
protected:
  SearchFlowTest() { test::buildSearchStore(scene.document->store()); }

  // "tray#index" of the hit of a step, or "end".
  static std::string at(const SearchOutcome& outcome) {
    return outcome.hit ? test::mailName(outcome.hit->row.tray, outcome.hit->row.index) : "end";
  }

  // The mails the search-results tray links to, as "tray#index".
  std::vector<std::string> results() const {
    std::vector<std::string> links;
    auto reader = store::TrayFile(scene.document->store(), scene.tray(core::item::kSearchResultsTray)).reader();
    store::TrayRecord row;
    while (reader && reader->nextMail(row) == store::ReadResult::Live)
      links.push_back(test::mailName(row.linkTarget, row.linkIndex));
    return links;
  }

  test::FlowScene scene;
  SearchFlow flow{*scene.document, scene.front};
};

TEST_F(SearchFlowTest, RefusesWhatItCannotSearchOrContinue) {
  EXPECT_TRUE(flow.findNext().refused) << "nothing to continue right after start-up";
  EXPECT_TRUE(flow.find({}, kWholeStore).refused);
  EXPECT_TRUE(flow.collect({}, kWholeStore).refused);
  EXPECT_EQ(scene.shown(), (std::vector{MessageNumber::SearchCannotContinue, MessageNumber::NoSearchText,
                                        MessageNumber::NoSearchText}));
  EXPECT_TRUE(results().size() == 1) << "nothing linked";
}

TEST_F(SearchFlowTest, StepsFromHitToHitAndEndsAfterTheLast) {
  std::vector<std::string> steps{at(flow.find(textQuery("予算"), kWholeStore))};
  for (SearchOutcome next = flow.findNext(); !next.refused; next = flow.findNext()) {
    steps.push_back(at(next) + (next.result == search::SearchResult::BodyHit ? " body" : ""));
    if (next.result == search::SearchResult::End) break;
  }
  EXPECT_EQ(steps, (std::vector<std::string>{"1受信#0", "1受信#0 body", "2仕事/1会議#0", "2仕事/2案件/見積#0 body",
                                             "2仕事/3連絡#0", "2仕事/3連絡#0 body", "end"}));
  EXPECT_TRUE(flow.findNext().refused) << "the end resets the search";
  EXPECT_EQ(scene.shown(), std::vector{MessageNumber::SearchCannotContinue});
}

TEST_F(SearchFlowTest, CollectsOneLinkPerMailIntoTheSearchResults) {
  const SearchOutcome outcome = flow.collect(textQuery("予算"), kWholeStore);
  EXPECT_EQ(outcome.result, search::SearchResult::End);
  EXPECT_EQ(outcome.linked, 3u);
  EXPECT_EQ(results(),
            (std::vector<std::string>{"2仕事/2案件/見積#0", "1受信#0", "2仕事/1会議#0", "2仕事/2案件/見積#0"}));
  EXPECT_TRUE(scene.shown().empty());
  store::TrayRecord inbox;
  ASSERT_EQ(store::TrayFile(scene.document->store(), sjis("1受信")).read(0, inbox), store::ReadResult::Live);
  EXPECT_EQ(inbox.record.referenceCount(), 2) << "the link of 2仕事/3連絡 and the new one";
}

TEST_F(SearchFlowTest, AMailWithFifteenLinksIsReportedOnceAndTheOthersLinked) {
  const store::TrayFile inbox(scene.document->store(), sjis("1受信"));
  for (int i = 0; i < 14; ++i) ASSERT_EQ(inbox.changeReferenceCount(0, +1), store::LinkResult::Done);
  const SearchOutcome outcome = flow.collect(textQuery("予算"), kWholeStore);
  EXPECT_EQ(outcome.collected.size(), 3u);
  EXPECT_EQ(outcome.linked, 2u);
  EXPECT_EQ(scene.shown(), std::vector{MessageNumber::TooManyLinks});
  EXPECT_EQ(platform::sjisToUtf8(scene.reporter.boxes().back().text),
            "トレイ「1受信」にて，参照が15を超えてるためリンクができません。");
}

TEST_F(SearchFlowTest, AStopEndsTheRunWith40731AndNothingToContinue) {
  scene.stop.request();
  EXPECT_EQ(flow.find(textQuery("予算"), kWholeStore).result, search::SearchResult::Stopped);
  EXPECT_EQ(flow.collect(textQuery("予算"), kWholeStore).result, search::SearchResult::Stopped);
  scene.stop.clear();
  EXPECT_TRUE(flow.findNext().refused);
  EXPECT_EQ(scene.shown(), (std::vector{MessageNumber::SearchInterrupted, MessageNumber::SearchInterrupted,
                                        MessageNumber::SearchCannotContinue}));
}

TEST_F(SearchFlowTest, NextUnreadGoesOnFromTheLastHitOrStartsWhereTheUserIs) {
  EXPECT_EQ(at(flow.nextUnread(kWholeStore, {}, {})), "1受信#0");
  EXPECT_EQ(at(flow.nextUnread(kWholeStore, sjis("1受信"), 0)), "2仕事/2案件/見積#0") << "still at the last hit";
  EXPECT_EQ(at(flow.nextUnread(kWholeStore, sjis("1受信"), 1)), "2仕事/2案件/見積#0") << "elsewhere: after that mail";
  EXPECT_EQ(at(flow.nextUnread(kWholeStore, sjis("3家族"), {})), "3家族#0") << "a tray without a mail: from its start";
  EXPECT_EQ(at(flow.nextUnread(kWholeStore, sjis("3家族"), 0)), "end");
  EXPECT_EQ(at(flow.nextUnread(search::SearchScope::oneTray(sjis("1受信")), sjis("1受信"), 0)), "end");
}

TEST_F(SearchFlowTest, RunsOneSearchAtATimeOnAWorkerThread) {
  std::promise<void> release;
  std::promise<std::pair<SearchOutcome, std::thread::id>> told;
  const auto held = release.get_future().share();
  ASSERT_TRUE(flow.inBackground(
      [&](SearchFlow& search) {
        held.wait();
        return search.collect(textQuery("予算"), kWholeStore);
      },
      [&](const SearchOutcome& outcome) {
        told.set_value({outcome, std::this_thread::get_id()});
      }));
  EXPECT_TRUE(flow.running());
  EXPECT_FALSE(flow.inBackground([](SearchFlow&) { return SearchOutcome{}; }, [](const SearchOutcome&) {}));
  release.set_value();
  const auto [outcome, thread] = told.get_future().get();
  EXPECT_NE(thread, std::this_thread::get_id());
  EXPECT_EQ(outcome.linked, 3u);
  EXPECT_EQ(results().size(), 4u);
}

TEST_F(SearchFlowTest, EndsWhileItsWorkerWaitsForABoxNobodyShows) {
  // The owner never pumps: the worker's "cannot continue" box waits for it,
  // and the flow going away must not wait for ever.
  auto going = std::make_unique<SearchFlow>(*scene.document, scene.front);
  std::promise<void> asked;
  ASSERT_TRUE(going->inBackground(
      [&](SearchFlow& search) {
        asked.set_value();
        return search.findNext();
      },
      [](const SearchOutcome&) {}));
  asked.get_future().wait();
  going.reset();
  EXPECT_TRUE(scene.shown().empty()) << "answered, not shown";
}

}  // namespace
}  // namespace zorvik::mailflow
