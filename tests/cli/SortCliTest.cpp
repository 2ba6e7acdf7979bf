// Mailing-list mails delivered the way a receive stores them, then sorted
// by zorvik-cli into trays that carry keywords, expressions and send
// groups; the trays' lists and the sorting log show where each one went.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "message/HeaderEncoder.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "support/CliRunner.h"
#include "support/DovecotServer.h"
#include "support/TestEnvironment.h"

namespace zorvik {
namespace {

struct ListMail {
  std::string subject;  // UTF-8
  std::string from;
  std::string id;
};

// Three mailing lists, a colleague, the family and a stranger.
const std::vector<ListMail> kMails{
    {"[ruby-list:4501] 配列の質問", "ichiro@ruby.example.jp", "r1@ruby.example.jp"},
    {"[python-jp:88] 勉強会のお知らせ", "jiro@python.example.jp", "p1@python.example.jp"},
    {"[ML:123] 会議の議事録", "saburo@ml.example.jp", "m1@ml.example.jp"},
    {"[ruby-list:4502] Re: 配列の質問", "shiro@ruby.example.jp", "r2@ruby.example.jp"},
    {"請求書の件", "keiri@corp.example.jp", "w1@corp.example.jp"},
    {"家族旅行", "hanako@example.jp", "f1@example.jp"},
    {"[python-jp:89] 懇親会", "goro@python.example.jp", "p2@python.example.jp"},
    {"はじめまして", "stranger@example.com", "s1@example.com"},
};

class SortCli : public ::testing::Test {
protected:
  void SetUp() override {
    const auto result = test::runCli({"init", "--name", "T", "--address", "me@example.jp", "--dir", dir.path(), "--plain"},
                                     dir.path(), {"HOME=" + dir.path()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    settings = result.out.substr(0, result.out.find('\n'));
    ok({"mkcab", "ML"});
    for (const char* tray : {"ML/ruby", "ML/python", "ML/general", "仕事", "家族"}) ok({"mktray", tray});
    ok({"prop", "ML/ruby", "1005", "ruby-list"});
    ok({"prop", "ML/python", "1005", "python-jp"});
    ok({"prop", "ML/general", "1005", "ML"});
    ok({"prop", "仕事", "1006", "[From:] > \"@corp.example.jp\""});
    ok({"prop", "家族", "1007", "hanako@example.jp"});
    ok({"flags", "ML/python", "+leave-link"});
    // Deliveries into the new-mail tray sort as receives do; these tests
    // sort by hand unless they say otherwise.
    ok({"set", "707", "0"});
  }

  test::CliResult cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"--settings", settings});
    return test::runCli(args, dir.path(), {"HOME=" + dir.path()});
  }
  std::string ok(std::vector<std::string> args) {
    const auto result = cli(args);
    EXPECT_EQ(result.exitCode, 0) << args[0] << ": " << result.err;
    return result.out;
  }

  // Mail `i` of kMails as a server sends it, Subject in ISO-2022-JP.
  static std::string raw(std::size_t i) {
    const ListMail& mail = kMails[i];
    return "From: " + mail.from + "\r\nTo: me@example.jp\r\nSubject: " +
           message::HeaderEncoder::encode(platform::utf8ToSjis(mail.subject)) + "\r\nDate: Mon, 07 Dec 2026 09:0" +
           std::to_string(i) + ":00 +0900\r\nMessage-ID: <" + mail.id +
           ">\r\nMIME-Version: 1.0\r\nContent-Type: text/plain; charset=ISO-2022-JP\r\n\r\nbody\r\n";
  }

  void deliverAll() {
    std::vector<std::string> args{"deliver"};
    for (std::size_t i = 0; i < kMails.size(); ++i) {
      const std::string file = dir.file("m" + std::to_string(i) + ".eml");
      EXPECT_TRUE(platform::writeFileAtomically(platform::utf8ToSjis(file), raw(i)));
      args.push_back(file);
    }
    ok(args);
  }

