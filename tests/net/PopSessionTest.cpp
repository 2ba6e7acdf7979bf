// The session on its worker thread against a scripted server on 127.0.0.1:
// the faults a real server does not produce on request.
#include <gtest/gtest.h>

#include "core/Messages.h"
#include "support/ScriptedServer.h"
#include "PopTestFakes.h"

namespace zorvik::net {
namespace {

using core::MessageNumber;

using namespace std::chrono_literals;
using test::expect;
using test::pause;
using test::readUntilClosed;
using test::ScriptedServer;
using test::send;

const PopAccount kPlain{"taro", "secret", false, false};

std::vector<test::ScriptStep> loginSteps() {
  return {send("+OK ready\r\n"), expect("USER taro"), send("+OK\r\n"), expect("PASS secret"), send("+OK in\r\n")};
}

std::vector<test::ScriptStep> operator+(std::vector<test::ScriptStep> a, const std::vector<test::ScriptStep>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(PopSession, WholeReceiveWithSplitRepliesAndDelete) {
  ScriptedServer server(loginSteps() + std::vector{
      expect("STAT"), send("+OK 2 3"), pause(200ms), send("0\r\n"),  // split inside the line
      expect("LIST"), send("+OK\r\n1 10\r\n2 20\r\n.\r\n"),
      expect("TOP 1 0"), send("+OK\r\nSubject: one\r\n.\r\n"),
      expect("TOP 2 0"), send("+OK\r\nSubject: two\r\n"), pause(100ms), send(".\r\n"),
      expect("RETR 1"), send("+OK\r\nSubject: one\r\n\r\nbo"), pause(100ms), send("dy\r\n.\r\n"),
      expect("RETR 2"), send("+OK\r\nSubject: two\r\n\r\nbody\r\n.\r\n"),
      expect("DELE 1"), send("+OK\r\n"), expect("DELE 2"), send("+OK\r\n"),
      expect("QUIT"), send("+OK bye\r\n"), readUntilClosed()});
  test::PopRig rig;
  ASSERT_TRUE(rig.login(rig.settings(server.port(), kPlain)));
  const auto result = rig.receive(ListMode::All, true);
  server.wait();
  EXPECT_TRUE(server.succeeded()) << server.failure();
  EXPECT_TRUE(result.completed);
  EXPECT_EQ(result.fetched, 2);
  EXPECT_EQ(result.deleted, 2);
  ASSERT_EQ(rig.sink.mails.size(), 2u);
  EXPECT_EQ(rig.sink.mails[0].text, "Subject: one\r\n\r\nbody\r\n.\r\n");
  EXPECT_EQ(rig.sink.durableCalls, 1);
  EXPECT_TRUE(rig.boxTexts().empty());
  EXPECT_EQ(rig.session.state(), PopState::Idle);
}

TEST(PopSession, ServerClosingInTheMiddleOfRetrEndsWithoutDeleting) {
  ScriptedServer server(loginSteps() + std::vector{
      expect("STAT"), send("+OK 1 30\r\n"), expect("LIST"), send("+OK\r\n1 30\r\n.\r\n"),
      expect("RETR 1"), send("+OK\r\nSubject: cut\r\n\r\nhalf a"), test::close()});
  test::PopRig rig;
  ASSERT_TRUE(rig.login(rig.settings(server.port(), kPlain)));
  const auto result = rig.receive(ListMode::NoHeaders, true);
  server.wait();
  EXPECT_FALSE(result.completed);
  EXPECT_TRUE(rig.sink.mails.empty());
  EXPECT_EQ(rig.session.state(), PopState::Idle);
  for (const std::string& line : server.received()) EXPECT_NE(line.substr(0, 4), "DELE");
}

TEST(PopSession, ApopGreetingWithoutTimeStampSendsNoPassword) {
  ScriptedServer server({send("+OK no stamp here\r\n"), readUntilClosed()});
  test::PopRig rig;
  EXPECT_FALSE(rig.login(rig.settings(server.port(), {"taro", "secret", true, false})));
  server.wait();
  EXPECT_TRUE(server.received().empty());
  EXPECT_EQ(rig.boxTexts(), std::vector{core::Messages::text(MessageNumber::PopNoApop, {})});
}

TEST(PopSession, RefusedPasswordShowsTheServersAnswer) {
  ScriptedServer server({send("+OK ready\r\n"), expect("USER taro"), send("+OK\r\n"), expect("PASS secret"),
                         send("-ERR [AUTH] wrong\r\n"), readUntilClosed()});
  test::PopRig rig;
  EXPECT_FALSE(rig.login(rig.settings(server.port(), kPlain)));
  EXPECT_EQ(rig.boxTexts(), std::vector{core::Messages::text(MessageNumber::PopPassRefused, {"-ERR [AUTH] wrong"})});
  EXPECT_EQ(rig.session.state(), PopState::Idle);
}

// A server that accepts and closes at once: the count of reads that found
// the connection closed outlives sessions, so three are quiet and the fourth
// is reported. A read with data (a greeting) starts the count again.
TEST(PopSession, ConnectionClosedFourTimesIsReportedTheFourthTime) {
  ScriptedServer server({test::close()}, 4);
  test::PopRig rig;
  for (int i = 0; i < 4; ++i) {
    EXPECT_FALSE(rig.login(rig.settings(server.port(), kPlain)));
    EXPECT_EQ(rig.boxTexts().size(), i < 3 ? 0u : 1u) << i;
  }
  EXPECT_EQ(rig.boxTexts(), std::vector{core::Messages::text(MessageNumber::PopConnectionGone, {})});
}

TEST(PopSession, EndlessLineEndsWithAClearMessage) {
  ScriptedServer server(loginSteps() + std::vector{expect("STAT"), send(std::string(9u << 20, 'x'))});
  test::PopRig rig;
  ASSERT_TRUE(rig.login(rig.settings(server.port(), kPlain)));
  EXPECT_FALSE(rig.receive(ListMode::All, false).completed);
  ASSERT_EQ(rig.boxTexts().size(), 1u);
  EXPECT_EQ(rig.boxTexts()[0].substr(0, 20), core::Messages::text(MessageNumber::PopStatFailed, {}).substr(0, 20));
  EXPECT_GT(rig.boxTexts()[0].size(), core::Messages::text(MessageNumber::PopStatFailed, {}).size());
}

TEST(PopSession, CommandsAreRefusedUnlessReady) {
  test::PopRig rig;
  EXPECT_FALSE(rig.session.listAll());
  EXPECT_FALSE(rig.session.fetch(0));
  EXPECT_FALSE(rig.session.deleteMail(0));
  EXPECT_EQ(rig.boxTexts(), (std::vector{core::Messages::text(MessageNumber::PopFetchRefused, {}),
                                         core::Messages::text(MessageNumber::PopDeleteRefused, {})}));
}

TEST(PopSession, AbortWhileWaitingForTheServerIsSilentAndQuick) {
  ScriptedServer server(loginSteps() + std::vector{expect("STAT"), pause(2s)});
  test::PopRig rig;
  ASSERT_TRUE(rig.login(rig.settings(server.port(), kPlain, 30)));
  ASSERT_TRUE(rig.session.listAll());
  std::this_thread::sleep_for(300ms);  // STAT is out, the answer is not
  const auto start = std::chrono::steady_clock::now();
  rig.session.requestAbort();
  EXPECT_EQ(rig.wait({PopNotification::Ended}), 12);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms);
  rig.session.stop(true);
  EXPECT_TRUE(rig.boxTexts().empty());
}

TEST(PopSession, StopBeforeTheGreetingDoesNotWaitForIt) {
  ScriptedServer server({readUntilClosed()});
  test::PopRig rig;
  ASSERT_TRUE(rig.session.start(rig.owner, rig.settings(server.port(), kPlain, 30)));
  std::this_thread::sleep_for(200ms);
  const auto start = std::chrono::steady_clock::now();
  rig.session.stop(false);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms);
  EXPECT_EQ(rig.session.state(), PopState::Idle);
  EXPECT_TRUE(rig.boxTexts().empty());
}

TEST(PopSession, RefusedConnectionIsReportedNotRetried) {
  std::uint16_t port = 0;
  {
    ScriptedServer nobody({});  // a port that was free a moment ago
    port = nobody.port();
  }
  test::PopRig rig;
  EXPECT_FALSE(rig.login(rig.settings(port, kPlain)));
  EXPECT_EQ(rig.boxTexts(), std::vector{core::Messages::text(MessageNumber::PopCannotConnect, {})});
}

}  // namespace
}  // namespace zorvik::net
