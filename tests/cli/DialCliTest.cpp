// zorvik-cli dial, hangup, and the dial-up around a receive, against a
// fake nmcli on PATH that logs its calls, and a real POP3 server
// (Dovecot): with item 901 set, a receive dials before its first mail is
// stored and hangs up after the last, and leaves alone a connection that
// was up before it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/CliAccount.h"
#include "support/DovecotServer.h"
#include "support/FakeNmcli.h"

namespace zorvik {
namespace {

// The calls of `log` that dial or hang up, with the notes that follow them.
std::vector<std::string> upsAndDowns(const std::vector<std::string>& log) {
  std::vector<std::string> found;
  for (const std::string& line : log)
    if (line.starts_with("connection up") || line.starts_with("connection down") || line.starts_with("watched:"))
      found.push_back(line);
  return found;
}

class DialCli : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(account.ready()) << account.initError();
    nmcli.addProfile("mobile");
    set("901", "mobile");
    set("903", "secret");
  }

  test::CliResult cli(std::vector<std::string> args, const std::string& path = {}) const {
    return account.run(std::move(args), {"PATH=" + (path.empty() ? nmcli.pathVariable() : path)});
  }
  void set(const std::string& item, const std::string& value) const {
    const auto result = cli({"set", item, value});
    ASSERT_EQ(result.exitCode, 0) << result.err;
  }

  test::CliAccount account;
  test::FakeNmcli nmcli;
};

TEST_F(DialCli, DialAndHangUpByHand) {
  const auto dialled = cli({"dial"});
  ASSERT_EQ(dialled.exitCode, 0) << dialled.err;
  EXPECT_EQ(dialled.out, "dialled\n");
  EXPECT_NE(dialled.err.find("接続成功"), std::string::npos) << "the states are shown: " << dialled.err;
  EXPECT_EQ(nmcli.active(), std::vector<std::string>{"mobile"}) << "dial leaves it up";
  EXPECT_EQ(cli({"dial"}).out, "connected\n");
  EXPECT_EQ(cli({"hangup"}).exitCode, 0);
  EXPECT_TRUE(nmcli.active().empty());

  const auto missing = cli({"dial"}, "/nonexistent");
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("No.900"), std::string::npos) << missing.err;
  set("901", "");
  EXPECT_EQ(cli({"dial"}).exitCode, 1);
}

TEST_F(DialCli, AReceiveDialsBeforeAndHangsUpAfterWhatItDialledOnly) {
  if (!test::DovecotServer::available()) GTEST_SKIP() << test::DovecotServer::missingReason();
  test::DovecotServer server;
  ASSERT_TRUE(server.start()) << server.log();
  server.addUser("u", "pw");
  server.deliver("u", "From: a@example.jp\r\nSubject: over the line\r\n\r\nbody\r\n");
  for (const auto& [item, value] : std::vector<std::pair<std::string, std::string>>{
           {"801", "127.0.0.1"}, {"809", std::to_string(server.port())}, {"803", "u"}, {"804", "pw"}, {"807", "1"}})
    set(item, value);
  // The new-mail tray's text file: empty before the receive, filled after.
  const auto top = cli({"check"});
  ASSERT_EQ(top.exitCode, 0) << top.err;
  nmcli.watch(account.topCabinet() + "/新着受信.XM0");

  const auto received = cli({"receive"});
  ASSERT_EQ(received.exitCode, 0) << received.err;
  EXPECT_EQ(received.out, "0\n");
  std::vector<std::string> calls = upsAndDowns(nmcli.log());
  ASSERT_EQ(calls.size(), 4u) << ::testing::PrintToString(calls);
  EXPECT_TRUE(calls[0].starts_with("connection up id mobile passwd-file ")) << calls[0];
  calls.erase(calls.begin());
  EXPECT_EQ(calls, (std::vector<std::string>{"watched: empty", "connection down id mobile", "watched: filled"}));
  EXPECT_TRUE(nmcli.active().empty());

  // A connection the user made is used and left up.
  nmcli.setActive("mobile");
  const std::size_t before = upsAndDowns(nmcli.log()).size();
  EXPECT_EQ(cli({"receive"}).exitCode, 0);
  EXPECT_EQ(upsAndDowns(nmcli.log()).size(), before);
  EXPECT_EQ(nmcli.active(), std::vector<std::string>{"mobile"});

  // Without nmcli the receive does not start: the mail stays on the server.
  server.deliver("u", "From: a@example.jp\r\nSubject: waits\r\n\r\nbody\r\n");
  const auto refused = cli({"receive"}, "/nonexistent");
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.err.find("No.900"), std::string::npos) << refused.err;
  EXPECT_EQ(server.mailCount("u"), 1);
}

}  // namespace
}  // namespace zorvik