  // Every mail lands where its rule says; the log proves it.
  void expectSorted(std::string_view kind) {
    EXPECT_EQ(subjects("ML/ruby"), (std::vector<std::string>{"[ruby-list:4501] 配列の質問",
                                                             "[ruby-list:4502] Re: 配列の質問"}));
    EXPECT_EQ(subjects("ML/python"),
              (std::vector<std::string>{"[python-jp:88] 勉強会のお知らせ", "[python-jp:89] 懇親会"}));
    EXPECT_EQ(subjects("ML/general"), std::vector<std::string>{"[ML:123] 会議の議事録"});
    EXPECT_EQ(subjects("仕事"), std::vector<std::string>{"請求書の件"});
    EXPECT_EQ(subjects("家族"), std::vector<std::string>{"家族旅行"});
    // The stranger stays; ML/python left a link to each of its mails.
    EXPECT_EQ(subjects("新着受信"), (std::vector<std::string>{"はじめまして", "[python-jp:88] 勉強会のお知らせ",
                                                             "[python-jp:89] 懇親会"}));
    const std::string prefix = "|" + std::string(kind) + "|新着受信\\";
    EXPECT_EQ(logLineFor("r1@ruby.example.jp"), prefix + "r1@ruby.example.jp → ML/ruby");
    EXPECT_EQ(logLineFor("r2@ruby.example.jp"), prefix + "r2@ruby.example.jp → ML/ruby");
    EXPECT_EQ(logLineFor("p2@python.example.jp"), prefix + "p2@python.example.jp → ML/python");
    EXPECT_EQ(logLineFor("m1@ml.example.jp"), prefix + "m1@ml.example.jp → ML/general");
    EXPECT_EQ(logLineFor("w1@corp.example.jp"), prefix + "w1@corp.example.jp → 仕事");
    EXPECT_EQ(logLineFor("f1@example.jp"), prefix + "f1@example.jp → 家族");
    EXPECT_EQ(logLineFor("s1@example.com"), prefix + "s1@example.com → なし");
  }

  // The Subjects of a tray's rows, as `list` prints them (last field).
  std::vector<std::string> subjects(const std::string& tray) {
    std::vector<std::string> found;
    std::string out = ok({"list", tray});
    for (std::size_t end; (end = out.find('\n')) != std::string::npos; out.erase(0, end + 1)) {
      const std::string row = out.substr(0, end);
      found.push_back(row.substr(row.rfind('\t') + 1));
    }
    return found;
  }

  std::string logLineFor(const std::string& id) {
    const std::string log = ok({"log"});
    const auto at = log.find("\\" + id + " ");
    if (at == std::string::npos) return {};
    const auto start = log.rfind('\n', at);
    const auto end = log.find('\r', at);
    const std::string line = log.substr(start == std::string::npos ? 0 : start + 1,
                                        end - (start == std::string::npos ? 0 : start + 1));
    return line.substr(line.find('|'));  // without the time
  }

