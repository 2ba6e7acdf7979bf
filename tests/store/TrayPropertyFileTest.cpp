#include <gtest/gtest.h>

#include "platform/TextEncoding.h"
#include "store/TrayPropertyFile.h"
#include "store/TrayPropertyTable.h"

namespace zorvik::store {
namespace {

struct ReadOutcome {
  bool ok = false;
  std::vector<TrayPropertyRecord> records;
  std::vector<core::ItemReadProblem> problems;
};

ReadOutcome readText(std::string text) {
  ReadOutcome outcome;
  auto lines = platform::LineReader::fromText(std::move(text));
  outcome.ok = readTrayPropertyRecords(
      lines,
      [&](const TrayPropertyRecord& record) {
        outcome.records.push_back(record);
        return true;
      },
      [&](const core::ItemReadProblem& problem) { outcome.problems.push_back(problem); });
  return outcome;
}

TrayPropertyRecord cabinet(std::string path) { return {true, std::move(path), {}}; }
TrayPropertyRecord tray(std::string path, TrayProperties properties) {
  return {false, std::move(path), std::move(properties)};
}

std::string header() { return platform::utf8ToSjis(";;Zorvik:トレイプロパティ\r\n"); }
const char* kTrailer = ";;END------------------------------------------\r\n";

TEST(TrayPropertyFile, CabinetRecordHoldsOnlyKindAndPath) {
  const std::string text = formatTrayPropertyFile({cabinet("A")});
  const std::string expected = header() +
      platform::utf8ToSjis("##1000:-------------トレイの種類(0=トレイ/1=引出)-------------\r\n1\r\n"
                           "##1001:トレイパス名\r\nA\r\n##9999:終了\r\n") +
      kTrailer;
  EXPECT_EQ(text, expected);
}

TEST(TrayPropertyFile, TrayRecordHoldsEveryItemWithFlagsInHex) {
  TrayProperties p = defaultTrayProperties();
  p.sortExpression = "x\r\ny";
  const std::string text = formatTrayPropertyFile({tray("A/t", p)});
  EXPECT_NE(text.find(platform::utf8ToSjis("##1002:フラッグ\r\n0000CE34\r\n")), std::string::npos);
  EXPECT_NE(text.find(platform::utf8ToSjis("##1006:受信振分:論理定義\r\nx\r\ny\r\n##1007")), std::string::npos);
  EXPECT_NE(text.find(platform::utf8ToSjis("##1026:署名ファイル名\r\n\r\n##9999:終了\r\n")), std::string::npos);
  std::size_t items = 0;
  for (std::size_t at = text.find("\r\n##"); at != std::string::npos; at = text.find("\r\n##", at + 1)) ++items;
  EXPECT_EQ(items, 28u);  // 1000-1026 and the end row
}

TEST(TrayPropertyFile, RecordsReadBackAsWritten) {
  TrayProperties withDefault = defaultTrayProperties();
  withDefault.sortKeyword = platform::utf8ToSjis("キーワード");
  withDefault.sendGroupTo = "a@example.jp\r\nb@example.jp";
  withDefault.flags = 0x12345678;
  withDefault.setSort(0, 7);
  TrayProperties empty = defaultTrayProperties();
  empty.sendGroupCc = "";
  const std::vector<TrayPropertyRecord> records = {
      cabinet(""), tray(".Default", withDefault), cabinet("A"), cabinet("A/B"),
      tray("A/B/" + platform::utf8ToSjis("表"), empty), tray("t", withDefault)};
  const ReadOutcome outcome = readText(formatTrayPropertyFile(records));
  EXPECT_TRUE(outcome.ok);
  EXPECT_TRUE(outcome.problems.empty());
  EXPECT_EQ(outcome.records, records);
}

TEST(TrayPropertyFile, HeaderAndTrailerOnlyReadsNothingSuccessfully) {
  const ReadOutcome outcome = readText(formatTrayPropertyFile({}));
  EXPECT_TRUE(outcome.ok);
  EXPECT_TRUE(outcome.records.empty());
  EXPECT_TRUE(readText("").ok);
}

TEST(TrayPropertyFile, MissingItemsTakeTableDefaultsNotThePreviousRecord) {
  TrayProperties first = defaultTrayProperties();
  first.sortKeyword = "kw";
  first.displayPeriod = 5;
  const std::string text = formatTrayPropertyFile({tray("a", first)}) +
                           "##1000:x\r\n0\r\n##1001:x\r\nb\r\n##9999:x\r\n";
  const ReadOutcome outcome = readText(text);
  ASSERT_EQ(outcome.records.size(), 2u);
  EXPECT_EQ(outcome.records[1].properties, defaultTrayProperties());
}

TEST(TrayPropertyFile, PathsLeavingTheStoreAreSkippedWithAProblem) {
  const std::string bad[] = {"/etc/x", "../x", "A/../../x", "A//x", "", "a:b", "A/.", "C:\\x"};
  for (const std::string& path : bad) {
    const ReadOutcome outcome = readText(formatTrayPropertyFile({tray(path, {}), tray("ok", {})}));
    EXPECT_TRUE(outcome.ok) << path;
    ASSERT_EQ(outcome.records.size(), 1u) << path;
    EXPECT_EQ(outcome.records[0].path, "ok");
    ASSERT_EQ(outcome.problems.size(), 1u) << path;
    EXPECT_EQ(outcome.problems[0].reason, badRecordPathReason());
    EXPECT_EQ(outcome.problems[0].lineText, path);
  }
  // The empty path of a cabinet is the top cabinet itself: allowed.
  EXPECT_EQ(readText(formatTrayPropertyFile({cabinet("")})).records.size(), 1u);
  const ReadOutcome climbing = readText(formatTrayPropertyFile({cabinet("..")}));
  EXPECT_TRUE(climbing.records.empty());
}

TEST(TrayPropertyFile, UnknownRecordKindIsSkipped) {
  const ReadOutcome outcome = readText("##1000:x\r\n2\r\n##1001:x\r\nA\r\n##9999:x\r\n");
  EXPECT_TRUE(outcome.ok);
  EXPECT_TRUE(outcome.records.empty());
  ASSERT_EQ(outcome.problems.size(), 1u);
  EXPECT_EQ(outcome.problems[0].reason, badRecordKindReason());
}

TEST(TrayPropertyFile, ItemErrorFailsButKeepsEarlierRecords) {
  const std::string text = formatTrayPropertyFile({cabinet("A")}) + "##1000:x\r\n0\r\n##1001:x\r\n";
  const ReadOutcome outcome = readText(text);
  EXPECT_FALSE(outcome.ok);
  ASSERT_EQ(outcome.records.size(), 1u);
  EXPECT_EQ(outcome.records[0], cabinet("A"));
}

TEST(TrayPropertyFile, RecordCutOffByTheEndOfFileIsDropped) {
  const ReadOutcome outcome = readText("##1000:x\r\n0\r\n##1001:x\r\nhalf\r\n##1002:x\r\n00000000\r\n");
  EXPECT_TRUE(outcome.ok);
  EXPECT_TRUE(outcome.records.empty());
}

TEST(TrayPropertyFile, GarbageNeverCrashesAndReportsUnknownIds) {
  const ReadOutcome outcome = readText("##abc\r\n##0000:x\r\n##-5\r\n\x81\r\n##1001\r\n");
  EXPECT_FALSE(outcome.ok);  // 1001's value line is missing
  EXPECT_EQ(outcome.problems.size(), 4u);
  EXPECT_TRUE(outcome.records.empty());
}

TEST(TrayPropertyFile, RefusedRecordStopsTheReadAsFailed) {
  auto lines = platform::LineReader::fromText(formatTrayPropertyFile({cabinet("A"), cabinet("B")}));
  int seen = 0;
  EXPECT_FALSE(readTrayPropertyRecords(
      lines, [&](const TrayPropertyRecord&) { return ++seen < 1; }, {}));
  EXPECT_EQ(seen, 1);
}

}  // namespace
}  // namespace zorvik::store
