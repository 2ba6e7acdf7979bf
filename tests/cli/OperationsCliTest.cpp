// Builds a tree with zorvik-cli, moves, links, deletes, compacts, backs it up
// twice and restores it by merge, checking what `trays` shows at every step.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "platform/FileSystem.h"
#include "support/CliRunner.h"
#include "support/TestEnvironment.h"

namespace zorvik {
namespace {

class OperationsCli : public ::testing::Test {
protected:
  OperationsCli() {
    platform::makeDirectories(dir.file("home/Desktop"));
    const auto made = run({"init", "--name", "山田", "--address", "taro@example.jp", "--dir", dir.file("z")});
    EXPECT_EQ(made.exitCode, 0) << made.err;
  }

  test::CliResult run(std::vector<std::string> args) const {
    return test::runCli(args, dir.path(), {"HOME=" + dir.file("home"), "XDG_CONFIG_HOME=" + dir.file("home/.config")});
  }
  // Runs a command on the store, answering questions with yes; expects
  // `exitCode` and returns stdout.
  std::string ok(std::vector<std::string> args, int exitCode = 0) const {
    args.insert(args.begin(), {"--settings", settings, "--yes"});
    const auto result = run(args);
    EXPECT_EQ(result.exitCode, exitCode) << args[3] << ": " << result.err;
    return result.out;
  }
  // Path -> "live unread" of every tray, "-" for cabinets.
  std::map<std::string, std::string> trays() const {
    std::map<std::string, std::string> shown;
    std::istringstream in(ok({"trays"}));
    for (std::string line; std::getline(in, line);) {
      std::istringstream fields(line);
      std::string kind, path, live, unread;
      std::getline(fields, kind, '\t');
      std::getline(fields, path, '\t');
      std::getline(fields, live, '\t');
      std::getline(fields, unread, '\t');
      shown[path] = kind == "cabinet" ? "-" : live + " " + unread;
    }
    return shown;
  }
  void deliver(const std::string& subject, const std::string& date) const {
    const std::string file = dir.file(subject + ".eml");
    platform::writeFileAtomically(file, "From: a@example.jp\r\nTo: taro@example.jp\r\nSubject: " + subject +
                                            "\r\nMessage-ID: <" + subject + "@example.jp>\r\nDate: " + date +
                                            "\r\n\r\nbody of " + subject + "\r\n");
    ok({"deliver", file});
  }