  test::ScratchDir dir;
  std::string settings;
};

TEST_F(SortCli, AutomaticSortingPutsEachListMailIntoItsTrayAndLogsIt) {
  deliverAll();
  const std::string outcome = ok({"sort", "--auto"});
  EXPECT_EQ(outcome, "moved\t7\nunmatched\t1\nstayed\t0\nmissing\t0\n");
  expectSorted("受自");
}

TEST_F(SortCli, DeliverySortsAsAReceiveDoes) {
  ok({"set", "707", "1"});
  deliverAll();
  expectSorted("受自");
}

// The same mailbox fetched from a real POP3 server: the receive stores the
// mails and sorts them at once, as item 707 asks.
TEST_F(SortCli, ReceivingFromDovecotSortsTheNewMails) {
  if (!test::DovecotServer::available()) GTEST_SKIP() << test::DovecotServer::missingReason();
  test::DovecotServer server;
  ASSERT_TRUE(server.start()) << server.log();
  server.addUser("taro", "pw");
  for (std::size_t i = 0; i < kMails.size(); ++i) server.deliver("taro", raw(i));
  for (const auto& [item, value] : std::vector<std::pair<std::string, std::string>>{
           {"801", "127.0.0.1"}, {"809", std::to_string(server.port())}, {"803", "taro"}, {"804", "pw"},
           {"707", "1"}})
    ok({"set", item, value});
  const auto received = cli({"receive"});
  ASSERT_EQ(received.exitCode, 0) << received.err;
  expectSorted("受自");

  ok({"set", "707", "0"});
  server.deliver("taro", "From: a@ruby.example.jp\r\nSubject: [ruby-list:4503] late\r\nMessage-ID: <r3@x>\r\n\r\nb\r\n");
  const auto again = cli({"receive"});
  ASSERT_EQ(again.exitCode, 0) << again.err;
  EXPECT_EQ(subjects("ML/ruby").size(), 2u) << "with item 707 off the new mail stays";
  EXPECT_EQ(subjects("新着受信").front(), "はじめまして");
  EXPECT_EQ(subjects("新着受信").back(), "[ruby-list:4503] late");
}

TEST_F(SortCli, ManualSortingAsksForTraysWithoutLinksAndSortsOneMail) {
  deliverAll();
  // Without --yes the question 40126 is answered no: only ML/python, which
  // leaves links, takes mails.
  const auto refused = cli({"sort", "新着受信"});
  ASSERT_EQ(refused.exitCode, 0) << refused.err;
  EXPECT_EQ(refused.out, "moved\t2\nunmatched\t1\nstayed\t5\nmissing\t0\n");
  EXPECT_NE(refused.err.find("リンクは残りません"), std::string::npos) << refused.err;
  EXPECT_NE(refused.err.find("振り分け先トレイが見つかりません。"), std::string::npos) << refused.err;

  const auto one = cli({"--yes", "sort", "新着受信", "0"});
  EXPECT_EQ(one.out, "moved\t1\nunmatched\t0\nstayed\t0\nmissing\t0\n") << one.err;
  EXPECT_EQ(subjects("ML/ruby"), std::vector<std::string>{"[ruby-list:4501] 配列の質問"});
  EXPECT_EQ(logLineFor("r1@ruby.example.jp"), "|受手|新着受信\\r1@ruby.example.jp → ML/ruby");

  const auto same = cli({"sort", "ML/ruby"});
  EXPECT_EQ(same.out, "moved\t0\nunmatched\t0\nstayed\t1\nmissing\t0\n");
  EXPECT_NE(same.err.find("同じトレイ「ML/ruby」に振分けられました"), std::string::npos) << same.err;

  EXPECT_EQ(cli({"sort"}).exitCode, 2);
  EXPECT_EQ(cli({"sort", "新着受信", "x"}).exitCode, 2);
  EXPECT_EQ(cli({"sort", "no such tray"}).exitCode, 1);
}

TEST_F(SortCli, TestRulePrintsTheVerdictTheReasonAndTheErrorCode) {
  deliverAll();
  EXPECT_EQ(ok({"test-rule", "ML/ruby", "新着受信", "0"}), "TRUE\tキーワード一致\t0\n");
  EXPECT_EQ(ok({"test-rule", "仕事", "新着受信", "4"}), "TRUE\t振分論理式\t0\n");
  EXPECT_EQ(ok({"test-rule", "家族", "新着受信", "5"}), "TRUE\t送信グループ一致\t0\n");
  ok({"prop", "仕事", "1006", "([From:] > \"x\""});
  EXPECT_EQ(ok({"test-rule", "仕事", "新着受信", "0"}), "FALSE\t振分不一致\t600\n");
  const auto noMail = cli({"test-rule", "仕事", "新着受信", "99"});
  EXPECT_EQ(noMail.exitCode, 1);
  EXPECT_NE(noMail.err.find("試験対象となるメールが選択されていません。"), std::string::npos) << noMail.err;
}

TEST_F(SortCli, ClearingTheLogTwiceKeepsBothGenerations) {
  EXPECT_EQ(ok({"log"}), "") << "no log shows nothing";
  EXPECT_EQ(ok({"log", "--clear"}), "");
  deliverAll();
  ok({"sort", "--auto"});
  const std::string first = ok({"log"});
  ASSERT_NE(first, "");
  ok({"log", "--clear"});
  EXPECT_EQ(ok({"log"}), "");
  ok({"sort", "新着受信", "7"});  // the stranger: no tray, one line
  const std::string second = ok({"log"});
  ok({"log", "--clear"});

  const std::string root = platform::directoryOf(platform::utf8ToSjis(settings));
  std::string bk1;
  std::string bk2;
  for (const auto& entry : platform::listDirectory(root)) {
    const std::string base = platform::joinPath(root, entry.name + "/" + platform::utf8ToSjis("振分ログ"));
    if (platform::pathExists(base + ".bk1")) bk1 = platform::sjisToUtf8(platform::readFile(base + ".bk1").value());
    if (platform::pathExists(base + ".bk2")) bk2 = platform::sjisToUtf8(platform::readFile(base + ".bk2").value());
  }
  EXPECT_EQ(bk2, first);
  EXPECT_EQ(bk1, second);
}

}  // namespace
}  // namespace zorvik
