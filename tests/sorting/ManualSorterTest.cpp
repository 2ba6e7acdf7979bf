#include "sorting/ManualSorter.h"

#include <gtest/gtest.h>

#include "SortingScene.h"
#include "sorting/RuleTester.h"

namespace zorvik::sorting {
namespace {

using store::trayflag::kLeaveLink;
using store::trayflag::kSendGroup;

class ManualSorterTest : public ::testing::Test, protected SortingScene {
protected:
  void SetUp() override {
    tray("Keep", "keep", {}, {}, kLeaveLink);  // takes part although it does not sort automatically
    tray("Ask", "ask", {}, {}, 0);
  }

  struct Notice {
    std::string subject;
    std::string tray;
  };

  SortOutcome sort(const std::string& trayName, std::optional<std::uint32_t> index = std::nullopt,
                   bool ignoreAll = false) {
    ManualSorter sorter(environment, messages, sound, clock,
                        [this, ignoreAll](const std::string& subject, const std::string& where) {
                          notices.push_back({platform::sjisToUtf8(subject), where});
                          return ignoreAll;
                        });
    return sorter.sort(trayName, index);
  }

  std::vector<Notice> notices;
};

TEST_F(ManualSorterTest, NoTrayIsToldAndLoggedAndTheMailStays) {
  deliver("no tag", "a@example.jp", "n@x");
  const SortOutcome outcome = sort(newMail);
  EXPECT_EQ(outcome.unmatched, 1u);
  EXPECT_EQ(boxTexts(), std::vector<std::string>{"振り分け先トレイが見つかりません。"});
  EXPECT_EQ(logLines(), std::vector<std::string>{"2026-12/07 09:30:00|受手|新着受信\\n@x → なし"});
  EXPECT_EQ(subjects(newMail), std::vector<std::string>{"no tag"});
}

TEST_F(ManualSorterTest, MailsThatBelongWhereTheyAreShowANoticeUntilIgnored) {
  deliver("[keep:1] a", "a@example.jp", "a@x", 0, "Keep");
  deliver("[keep:2] b", "a@example.jp", "b@x", 0, "Keep");
  deliver("[keep:3] c", "a@example.jp", "c@x", 0, "Keep");
  const SortOutcome outcome = sort("Keep", std::nullopt, true);
  EXPECT_EQ(outcome.stayed, 3u);
  ASSERT_EQ(notices.size(), 1u) << "\"ignore all\" ends the notices of this command";
  EXPECT_EQ(notices[0].subject, "[keep:1] a");
  EXPECT_EQ(notices[0].tray, "Keep");
  EXPECT_EQ(logLines().size(), 3u);
  EXPECT_EQ(logLines()[0], "2026-12/07 09:30:00|受手|Keep\\a@x → Keep");
  EXPECT_EQ(subjects("Keep").size(), 3u);

  sort("Keep", 1);
  EXPECT_EQ(notices.size(), 2u) << "the next command shows notices again";
}

TEST_F(ManualSorterTest, ATrayWithoutLeftLinksAsksFirstAndNoLeavesTheMailUnlogged) {
  deliver("[ask:1] asked", "a@example.jp", "u@x");
  deliver("[keep:2] not asked", "a@example.jp", "l@x");
  reporter.setAnswer(false);
  const SortOutcome refused = sort(newMail);
  EXPECT_EQ(refused.moved, 1u);
  EXPECT_EQ(refused.stayed, 1u);
  EXPECT_EQ(boxTexts(), std::vector<std::string>{"振分先トレイの設定により「新着受信」にリンクは残りません。\n"
                                                 "トレイ「Ask」に振分けてもよいですか。"});
  EXPECT_EQ(subjects(newMail), std::vector<std::string>{"[ask:1] asked"});
  EXPECT_EQ(links(newMail), std::vector<std::string>{"Keep#0"});
  EXPECT_EQ(logLines(), std::vector<std::string>{"2026-12/07 09:30:00|受手|新着受信\\l@x → Keep"});

  reporter.setAnswer(true);
  const SortOutcome accepted = sort(newMail);
  EXPECT_EQ(accepted.moved, 1u);
  EXPECT_EQ(subjects("Ask"), std::vector<std::string>{"[ask:1] asked"});
  EXPECT_TRUE(subjects(newMail).empty());
  EXPECT_EQ(links(newMail), std::vector<std::string>{"Keep#0"}) << "link rows are not sorted again";
}

TEST_F(ManualSorterTest, OneSelectedMailIsSortedAndTheUsersOwnMailIsLoggedAsSent) {
  deliver("[keep:1] first", "a@example.jp", "f@x");
  deliver("[keep:2] mine", "me@example.jp", "s@x");
  const SortOutcome outcome = sort(newMail, 1);
  EXPECT_EQ(outcome.moved, 1u);
  EXPECT_EQ(subjects("Keep"), std::vector<std::string>{"[keep:2] mine"});
  EXPECT_EQ(logLines(), std::vector<std::string>{"2026-12/07 09:30:00|送手|新着受信\\s@x → Keep"});
}

class RuleTesterTest : public ::testing::Test, protected SortingScene {};

TEST_F(RuleTesterTest, TheFirstMatchingTestDecidesAndExpressionErrorsAreShown) {
  deliver("[keep:5] subject", "hanako@example.jp", "t@x");
  const RuleTester tester(environment, messages);
  const auto mail = tester.mail(newMail, 0);
  ASSERT_TRUE(mail);
  const auto result = [&](std::string keyword, std::string expression, std::string group) {
    const SortRule rule{"T", std::move(keyword), std::move(expression), std::move(group), kSendGroup};
    const RuleTestResult r = tester.test(rule, *mail);
    return std::string(r.matched ? "TRUE " : "FALSE ") + platform::sjisToUtf8(r.reason) + " " +
           platform::sjisToUtf8(RuleTester::outcomeText(r));
  };
  EXPECT_EQ(result("keep", "[Subject:] > \"x\"", {}), "TRUE キーワード一致 正常終了");
  EXPECT_EQ(result("other", "[Subject:] > \"subject\"", {}), "TRUE 振分論理式 正常終了");
  EXPECT_EQ(result("other", {}, "Hanako@Example.jp"), "TRUE 送信グループ一致 正常終了");
  EXPECT_EQ(result("other", "[Subject:] >", "hanako@example.jp"), "TRUE 送信グループ一致 正常終了")
      << "an expression error does not stop the send-group test";
  EXPECT_EQ(result("other", "[Subject:] >", {}), "FALSE 振分不一致 エラー番号 ＝ 141");
  EXPECT_EQ(result({}, "([Subject:] > \"x\"", {}), "FALSE 振分不一致 エラー番号 ＝ 600");

  EXPECT_FALSE(tester.mail(newMail, std::nullopt));
  EXPECT_FALSE(tester.mail(newMail, 7));
  EXPECT_EQ(boxTexts(), std::vector<std::string>(2, "試験対象となるメールが選択されていません。"));
}

}  // namespace
}  // namespace zorvik::sorting
