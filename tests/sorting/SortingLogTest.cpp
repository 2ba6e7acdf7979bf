#include "sorting/SortingLog.h"

#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "support/RecordingReporter.h"
#include "support/TestEnvironment.h"

namespace zorvik::sorting {
namespace {

using platform::utf8ToSjis;

constexpr std::int64_t kDecemberSeventh = 1796601600;  // 2026-12-07 00:00:00 UTC

class SortingLogTest : public ::testing::Test {
protected:
  test::ScratchDir dir;
  test::RecordingReporter reporter;
  core::Messages messages{reporter};
  SortingLog log{dir.file(utf8ToSjis("振分ログ.txt")), 9};
};

TEST_F(SortingLogTest, LinesCarryKindSourceMailAndDestination) {
  SortingDecision stays{false, true, utf8ToSjis("新着受信"), "abc@example.jp", utf8ToSjis("新着受信")};
  EXPECT_EQ(log.line(stays, kDecemberSeventh + 3723),
            utf8ToSjis("2026-12/07 10:02:03|受手|新着受信\\abc@example.jp → 新着受信\r\n"));
  SortingDecision nowhere{false, false, utf8ToSjis("新着受信"), "id@x", ""};
  EXPECT_EQ(log.line(nowhere, kDecemberSeventh), utf8ToSjis("2026-12/07 09:00:00|受自|新着受信\\id@x → なし\r\n"));
  SortingDecision sent{true, false, utf8ToSjis("未送信"), "s@x", utf8ToSjis("仕事")};
  EXPECT_NE(log.line(sent, kDecemberSeventh).find(utf8ToSjis("|送自|")), std::string::npos);
}

TEST_F(SortingLogTest, AppendsAndShowsOnlyTheEnd) {
  SortingDecision decision{false, false, "a", "b", "c"};
  std::string expected;
  while (expected.size() < 25000) {
    ASSERT_TRUE(log.append(decision, kDecemberSeventh, messages));
    expected += log.line(decision, kDecemberSeventh);
  }
  EXPECT_EQ(platform::readFile(log.path()).value(), expected);
  EXPECT_EQ(log.tail(), expected.substr(expected.size() - SortingLog::kViewBytes));
}

TEST_F(SortingLogTest, ClearingKeepsTwoGenerations) {
  SortingDecision first{false, false, "a", "first", "c"};
  SortingDecision second{false, false, "a", "second", "c"};
  log.clear();  // nothing to clear: nothing happens
  ASSERT_TRUE(log.append(first, 0, messages));
  log.clear();
  ASSERT_TRUE(log.append(second, 0, messages));
  log.clear();
  EXPECT_FALSE(platform::pathExists(log.path()));
  EXPECT_NE(platform::readFile(log.generation(2)).value().find("first"), std::string::npos);
  EXPECT_NE(platform::readFile(log.generation(1)).value().find("second"), std::string::npos);
  EXPECT_EQ(log.tail(), "");
}

TEST_F(SortingLogTest, UnwritableLogIsReportedAndTheDecisionStands) {
  SortingLog blocked(dir.path(), 9);  // a folder cannot be appended to
  EXPECT_FALSE(blocked.append({false, false, "a", "b", "c"}, 0, messages));
  ASSERT_EQ(reporter.boxes().size(), 1u);
  EXPECT_EQ(reporter.boxes()[0].caption, utf8ToSjis("Zorvik:エラー  No.3001"));
}

}  // namespace
}  // namespace zorvik::sorting