  test::ScratchDir dir;
  const std::string settings = dir.file("z/taro.xm9");
};

TEST_F(OperationsCli, TreeMailsBackupAndRestoreKeepTheCounts) {
  deliver("first", "Mon, 7 Dec 2026 09:00:00 +0900");
  deliver("second", "Sun, 6 Dec 2026 09:00:00 +0900");
  deliver("third", "Sat, 7 Dec 2019 09:00:00 +0900");
  deliver("fourth", "Fri, 6 Dec 2019 09:00:00 +0900");
  ok({"mkcab", "仕事"});
  EXPECT_EQ(ok({"mktray", "--in", "仕事"}), "仕事/新規トレイ\n");
  EXPECT_EQ(ok({"mktray", "--in", "仕事"}), "仕事/新規トレイ1\n");
  ok({"mkcab", "仕事/古い"});
  ok({"mkcab", "仕事/古い"}, 1);
  auto shown = trays();
  EXPECT_EQ(shown["新着受信"], "4 4");
  EXPECT_EQ(shown["仕事"], "-");
  EXPECT_EQ(shown["仕事/新規トレイ"], "0 0");

  EXPECT_EQ(ok({"move", "新着受信", "0", "1", "仕事/新規トレイ"}), "0\t0\n1\t1\n");
  EXPECT_EQ(ok({"link", "仕事/新規トレイ", "0", "仕事/新規トレイ1"}), "0\t0\n");
  ok({"read", "仕事/新規トレイ", "1"});
  shown = trays();
  EXPECT_EQ(shown["新着受信"], "2 2");
  EXPECT_EQ(shown["仕事/新規トレイ"], "2 1");
  EXPECT_EQ(shown["仕事/新規トレイ1"], "1 1");

  ok({"rename", "仕事", "業務"});
  ok({"mvtray", "業務/新規トレイ1", "業務/古い"});
  ok({"mvtray", "業務", "業務/古い"}, 1);
  shown = trays();
  EXPECT_EQ(shown.count("仕事"), 0U);
  EXPECT_EQ(shown["業務/新規トレイ"], "2 1");
  EXPECT_EQ(shown["業務/古い/新規トレイ1"], "1 1") << "the link followed both renames";
  EXPECT_NE(ok({"list", "業務/古い/新規トレイ1"}).find("first"), std::string::npos);

  // To the trash, then for good from the trash; the mail's links go with it.
  EXPECT_EQ(ok({"rm", "業務/新規トレイ", "0"}), "1\n");
  shown = trays();
  EXPECT_EQ(shown["ごみ箱"], "1 1");
  EXPECT_EQ(shown["業務/古い/新規トレイ1"], "0 0");
  EXPECT_EQ(ok({"rm", "ごみ箱", "0"}), "1\n");
  EXPECT_EQ(trays()["ごみ箱"], "0 0");
  ok({"compact", "業務/新規トレイ"});
  EXPECT_EQ(ok({"list", "業務/新規トレイ"}).substr(0, 2), "0\t") << "the remaining mail moved to record 0";
  ok({"mark", "業務/新規トレイ", "0", "4"});
  ok({"rm", "業務"}, 1);

  const std::string backupDir = dir.file("bk");
  // Copied, and left out by the period.
  EXPECT_EQ(ok({"backup", backupDir, "--period", "3"}), "3\t0\n");
  EXPECT_EQ(ok({"backup", backupDir, "--period", "3"}), "0\t0\n");
  EXPECT_EQ(ok({"backup", dir.file("z/taro"), "--period", "3"}, 1), "0\t0\n");

  // Lose the cabinet and the new mails, then merge the backup back.
  EXPECT_EQ(ok({"list", "新着受信"}).substr(0, 2), "2\t") << "records 0 and 1 were moved away";
  ok({"rm", "新着受信", "0", "--for-good"}, 1);
  ok({"rm", "新着受信", "2", "3", "--for-good"});
  ok({"rm", "業務/新規トレイ", "0", "--for-good"});
  ok({"rm", "業務/古い/新規トレイ1"});
  EXPECT_EQ(trays()["業務/古い/新規トレイ1"], "0 0") << "its flags allow emptying it, not deleting it";
  ok({"flags", "業務/古い/新規トレイ1", "+delete-tray"});
  ok({"rm", "業務/古い/新規トレイ1"});
  ok({"rm", "業務/古い"});
  shown = trays();
  EXPECT_EQ(shown["新着受信"], "0 0");
  EXPECT_EQ(shown.count("業務/古い"), 0U);
  EXPECT_EQ(ok({"merge", backupDir + "/すべてのトレイ", "--period", "7"}), "3\t0\n");
  shown = trays();
  EXPECT_EQ(shown["新着受信"], "2 2");
  EXPECT_EQ(shown["業務/新規トレイ"], "1 0");
  EXPECT_EQ(shown["業務/古い"], "-");
  EXPECT_EQ(shown["業務/古い/新規トレイ1"], "0 0") << "the backup held the empty tray";
  EXPECT_EQ(ok({"merge", backupDir + "/すべてのトレイ", "--period", "7"}), "0\t0\n");
}

TEST_F(OperationsCli, UsageErrorsTouchNothing) {
  EXPECT_EQ(run({"--settings", settings, "move", "新着受信", "x", "ごみ箱"}).exitCode, 2);
  EXPECT_EQ(run({"--settings", settings, "mark", "新着受信", "0", "9"}).exitCode, 2);
  EXPECT_EQ(run({"--settings", settings, "backup", dir.file("bk"), "--period", "4"}).exitCode, 2)
      << "a picked period needs its date";
  EXPECT_FALSE(platform::pathExists(dir.file("bk/すべてのトレイ")));
  const auto result = run({"--settings", settings, "clean-attachments"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_NE(result.err.find("参照されていない添付ファイルはありません"), std::string::npos) << result.err;
}

// What a script names wrong is named back: the tray or the index.
TEST_F(OperationsCli, AWrongTrayOrIndexIsNamedAndNothingMoves) {
  struct Case {
    std::vector<std::string> command;
    std::string message;
  };
  for (const Case& c : std::vector<Case>{{{"copy", "新着受信", "99", "ごみ箱"}, "No.4211"},
                                         {{"move", "新着受信", "0", "どこにもない"}, "No.4210"},
                                         {{"rm", "どこにもない", "0"}, "No.4210"},
                                         {{"mark", "新着受信", "99", "1"}, "No.4211"},
                                         {{"mktray", "ごみ箱"}, "No.4209"}}) {
    SCOPED_TRACE(c.command[0]);
    std::vector<std::string> args{"--settings", settings};
    args.insert(args.end(), c.command.begin(), c.command.end());
    const auto refused = run(args);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find(c.message), std::string::npos) << refused.err;
  }
}

}  // namespace
}  // namespace zorvik
