// zorvik-cli search and next-unread on a store built with zorvik-cli:
// mails delivered as a server sends them (encoded-word Subjects, UTF-8
// bodies), one moved into nested cabinets (which the tree lists before
// 新着受信); the output lines scripts rely on, the collecting into the
// search-results tray, and the exit statuses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "message/HeaderEncoder.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "support/CliAccount.h"

namespace zorvik {
namespace {

class SearchCli : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(account.ready()) << account.initError();
    ok({"set", "707", "0"});
    ok({"mkcab", "仕事"});
    ok({"mkcab", "仕事/案件"});
    ok({"mktray", "仕事/案件/見積"});
    deliver("tanaka@example.jp", "予算の件", "来期の予算について。\r\n以上");
    deliver("suzuki@example.jp", "Lunch", "nothing to see");
    deliver("keiri@example.jp", "見積書", "予算は１００万円です。");
    ok({"move", "新着受信", "2", "仕事/案件/見積"});
  }

  void deliver(const std::string& from, const std::string& subject, const std::string& body) {
    static int serial = 0;
    const std::string file = account.file("m" + std::to_string(++serial) + ".eml");
    const std::string raw = "From: " + from + "\r\nTo: me@example.jp\r\nSubject: " +
                            message::HeaderEncoder::encode(platform::utf8ToSjis(subject)) +
                            "\r\nDate: Mon, 07 Dec 2026 09:0" + std::to_string(serial) + ":00 +0900\r\nMessage-ID: <" +
                            std::to_string(serial) +
                            "@example.jp>\r\nMIME-Version: 1.0\r\nContent-Type: text/plain; charset=UTF-8\r\n"
                            "Content-Transfer-Encoding: 8bit\r\n\r\n" +
                            body + "\r\n";
    ASSERT_TRUE(platform::writeFileAtomically(platform::utf8ToSjis(file), raw));
    ok({"deliver", file});
  }

  test::CliResult cli(std::vector<std::string> args) const { return account.run(std::move(args)); }
  std::string ok(std::vector<std::string> args) const {
    const auto result = cli(args);
    EXPECT_EQ(result.exitCode, 0) << args[0] << ": " << result.err;
    return result.out;
  }

  test::CliAccount account;
};

TEST_F(SearchCli, PrintsTrayIndexKindAndLineOfEveryHit) {
  EXPECT_EQ(ok({"search", "予算"}),
            "仕事/案件/見積\t0\tbody\t予算は１００万円です。\n"
            "新着受信\t0\theader\tSubject: 予算の件\n"
            "新着受信\t0\tbody\t来期の予算について。\n");
  EXPECT_EQ(ok({"search", "--cabinet", "仕事", "--width", "100万"}),
            "仕事/案件/見積\t0\tbody\t予算は１００万円です。\n");
  EXPECT_EQ(ok({"search", "--tray", "新着受信", "--from", "suzuki"}), "新着受信\t1\theader\tLunch\n");
  EXPECT_EQ(ok({"--json", "search", "--headers", "LUNCH"}), "[\"新着受信\",\"1\",\"header\",\"Subject: Lunch\"]\n");
  EXPECT_EQ(ok({"search", "--case", "LUNCH"}), "");
}

TEST_F(SearchCli, CollectsEveryMailIntoTheSearchResultsTray) {
  const auto result = cli({"search", "--collect", "予算"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "仕事/案件/見積\t0\tbody\t予算は１００万円です。\n新着受信\t0\theader\tSubject: 予算の件\n");
  EXPECT_NE(result.err.find("linked 2 of 2 into 検索結果"), std::string::npos) << result.err;
  const std::string listed = ok({"list", "検索結果"});
  EXPECT_NE(listed.find("予算の件"), std::string::npos);
  EXPECT_NE(listed.find("見積書"), std::string::npos);
  EXPECT_EQ(ok({"search", "予算の件"}), "新着受信\t0\theader\tSubject: 予算の件\n") << "the results are not searched";
}

TEST_F(SearchCli, NextUnreadGoesThroughTheStoreInTreeOrder) {
  EXPECT_EQ(ok({"next-unread"}), "仕事/案件/見積\t0\theader\t見積書\n");
  EXPECT_EQ(ok({"next-unread", "仕事/案件/見積", "0"}), "新着受信\t0\theader\t予算の件\n") << "after that mail";
  EXPECT_EQ(ok({"next-unread", "新着受信"}), "新着受信\t0\theader\t予算の件\n") << "from the tray's start";
  EXPECT_EQ(ok({"next-unread", "新着受信", "1"}), "") << "after the last unread mail";
  ok({"read", "新着受信", "0", "1"});
  ok({"read", "仕事/案件/見積", "0"});
  EXPECT_EQ(ok({"next-unread"}), "");
}

TEST_F(SearchCli, RefusesNothingToSearchAndWrongUsage) {
  const auto empty = cli({"search"});
  EXPECT_EQ(empty.exitCode, 1);
  EXPECT_NE(empty.err.find("No.150"), std::string::npos) << empty.err;
  EXPECT_EQ(cli({"search", "--since", "2026-13-01", "x"}).exitCode, 2);
  EXPECT_EQ(cli({"search", "one", "two"}).exitCode, 2);
  EXPECT_EQ(cli({"search", "--tray", "no-such-tray", "x"}).exitCode, 1);
  EXPECT_EQ(cli({"next-unread", "新着受信", "x"}).exitCode, 2);
}

}  // namespace
}  // namespace zorvik
