#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "support/CliRunner.h"
#include "support/TestEnvironment.h"

namespace zorvik {
namespace {

TEST(SettingsCli, SetCreatesACompleteFileAndGetReadsIt) {
  const test::ScratchDir dir;
  const std::string file = dir.file("a.xm9");
  auto result = test::runCli({"--settings", file, "set", "603", "587"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  result = test::runCli({"--settings", file, "get", "603"});
  EXPECT_EQ(result.out, "587\n");

  const std::string bytes = platform::readFile(file).value();
  EXPECT_EQ(bytes.rfind(platform::utf8ToSjis(";;Zorvik:個別設定") + "\r\n", 0), 0u);
  EXPECT_NE(bytes.find(platform::utf8ToSjis("##9999:終了\r\n")), std::string::npos);

  result = test::runCli({"get", "202"}, {}, {"ZORVIK_SETTINGS=" + file});
  EXPECT_EQ(result.out, "すべてのトレイ\n") << "output is UTF-8, the settings path comes from the environment";
}

TEST(SettingsCli, PasswordsAreShownPlainAndStoredScrambled) {
  const test::ScratchDir dir;
  const std::string file = dir.file("a.xm9");
  for (const std::string item : {"804", "smtp-password"}) {
    ASSERT_EQ(test::runCli({"--settings", file, "set", item, "secret-" + item}).exitCode, 0);
    EXPECT_EQ(test::runCli({"--settings", file, "get", item}).out, "secret-" + item + "\n");
    EXPECT_EQ(platform::readFile(file).value().find("secret"), std::string::npos);
  }
}

TEST(SettingsCli, JapaneseValuesAndWrongUsage) {
  const test::ScratchDir dir;
  const std::string file = dir.file("a.xm9");
  ASSERT_EQ(test::runCli({"--settings", file, "set", "501", "山田 太郎"}).exitCode, 0);
  EXPECT_EQ(test::runCli({"--settings", file, "get", "501"}).out, "山田 太郎\n");
  EXPECT_EQ(test::runCli({"--settings", file, "get", "100"}).exitCode, 2) << "a section has no value";
  EXPECT_EQ(test::runCli({"--settings", file, "get", "12345"}).exitCode, 2);
  EXPECT_EQ(test::runCli({"--settings", file, "set", "603"}).exitCode, 2);
  EXPECT_EQ(test::runCli({"--settings", file, "frobnicate"}).exitCode, 2);
  EXPECT_EQ(test::runCli({"--version"}).out, "zorvik-cli 1.6.0.8\n");
}

// Values are checked against the item's kind and range before anything is
// written; items are found by number, description or English key.
TEST(SettingsCli, ValuesMustFitTheItemAndItemsHaveNames) {
  const test::ScratchDir dir;
  const std::string file = dir.file("a.xm9");
  ASSERT_EQ(test::runCli({"--settings", file, "set", "809", "995"}).exitCode, 0);
  const std::string before = platform::readFile(file).value();
  struct Refused {
    std::string item, value, expected;
  };
  for (const Refused& c : std::vector<Refused>{{"809", "abc", "整数 1～65535"},
                                                {"809", "99999", "整数 1～65535"},
                                                {"pop-port", "-5", "整数 1～65535"},
                                                {"pop-security", "3", "整数 0～2"},
                                                {"smtp-auth", "5", "整数 0～4"},
                                                {"807", "2", "スイッチ 0 または 1"},
                                                {"302", "red", "色 16進数8桁"},
                                                {"受信検査間隔秒", "1.5", "整数 0～2147483647"}}) {
    SCOPED_TRACE(c.item + " " + c.value);
    const auto result = test::runCli({"--settings", file, "set", c.item, c.value});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("No.4208"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(c.expected), std::string::npos) << result.err;
  }
  EXPECT_EQ(platform::readFile(file).value(), before) << "nothing written";
  EXPECT_EQ(test::runCli({"--settings", file, "get", "受信ポート番号"}).out, "995\n");
  EXPECT_EQ(test::runCli({"--settings", file, "get", "pop-port"}).out, "995\n");
  EXPECT_EQ(test::runCli({"--settings", file, "get", "no-such-item"}).exitCode, 2);
}

TEST(SettingsCli, BrokenSettingsFileIsReportedWithItsNumber) {
  const test::ScratchDir dir;
  const std::string file = dir.file("a.xm9");
  std::string text = "##0603:x\r\n";
  ASSERT_TRUE(platform::writeFileAtomically(file, text));
  const auto result = test::runCli({"--settings", file, "get", "603"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("Zorvik:エラー  No.190"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace zorvik
