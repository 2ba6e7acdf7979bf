#include "sorting/AutoSorter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <optional>

#include "SortingScene.h"
#include "sorting/SortingRunMark.h"
#include "store/MailOperations.h"
#include "store/RecordFlags.h"

namespace zorvik::sorting {
namespace {

using store::trayflag::kAutoSort;
using store::trayflag::kLeaveLink;
using store::trayflag::kSendGroup;

class AutoSorterTest : public ::testing::Test, protected SortingScene {
protected:
  // Trays of three mailing lists, one by keyword, one by expression, one
  // by the sender's send group, and one that never sorts automatically.
  void SetUp() override {
    tray("ML/rust", "rust-jp");
    tray("ML/cpp", {}, "[Subject:] > \"[cpp-ml:\" & ![From:] > \"spam\"", {}, kAutoSort | kLeaveLink,
         "chime.wav");
    tray("Friends", {}, {}, "hanako@example.jp", kAutoSort | kSendGroup, "");
    tray("Manual", "rust-jp", {}, {}, 0);
  }

  SortOutcome sortAll(SortThreadLevel level = SortThreadLevel::Inline, std::uint32_t first = 0,
                      std::uint32_t count = 1000) {
    environment.threadLevel = level;
    AutoSorter sorter(environment, messages, sound, clock);
    std::optional<SortOutcome> outcome;
    EXPECT_TRUE(sorter.start(first, count, [&](const SortOutcome& done) { outcome = done; }));
    sorter.wait();
    EXPECT_TRUE(outcome);
    return outcome.value_or(SortOutcome{});
  }
};

TEST_F(AutoSorterTest, EachMailLandsInItsTrayAndEveryDecisionIsLogged) {
  deliver("[rust-jp:101] async の質問", "taro@example.jp", "a@x");
  deliver("[cpp-ml:7] constexpr", "jiro@example.jp", "b@x");
  deliver("[cpp-ml:8] spam offer", "spam@example.jp", "c@x");
  deliver("hello", "hanako@example.jp", "d@x");
  deliver("nobody's", "who@example.jp", "e@x");

  const SortOutcome outcome = sortAll();
  EXPECT_EQ(outcome.moved, 3u);
  EXPECT_EQ(outcome.unmatched, 2u);
  EXPECT_EQ(subjects("ML/rust"), std::vector<std::string>{"[rust-jp:101] async の質問"});
  EXPECT_EQ(subjects("ML/cpp"), std::vector<std::string>{"[cpp-ml:7] constexpr"});
  EXPECT_EQ(subjects("Friends"), std::vector<std::string>{"hello"});
  EXPECT_TRUE(subjects("Manual").empty()) << "a tray that does not sort automatically is never chosen";
  EXPECT_EQ(subjects(newMail), (std::vector<std::string>{"[cpp-ml:8] spam offer", "nobody's"}));
  EXPECT_EQ(links(newMail), std::vector<std::string>{"ML/cpp#0"}) << "ML/cpp leaves a link behind";

  const auto lines = logLines();
  ASSERT_EQ(lines.size(), 5u);
  // Mails that stay are logged when decided, moved ones after their batch.
  EXPECT_EQ(lines[0], "2026-12/07 09:30:00|受自|新着受信\\c@x → なし");
  EXPECT_EQ(lines[1], "2026-12/07 09:30:00|受自|新着受信\\e@x → なし");
  EXPECT_EQ(lines[2], "2026-12/07 09:30:00|受自|新着受信\\a@x → ML/rust");
  EXPECT_EQ(lines[3], "2026-12/07 09:30:00|受自|新着受信\\b@x → ML/cpp");
  EXPECT_EQ(lines[4], "2026-12/07 09:30:00|受自|新着受信\\d@x → Friends");
  // One sound per tray that received mail: the beep type, the wave file,
  // and nothing for an empty value.
  EXPECT_EQ(sound.played(), (std::vector<std::string>{"beep 16", "wave chime.wav"}));
  EXPECT_TRUE(reporter.boxes().empty()) << "automatic runs ask nothing";
}

TEST_F(AutoSorterTest, OnlyTheRangeIsSortedAndDeletedRecordsAndFragmentsStay) {
  deliver("[rust-jp:1] before the range");
  const std::uint32_t first = deliver("[rust-jp:2] in range");
  const std::uint32_t deleted = deliver("[rust-jp:3] deleted");
  deliver("[rust-jp:4] fragment", "a@example.jp", {}, store::recordflag::kFragment);
  deliver("[rust-jp:5] in range too");
  deliver("[rust-jp:6] after the range");
  ASSERT_TRUE(builder.tray(newMail).markDeleted(deleted));

  const SortOutcome outcome = sortAll(SortThreadLevel::Inline, first, 4);
  EXPECT_EQ(outcome.moved, 2u);
  EXPECT_EQ(subjects("ML/rust"), (std::vector<std::string>{"[rust-jp:2] in range", "[rust-jp:5] in range too"}));
  EXPECT_EQ(subjects(newMail), (std::vector<std::string>{"[rust-jp:1] before the range", "[rust-jp:4] fragment",
                                                         "[rust-jp:6] after the range"}));
  EXPECT_EQ(logLines().size(), 2u) << "passed-over mails are not decisions";
}

TEST_F(AutoSorterTest, TheMarkRefusesASecondRunUntilTheFirstHasEnded) {
  deliver("[rust-jp:1] one");
  environment.threadLevel = SortThreadLevel::AllOnWorker;
  std::atomic<int> wakes{0};
  AutoSorter sorter(environment, messages, sound, clock, [&wakes] { ++wakes; });
  bool finished = false;
  ASSERT_TRUE(sorter.start(0, 10, [&](const SortOutcome&) { finished = true; }));
  EXPECT_TRUE(SortingRunMark::isSet());
  AutoSorter second(environment, messages, sound, clock);
  EXPECT_FALSE(second.start(0, 10, {})) << "one sorting run at a time";
  sorter.wait();
  EXPECT_TRUE(finished);
  EXPECT_EQ(wakes.load(), 1);
  EXPECT_FALSE(SortingRunMark::isSet());
  EXPECT_EQ(subjects("ML/rust"), std::vector<std::string>{"[rust-jp:1] one"});
}

// A log that cannot be written is reported by the worker through the
// owner's loop (43001) and the mails are sorted all the same.
TEST_F(AutoSorterTest, AnUnwritableLogIsReportedOnTheOwnersThreadAndSortingGoesOn) {
  deliver("[rust-jp:1] one");
  deliver("no tray");
  platform::makeDirectories(environment.logPath);  // a folder where the log should be
  const SortOutcome outcome = sortAll(SortThreadLevel::AllOnWorker);
  EXPECT_EQ(outcome.moved, 1u);
  EXPECT_EQ(subjects("ML/rust"), std::vector<std::string>{"[rust-jp:1] one"});
  const auto boxes = reporter.boxes();
  ASSERT_EQ(boxes.size(), 2u) << "one box per write: the mails that stay, then the batch";
  for (const auto& box : boxes) {
    EXPECT_EQ(platform::sjisToUtf8(box.text), "ログファイルを開けません。");
    EXPECT_EQ(box.shownOn, std::this_thread::get_id());
  }
}

// At level 1 the user keeps working between choosing and applying: a mail
// deleted meanwhile is skipped, and mails that compaction moved to other
// positions are found by their record and still land in their trays.
TEST_F(AutoSorterTest, ApplyingFindsMailsAgainAfterTheTrayChangedUnderIt) {
  deliver("[rust-jp:1] goes away");
  deliver("[rust-jp:2] moves up");
  deliver("[cpp-ml:3] moves up too");
  environment.threadLevel = SortThreadLevel::ChooseOnWorker;
  std::atomic<bool> chosen{false};
  AutoSorter sorter(environment, messages, sound, clock, [&chosen] { chosen = true; });
  std::optional<SortOutcome> outcome;
  ASSERT_TRUE(sorter.start(0, 3, [&](const SortOutcome& done) { outcome = done; }));
  while (!chosen) std::this_thread::yield();
  EXPECT_TRUE(subjects("ML/rust").empty()) << "nothing moves before the owner pumps";

  const store::MailOperations operations(builder.store(), "Trash");
  ASSERT_EQ(operations.remove(newMail, {0}, true), 1u);
  ASSERT_TRUE(store::LinkMaintenance(builder.store()).compact(newMail));
  ASSERT_TRUE(sorter.pump());
  ASSERT_TRUE(outcome);
  EXPECT_EQ(outcome->moved, 2u);
  EXPECT_EQ(outcome->missing, 1u);
  EXPECT_EQ(subjects("ML/rust"), std::vector<std::string>{"[rust-jp:2] moves up"});
  EXPECT_EQ(subjects("ML/cpp"), std::vector<std::string>{"[cpp-ml:3] moves up too"});
  EXPECT_TRUE(subjects(newMail).empty());
}

TEST_F(AutoSorterTest, ATrayIsMadeForAnUnknownTagButNeverFromADangerousOne) {
  environment.rules.createTraysFromTags = true;
  deliver("[golang-jp:1] first");
  deliver("[golang-jp:2] second");
  deliver("[..:3] escape");
  const SortOutcome outcome = sortAll();
  EXPECT_TRUE(outcome.traysCreated);
  EXPECT_EQ(subjects("golang-jp"), (std::vector<std::string>{"[golang-jp:1] first", "[golang-jp:2] second"}));
  EXPECT_EQ(subjects(newMail), std::vector<std::string>{"[..:3] escape"});
  EXPECT_FALSE(platform::pathExists(platform::joinPath(builder.store().root, "3.XM1")));
}

}  // namespace
}  // namespace zorvik::sorting
