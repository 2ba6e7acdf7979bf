#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "support/CliRunner.h"
#include "support/DovecotServer.h"
#include "support/MailReadBack.h"
#include "support/SmtpSinkServer.h"
#include "support/TestEnvironment.h"

namespace zorvik {
namespace {

using test::SmtpSinkServer;

class SendCli : public ::testing::Test {
protected:
  void SetUp() override {
    if (const auto why = SmtpSinkServer::unavailableReason(); !why.empty()) GTEST_SKIP() << why;
    server.emplace(dir.file("maildir"));
    const auto made = test::runCli(
        {"init", "--name", "山田 太郎", "--address", "taro@example.jp", "--dir", dir.path(), "--plain"}, dir.path(),
        {"HOME=" + dir.path()});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    settings = made.out.substr(0, made.out.find('\n'));
    ASSERT_EQ(cli({"set", "601", "127.0.0.1"}).exitCode, 0);
    ASSERT_EQ(cli({"set", "603", std::to_string(server->port())}).exitCode, 0);
    ASSERT_EQ(cli({"set", "605", "20"}).exitCode, 0);
    unsent = cli({"get", "204"}).out;
    sent = cli({"get", "205"}).out;
    unsent.pop_back();
    sent.pop_back();
  }

  test::CliResult cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"--settings", settings});
    return test::runCli(args, dir.path(), {"HOME=" + dir.path()});
  }

  std::string file(const std::string& name, const std::string& content) {
    const std::string path = dir.file(name);
    EXPECT_TRUE(platform::writeFileAtomically(platform::utf8ToSjis(path), content));
    return path;
  }

  std::size_t mailsIn(const std::string& tray) {
    const std::string listed = cli({"list", tray}).out;
    return static_cast<std::size_t>(std::count(listed.begin(), listed.end(), '\n'));
  }

  test::ScratchDir dir;
  std::optional<SmtpSinkServer> server;
  std::string settings;
  std::string unsent;
  std::string sent;
};

