// The SMTP session against a scripted server on 127.0.0.1: the exact
// commands, every refusal a server can give, lost connections and time-outs.

#include "net/SmtpSession.h"

#include <gtest/gtest.h>

#include <initializer_list>

#include "support/ScriptedServer.h"
#include "support/SmtpSessionHarness.h"

namespace zorvik::net {
namespace {

using core::MessageNumber;

using namespace std::chrono_literals;
using Outcome = SmtpMailOutcome;
using test::ScriptedServer;
using test::ScriptStep;
using test::SmtpSessionHarness;
using test::expect;
using test::pause;
using test::send;

using Script = std::vector<ScriptStep>;

Script join(std::initializer_list<Script> parts) {
  Script all;
  for (const Script& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

const std::string kHeader = "Subject: a\r\n\r\n";
const std::string kBody = "text\r\n";

Script greeting() { return {send("220 test ready\r\n"), expect("HELO client.test"), send("250 hello\r\n")}; }

// MAIL, one RCPT per recipient, DATA, and the lines of kHeader and kBody.
Script transaction(std::initializer_list<std::string> recipients) {
  Script script{expect("MAIL From:<taro@example.jp>"), send("250 ok\r\n")};
  for (const std::string& r : recipients) {
    script.push_back(expect("RCPT To:<" + r + ">"));
    script.push_back(send("250 ok\r\n"));
  }
  for (const ScriptStep& step :
       {expect("DATA"), send("354 go ahead\r\n"), expect("Subject: a"), expect(""), expect("text"), expect(".")})
    script.push_back(step);
  return script;
}

Script accepted() { return {send("250 queued\r\n")}; }
Script quits() { return {expect("QUIT"), send("221 bye\r\n")}; }

void expectScriptPlayed(ScriptedServer& server) {
  server.wait();
  EXPECT_TRUE(server.succeeded()) << server.failure();
}

TEST(SmtpSession, SendsOneMailWithExactCommandsAndAddsNoLineToTheData) {
  ScriptedServer server(join({greeting(), transaction({"hanako@example.jp"}), accepted(), quits()}));
  SmtpSessionHarness h(server.port());
  ASSERT_TRUE(h.session().send(h.mail(7, {"hanako@example.jp"}, kHeader, kBody)));
  h.session().quit();
  ASSERT_TRUE(h.runUntilEnded());

  expectScriptPlayed(server);
  ASSERT_EQ(h.outcomes(), std::vector{Outcome::Accepted});
  EXPECT_EQ(h.finished()[0].mail.id, 7);
  EXPECT_FALSE(h.endedFailed());
  EXPECT_TRUE(h.shownMessages().empty());
  ASSERT_FALSE(h.progress().empty());
  EXPECT_EQ(h.progress().back(), 100);
  EXPECT_EQ(h.session().state(), SmtpState::Idle);
}

TEST(SmtpSession, DataNotEndingALineGetsOneBeforeTheDot) {
  ScriptedServer server(join({greeting(),
                              {expect("MAIL*"), send("250 ok\r\n"), expect("RCPT*"), send("250 ok\r\n"),
                               expect("DATA"), send("354 go\r\n"), expect("Subject: a"), expect(""),
                               expect("no line end"), expect(".")},
                              accepted(),
                              {expect("MAIL*"), send("250 ok\r\n"), expect("RCPT*"), send("250 ok\r\n"),
                               expect("DATA"), send("354 go\r\n"), expect(".")},
                              accepted(), quits()}));
  SmtpSessionHarness h(server.port());
  ASSERT_TRUE(h.session().send(h.mail(1, {"b@example.jp"}, kHeader, "no line end")));
  ASSERT_TRUE(h.session().send(h.mail(2, {"b@example.jp"}, "", "")));  // empty data
  h.session().quit();
  ASSERT_TRUE(h.runUntilEnded());
  expectScriptPlayed(server);
  EXPECT_EQ(h.outcomes(), (std::vector{Outcome::Accepted, Outcome::Accepted}));
}

TEST(SmtpSession, SeveralMailsShareOneConnectionAndOneHelo) {
  ScriptedServer server(join({greeting(), transaction({"a@example.jp"}), accepted(),
                              transaction({"b@example.jp", "c@example.jp"}), accepted(),
                              transaction({"d@example.jp"}), accepted(), quits()}));
  SmtpSessionHarness h(server.port());
  ASSERT_TRUE(h.session().send(h.mail(1, {"a@example.jp"}, kHeader, kBody)));
  ASSERT_TRUE(h.session().send(h.mail(2, {"b@example.jp", "c@example.jp"}, kHeader, kBody)));
  // The third mail is given from inside the notification of the first, as
  // the send driver does.
  const OutgoingMail third = h.mail(3, {"d@example.jp"}, kHeader, kBody);
  h.onFinished = [&](const SmtpSessionHarness::Finished& f) {
    if (f.mail.id == 1) {
      EXPECT_TRUE(h.session().send(third));
    }
  };
  // With nothing left to send the connection stays open until quit().
  ASSERT_TRUE(h.runUntil([&] { return h.finished().size() == 3; }));
  h.loop().runOnce(50ms);
  EXPECT_EQ(h.session().state(), SmtpState::Ready);
  EXPECT_EQ(h.connectionsEnded(), 0);
  h.session().quit();
  EXPECT_EQ(h.session().state(), SmtpState::Ready) << "QUIT goes out from the loop";
  ASSERT_TRUE(h.runUntilEnded());

  expectScriptPlayed(server);
  EXPECT_EQ(server.connectionsAccepted(), 1);
  EXPECT_EQ(h.outcomes(), (std::vector{Outcome::Accepted, Outcome::Accepted, Outcome::Accepted}));
  EXPECT_FALSE(h.endedFailed());
}

TEST(SmtpSession, RefusedRecipientAbandonsOnlyThatMail) {
  ScriptedServer server(join({greeting(),
                              {expect("MAIL From:<taro@example.jp>"), send("250 ok\r\n"),
                               expect("RCPT To:<good@example.jp>"), send("250 ok\r\n"),
                               expect("RCPT To:<nobody@example.jp>"), send("550 no such user\r\n"),
                               expect("RSET"), send("250 reset\r\n")},
                              transaction({"c@example.jp"}), accepted(), quits()}));
  SmtpSessionHarness h(server.port());
  ASSERT_TRUE(h.session().send(h.mail(1, {"good@example.jp", "nobody@example.jp"}, kHeader, kBody)));
  ASSERT_TRUE(h.session().send(h.mail(2, {"c@example.jp"}, kHeader, kBody)));
  h.session().quit();
  ASSERT_TRUE(h.runUntilEnded());

  expectScriptPlayed(server);
  EXPECT_EQ(h.outcomes(), (std::vector{Outcome::Refused, Outcome::Accepted}));
  EXPECT_EQ(h.shownMessages(), std::vector{MessageNumber::BadAddress});
  ASSERT_FALSE(h.reporter().boxes().empty());
  EXPECT_NE(h.reporter().boxes()[0].text.find("550 no such user"), std::string::npos);
  EXPECT_FALSE(h.endedFailed());
}

TEST(SmtpSession, ErrorReplyToACommandEndsTheConnectionAndLeavesEveryMailUnsent) {
  struct Case {
    const char* name;
    Script beforeError;
    MessageNumber message;
    Outcome first;
  };
  const std::vector<Case> cases = {
      {"HELO", {send("220 ready\r\n"), expect("HELO client.test"), send("501 go away\r\n")}, MessageNumber::SmtpHeloRefused, Outcome::NotSent},
      {"MAIL", join({greeting(), {expect("MAIL*"), send("553 sender refused\r\n")}}), MessageNumber::SmtpMailRefused, Outcome::NotSent},
      {"DATA",
       join({greeting(), {expect("MAIL*"), send("250 ok\r\n"), expect("RCPT*"), send("250 ok\r\n"), expect("DATA"),
                          send("554 no data today\r\n")}}),
       MessageNumber::SmtpDataRefused, Outcome::NotSent},
      {"end of data", join({greeting(), transaction({"b@example.jp"}), {send("552 too much\r\n")}}),
       MessageNumber::SmtpMailBodyRefused, Outcome::Refused},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedServer server(join({c.beforeError, quits()}));
    SmtpSessionHarness h(server.port());
    ASSERT_TRUE(h.session().send(h.mail(1, {"b@example.jp"}, kHeader, kBody)));
    ASSERT_TRUE(h.session().send(h.mail(2, {"c@example.jp"}, kHeader, kBody)));
    ASSERT_TRUE(h.runUntilEnded());

    expectScriptPlayed(server);
    EXPECT_EQ(h.outcomes(), (std::vector{c.first, Outcome::NotSent}));
    EXPECT_EQ(h.shownMessages(), (std::vector{c.message, MessageNumber::SendFailed}));
    EXPECT_TRUE(h.endedFailed());
    EXPECT_EQ(h.connectionsEnded(), 1);
  }
}

TEST(SmtpSession, EmptyHeloNameGivesThisEndsHostNameOrAddress) {
  ScriptedServer server({send("220 ready\r\n"), expect("HELO *"), send("250 hello\r\n"), expect("MAIL*"),
                         send("421 enough\r\n"), expect("QUIT"), send("221 bye\r\n")});
  SmtpSessionHarness h(server.port(), [](SmtpSettings& s) { s.heloName.clear(); });
  ASSERT_TRUE(h.session().send(h.mail(1, {"b@example.jp"}, kHeader, kBody)));
  ASSERT_TRUE(h.runUntilEnded());
  expectScriptPlayed(server);
  ASSERT_FALSE(server.received().empty());
  const std::string helo = server.received()[0];
  // 127.0.0.1 is looked up by address; /etc/hosts names it on most systems.
  EXPECT_GT(helo.size(), 5u);
  EXPECT_EQ(helo.find_first_of(" ", 5), std::string::npos) << helo;
}

TEST(SmtpSession, GreetingOtherThan220ClosesWithoutQuit) {
  ScriptedServer server({send("554 not for you\r\n"), test::readUntilClosed()});
  SmtpSessionHarness h(server.port());
  ASSERT_TRUE(h.session().send(h.mail(1, {"b@example.jp"}, kHeader, kBody)));
  ASSERT_TRUE(h.runUntilEnded());
  server.wait();
  EXPECT_TRUE(server.received().empty()) << server.received()[0];
  EXPECT_EQ(h.outcomes(), std::vector{Outcome::NotSent});
  EXPECT_EQ(h.shownMessages(), std::vector{MessageNumber::SmtpGreetingRefused});
}

// A mail is sent only when the server says so: a connection that ends after
// the whole data went out but before the verdict leaves the mail unsent and
// marked as possibly delivered, both when the server hangs up and when it
// stays silent.
TEST(SmtpSession, MailWithoutTheServersVerdictIsNeverReportedSent) {
  {
    ScriptedServer server(join({greeting(), transaction({"b@example.jp"}), {test::close()}}));
    SmtpSessionHarness h(server.port());
    ASSERT_TRUE(h.session().send(h.mail(1, {"b@example.jp"}, kHeader, kBody)));
    ASSERT_TRUE(h.session().send(h.mail(2, {"c@example.jp"}, kHeader, kBody)));
    ASSERT_TRUE(h.runUntilEnded());
    expectScriptPlayed(server);
    EXPECT_EQ(h.outcomes(), (std::vector{Outcome::Unconfirmed, Outcome::NotSent}));
    EXPECT_EQ(h.shownMessages(), std::vector{MessageNumber::SmtpDisconnected});
    EXPECT_TRUE(h.endedFailed());
  }
  {
    ScriptedServer server(join({greeting(), transaction({"b@example.jp"}), {pause(1s)}}));
    SmtpSessionHarness h(server.port());
    ASSERT_TRUE(h.session().send(h.mail(1, {"b@example.jp"}, kHeader, kBody)));
    ASSERT_TRUE(h.runUntil([&] { return h.session().state() == SmtpState::EndOfData; }));
    h.clock().advance(31s);
    ASSERT_TRUE(h.runUntilEnded(1s));
    EXPECT_EQ(h.outcomes(), std::vector{Outcome::Unconfirmed});
    EXPECT_EQ(h.shownMessages(), std::vector{MessageNumber::SmtpReceiveTimeout});
  }
}

TEST(SmtpSession, ServerClosingInTheMiddleOfTheDataLeavesTheMailNotSent) {
  // Far more than the socket buffers hold, so the session is still sending
  // when the server goes away.
  ScriptedServer server(join({greeting(), {expect("MAIL*"), send("250 ok\r\n"), expect("RCPT*"), send("250 ok\r\n"),
                                           expect("DATA"), send("354 go\r\n"), expect("Subject: a"), test::close()}}));
  SmtpSessionHarness h(server.port());
  const std::string body(32 * 1024 * 1024, 'x');
  ASSERT_TRUE(h.session().send(h.mail(1, {"b@example.jp"}, kHeader, body)));
  ASSERT_TRUE(h.runUntilEnded());
  expectScriptPlayed(server);
  EXPECT_EQ(h.outcomes(), std::vector{Outcome::NotSent});
  ASSERT_EQ(h.shownMessages().size(), 1u);
  const MessageNumber shown = h.shownMessages()[0];
  EXPECT_TRUE(shown == MessageNumber::SmtpWriteFailed || shown == MessageNumber::SmtpDisconnected ||
              shown == MessageNumber::SmtpConnectionLost)
      << numberOf(shown);
  EXPECT_TRUE(h.endedFailed());
}

TEST(SmtpSession, ServerThatStopsReadingTheDataTimesOutOnTheSendTimeOut) {
  ScriptedServer server(join({greeting(), {expect("MAIL*"), send("250 ok\r\n"), expect("RCPT*"), send("250 ok\r\n"),
                                           expect("DATA"), send("354 go\r\n"), pause(1s)}}));
  SmtpSessionHarness h(server.port(), [](SmtpSettings& s) { s.receiveTimeoutSeconds = 0; });
  ASSERT_TRUE(h.session().send(h.mail(1, {"b@example.jp"}, kHeader, std::string(32 * 1024 * 1024, 'x'))));
  ASSERT_TRUE(h.runUntil([&] { return h.socket().hasPending(); })) << "the socket never filled up";
  h.clock().advance(31s);
  ASSERT_TRUE(h.runUntilEnded(1s));
  EXPECT_EQ(h.outcomes(), std::vector{Outcome::NotSent});
  EXPECT_EQ(h.shownMessages(), std::vector{MessageNumber::SmtpSendTimeout});
}

TEST(SmtpSession, AbandonClosesAtOnceWithoutAWord) {
  ScriptedServer server(join({greeting(), {expect("MAIL*"), pause(1s)}}));
  SmtpSessionHarness h(server.port());
  ASSERT_TRUE(h.session().send(h.mail(1, {"b@example.jp"}, kHeader, kBody)));
  ASSERT_TRUE(h.session().send(h.mail(2, {"b@example.jp"}, kHeader, kBody)));
  ASSERT_TRUE(h.runUntil([&] { return h.session().state() == SmtpState::Mail; }));
  h.session().abandon();
  h.clock().advance(1h);
  h.loop().runOnce(100ms);
  EXPECT_EQ(h.session().state(), SmtpState::Idle);
  EXPECT_EQ(h.session().queued(), 0u);
  EXPECT_TRUE(h.finished().empty());
  EXPECT_EQ(h.connectionsEnded(), 0);
  EXPECT_TRUE(h.shownMessages().empty());
  EXPECT_EQ(h.loop().socketCount(), 0u);
  EXPECT_EQ(h.loop().timerCount(), 0u);
}

TEST(SmtpSession, AddressesThatWouldInjectCommandsAreRefusedBeforeConnecting) {
  ScriptedServer server({test::readUntilClosed()});
  SmtpSessionHarness h(server.port());
  const std::vector<std::vector<std::string>> badLists = {
      {"a@example.jp\r\nRCPT To:<evil@example.jp>"},
      {"good@example.jp", "b@example.jp\nDATA"},
      {"c@example.jp> NOTIFY=NEVER"},
      {"<d@example.jp"},
      {"e@example.jp\r"},
      {std::string("f@exa\0mple.jp", 13)},
      {""},
  };
  int id = 0;
  for (const auto& recipients : badLists) EXPECT_FALSE(h.session().send(h.mail(++id, recipients, kHeader, kBody)));
  OutgoingMail badSender = h.mail(++id, {"g@example.jp"}, kHeader, kBody);
  badSender.sender = "taro@example.jp>\r\nRCPT To:<evil@example.jp";
  EXPECT_FALSE(h.session().send(badSender));
  EXPECT_FALSE(h.session().send(h.mail(++id, {}, kHeader, kBody)));

  // One refusal for each bad list and the bad sender, then the empty list.
  std::vector<MessageNumber> expected(badLists.size() + 1, MessageNumber::BadAddress);
  expected.push_back(MessageNumber::NoRecipients);
  EXPECT_EQ(h.shownMessages(), expected);
  // The message shows the bad address with its line breaks made visible.
  EXPECT_NE(h.reporter().boxes()[0].text.find("a@example.jp\\r\\nRCPT To:<evil@example.jp>"), std::string::npos);
  h.loop().runOnce(200ms);
  EXPECT_EQ(server.connectionsAccepted(), 0);
  EXPECT_EQ(h.session().state(), SmtpState::Idle);
  EXPECT_TRUE(h.finished().empty());
  EXPECT_THROW(h.session().send(h.mail(++id, std::vector<std::string>(101, "x@example.jp"), kHeader, kBody)),
               std::invalid_argument);
}

TEST(SmtpSession, RepliesSplitAcrossReadsAndMultiLineRepliesAreTakenWhole) {
  ScriptedServer server(join({{send("220-first line\r\n"), pause(50ms), send("220-second line\r\n220 ready\r\n"),
                               expect("HELO client.test"), send("25"), pause(50ms), send("0 hello\r\n"),
                               expect("MAIL*"), send("250-sender\r\n"), pause(50ms), send("250-still\r\n250 ok\r\n"),
                               expect("RCPT*"), send("250 ok\r"), pause(50ms), send("\n"), expect("DATA"),
                               send("354 go\r\n"), expect("Subject: a"), expect(""), expect("text"), expect("."),
                               send("250-queued\r\n250 as 12345\r\n")},
                              quits()}));
  SmtpSessionHarness h(server.port());
  ASSERT_TRUE(h.session().send(h.mail(1, {"b@example.jp"}, kHeader, kBody)));
  h.session().quit();
  ASSERT_TRUE(h.runUntilEnded());
  expectScriptPlayed(server);
  EXPECT_EQ(h.outcomes(), std::vector{Outcome::Accepted});
  EXPECT_TRUE(h.shownMessages().empty());
}

TEST(SmtpSession, RefusedConnectionReportsTheMailNotSent) {
  std::uint16_t port = 0;
  {
    ScriptedServer closed({});  // takes a free port, gives it back at once
    port = closed.port();
  }
  SmtpSessionHarness h(port);
  ASSERT_TRUE(h.session().send(h.mail(1, {"b@example.jp"}, kHeader, kBody)));
  EXPECT_TRUE(h.finished().empty()) << "reported from inside send()";
  ASSERT_TRUE(h.runUntilEnded());
  EXPECT_EQ(h.outcomes(), std::vector{Outcome::NotSent});
  ASSERT_EQ(h.shownMessages().size(), 1u);
  EXPECT_TRUE(h.shownMessages()[0] == MessageNumber::SmtpConnectFailed ||
              h.shownMessages()[0] == MessageNumber::SmtpNotConnected)
      << numberOf(h.shownMessages()[0]);
  EXPECT_TRUE(h.endedFailed());
}

TEST(SmtpSession, MissingGreetingTimesOutAfterTheReceiveTimeOut) {
  ScriptedServer server({pause(1s)});
  SmtpSessionHarness h(server.port(), [](SmtpSettings& s) { s.sendTimeoutSeconds = 0; });
  ASSERT_TRUE(h.session().send(h.mail(1, {"b@example.jp"}, kHeader, kBody)));
  ASSERT_TRUE(h.runUntil([&] { return h.session().state() == SmtpState::Greeting; }));
  h.clock().advance(29s);
  h.loop().runOnce(0ms);
  EXPECT_EQ(h.connectionsEnded(), 0) << "timed out early";
  h.clock().advance(2s);
  ASSERT_TRUE(h.runUntilEnded(1s));
  EXPECT_EQ(h.outcomes(), std::vector{Outcome::NotSent});
  EXPECT_EQ(h.shownMessages(), std::vector{MessageNumber::SmtpReceiveTimeout});
  EXPECT_EQ(h.loop().timerCount(), 0u);
  EXPECT_EQ(h.loop().socketCount(), 0u);
}

TEST(SmtpSession, PartOfAReplyRestartsTheReceiveTimeOut) {
  ScriptedServer server({send("220 ready\r\n"), expect("HELO*"), send("25"), pause(1s)});
  SmtpSessionHarness h(server.port());
  ASSERT_TRUE(h.session().send(h.mail(1, {"b@example.jp"}, kHeader, kBody)));
  ASSERT_TRUE(h.runUntil([&] { return h.session().state() == SmtpState::Helo; }));
  h.loop().runOnce(300ms);  // the half line arrives
  h.clock().advance(31s);
  ASSERT_TRUE(h.runUntilEnded(1s)) << "a half-read reply stopped the time-out";
  EXPECT_EQ(h.shownMessages(), std::vector{MessageNumber::SmtpReceiveTimeout});
}

TEST(SmtpSession, TimeOutsOfZeroNeverFire) {
  ScriptedServer server(join({{pause(300ms)}, greeting(), transaction({"b@example.jp"}), {pause(300ms)}, accepted(),
                              quits()}));
  SmtpSessionHarness h(server.port(), [](SmtpSettings& s) {
    s.sendTimeoutSeconds = 0;
    s.receiveTimeoutSeconds = 0;
  });
  ASSERT_TRUE(h.session().send(h.mail(1, {"b@example.jp"}, kHeader, kBody)));
  h.session().quit();
  // An hour passes at every turn of the loop.
  ASSERT_TRUE(h.runUntil([&] {
    h.clock().advance(1h);
    return h.connectionsEnded() > 0;
  }));
  expectScriptPlayed(server);
  EXPECT_EQ(h.outcomes(), std::vector{Outcome::Accepted});
  EXPECT_TRUE(h.shownMessages().empty());
}

TEST(SmtpSession, UnreadableFileSkipsTheMailBeforeMail) {
  ScriptedServer server(join({greeting(), transaction({"c@example.jp"}), accepted(), quits()}));
  SmtpSessionHarness h(server.port());
  OutgoingMail missing = h.mail(1, {"b@example.jp"}, kHeader, kBody);
  missing.bodyPath += ".gone";
  ASSERT_TRUE(h.session().send(missing));
  ASSERT_TRUE(h.session().send(h.mail(2, {"c@example.jp"}, kHeader, kBody)));
  h.session().quit();
  ASSERT_TRUE(h.runUntilEnded());
  expectScriptPlayed(server);
  EXPECT_EQ(h.outcomes(), (std::vector{Outcome::Refused, Outcome::Accepted}));
  EXPECT_EQ(h.shownMessages(), std::vector{MessageNumber::TemporaryFileNotOpened});
  EXPECT_FALSE(h.endedFailed());
}

TEST(SmtpSession, OversizeMailIsSentOnlyWhenTheUserAgrees) {
  ScriptedServer server(join({greeting(),
                              {expect("MAIL*"), send("250 ok\r\n"), expect("RCPT*"), send("250 ok\r\n"), expect("RSET"),
                               send("250 ok\r\n")},
                              quits()}));
  SmtpSessionHarness h(server.port(), [](SmtpSettings& s) { s.maxSizeKilobytes = 1; });
  h.reporter().setAnswer(false);
  ASSERT_TRUE(h.session().send(h.mail(1, {"b@example.jp"}, kHeader, std::string(3000, 'x') + "\r\n")));
  h.session().quit();
  ASSERT_TRUE(h.runUntilEnded());
  expectScriptPlayed(server);
  EXPECT_EQ(h.outcomes(), std::vector{Outcome::Refused});
  EXPECT_EQ(h.shownMessages(), std::vector{MessageNumber::MailTooLarge});
  EXPECT_NE(h.reporter().boxes()[0].text.find("(\x81\x75" "2" "\x81\x76KB)"), std::string::npos)
      << "size in kilobytes";
}

}  // namespace
}  // namespace zorvik::net