TEST_F(SendCli, JapaneseMailWithTwoAttachmentsArrivesAsWrittenAndMovesToTheSentTray) {
  std::string photo("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10);
  for (int i = 0; i < 200; ++i) photo += static_cast<char>((i * 31 + 7) % 256);
  const std::string table = "名前,点数\r\n山田,90\r\n";
  const std::string photoPath = file("写真.jpg", photo);
  const std::string tablePath = file("table.csv", table);
  const std::string body = file("body.txt", "こんにちは、山田です。\n.\n資料を送ります。\n");
  const auto composed = cli({"compose", "--to", "花子 <hanako@example.jp>", "--subject", "会議の資料",
                             "--body-file", body, "--attach", photoPath, "--attach", tablePath});
  ASSERT_EQ(composed.exitCode, 0) << composed.err;

  const auto result = cli({"send"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "sent\t1\nunsent\t0\n");
  EXPECT_EQ(mailsIn(unsent), 0u);
  EXPECT_EQ(mailsIn(sent), 1u);

  const auto messages = server->messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(SmtpSinkServer::headerValue(messages[0], "X-RcptTo"), "hanako@example.jp");
  const std::string stored = dir.file("stored.eml");
  ASSERT_TRUE(platform::writeFileAtomically(stored, messages[0]));
  // The last line end of the text belongs to the boundary that follows it.
  EXPECT_EQ(test::readMailBack(stored),
            "subject\t会議の資料\n"
            "text\tこんにちは、山田です。|.|資料を送ります。\n"
            "file\t写真.jpg\t写真.jpg\t" + test::hexOf(photo) + "\n"
            "file\ttable.csv\ttable.csv\t" + test::hexOf(table) + "\n");
}

TEST_F(SendCli, RefusedRecipientKeepsTheMailUnsentAndTheNextSendStillTriesIt) {
  ASSERT_EQ(cli({"compose", "--to", "bad@@example.jp", "--subject", "x", "--body", "y"}).exitCode, 0);
  auto result = cli({"send"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "sent\t0\nunsent\t1\n");
  EXPECT_NE(result.err.find("No.1004"), std::string::npos) << result.err;
  EXPECT_EQ(mailsIn(unsent), 1u);
  EXPECT_EQ(mailsIn(sent), 0u);
  EXPECT_TRUE(server->messages().empty());
  EXPECT_EQ(cli({"send", "extra"}).exitCode, 2);
}

// Sending and receiving in one command, POP-before-SMTP as well: the mail
// waiting on the POP3 server reaches the new-mail tray, the unsent mail the
// SMTP server and the sent tray.
TEST_F(SendCli, SendReceiveDoesBothWithAndWithoutPopBeforeSmtp) {
  if (!test::DovecotServer::available()) GTEST_SKIP() << test::DovecotServer::missingReason();
  test::DovecotServer pop;
  pop.addUser("taro", "pw");
  ASSERT_TRUE(pop.start()) << pop.log();
  for (const auto& [item, value] : std::vector<std::pair<std::string, std::string>>{
           {"801", "127.0.0.1"}, {"809", std::to_string(pop.port())}, {"803", "taro"}, {"804", "pw"}})
    ASSERT_EQ(cli({"set", item, value}).exitCode, 0);
  const std::string newMail = cli({"get", "203"}).out.substr(0, cli({"get", "203"}).out.size() - 1);

  for (const std::string popFirst : {"0", "1"}) {
    ASSERT_EQ(cli({"set", "817", popFirst}).exitCode, 0);
    pop.deliver("taro", "From: a@example.jp\r\nTo: taro@example.jp\r\nSubject: in " + popFirst +
                            "\r\nMessage-Id: <in" + popFirst + "@example.jp>\r\n\r\nbody\r\n");
    ASSERT_EQ(cli({"compose", "--to", "hanako@example.jp", "--subject", "out " + popFirst, "--body", "b"}).exitCode, 0);
    const auto result = cli({"sendrecv"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "sent\t1\nunsent\t0\nreceived\t1\n") << result.err;
  }
  EXPECT_EQ(mailsIn(newMail), 2u);
  EXPECT_EQ(mailsIn(sent), 2u);
  EXPECT_EQ(mailsIn(unsent), 0u);
  EXPECT_EQ(server->messages().size(), 2u);
}

// A send alone honours POP-before-SMTP too: it logs in to the POP3 server
// first, and a refused login sends nothing.
TEST_F(SendCli, SendAloneLogsInToThePop3ServerFirst) {
  if (!test::DovecotServer::available()) GTEST_SKIP() << test::DovecotServer::missingReason();
  test::DovecotServer pop;
  pop.addUser("taro", "pw");
  ASSERT_TRUE(pop.start()) << pop.log();
  for (const auto& [item, value] : std::vector<std::pair<std::string, std::string>>{
           {"801", "127.0.0.1"}, {"809", std::to_string(pop.port())}, {"803", "taro"}, {"804", "wrong"},
           {"817", "1"}})
    ASSERT_EQ(cli({"set", item, value}).exitCode, 0);
  ASSERT_EQ(cli({"compose", "--to", "hanako@example.jp", "--subject", "after login", "--body", "b"}).exitCode, 0);
  const auto refused = cli({"send"});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_EQ(refused.out, "sent\t0\nunsent\t1\n");
  EXPECT_TRUE(server->messages().empty()) << "no send without the login";

  ASSERT_EQ(cli({"set", "804", "pw"}).exitCode, 0);
  const auto sentNow = cli({"send"});
  EXPECT_EQ(sentNow.exitCode, 0) << sentNow.err;
  EXPECT_EQ(server->messages().size(), 1u);
}

// Two sends started together (the desktop client's timer and a script):
// each unsent mail reaches the server once.
TEST_F(SendCli, TwoSendsAtOnceSendEachMailOnce) {
  constexpr int kMails = 40;
  for (int i = 0; i < kMails; ++i)
    ASSERT_EQ(cli({"compose", "--to", "hanako@example.jp", "--subject", "m" + std::to_string(i), "--body", "b"})
                  .exitCode,
              0);
  const std::vector<std::string> args{"--settings", settings, "send"};
  test::CliProcess first(args, dir.path(), {"HOME=" + dir.path()});
  test::CliProcess second(args, dir.path(), {"HOME=" + dir.path()});
  const auto one = first.wait();
  const auto two = second.wait();
  EXPECT_TRUE(one.exitCode == 0 || two.exitCode == 0) << one.err << two.err;
  if (one.exitCode != 0) EXPECT_NE(one.err.find("No.185"), std::string::npos) << one.err;
  if (two.exitCode != 0) EXPECT_NE(two.err.find("No.185"), std::string::npos) << two.err;
  const auto messages = server->messages();
  std::set<std::string> subjects;
  for (const auto& message : messages) subjects.insert(SmtpSinkServer::headerValue(message, "Subject"));
  EXPECT_EQ(messages.size(), static_cast<std::size_t>(kMails));
  EXPECT_EQ(subjects.size(), static_cast<std::size_t>(kMails));
  EXPECT_EQ(mailsIn(unsent), 0u);
}

}  // namespace
}  // namespace zorvik
