// The POP3 dialogue fed as strings: what it sends, what it tells the owner,
// and how it fails, without any socket.
#include <gtest/gtest.h>

#include <filesystem>

#include "net/PopProtocol.h"
#include "net/PopReplyReader.h"
#include "net/UidList.h"
#include "platform/FileSystem.h"
#include "support/MessageNumberPrinter.h"
#include "support/TestEnvironment.h"
#include "PopTestFakes.h"

namespace zorvik::net {
namespace {

using core::MessageNumber;

using test::MemoryServerTray;
using test::MemorySink;

std::string header(int n) { return "Subject: mail " + std::to_string(n) + "\r\nFrom: a@example.jp\r\n"; }

class Dialogue {
public:
  explicit Dialogue(PopAccount account, std::string uidPath = {}, PopLimits limits = {})
      : tray(std::move(uidPath)), protocol(std::move(account), tray, sink, limits) {}

  void feed(std::string_view lines) {
    protocol.receive(lines);
    collect();
  }
  void greet(std::string_view greeting = "+OK ready\r\n") {
    protocol.greet(greeting);
    collect();
  }
  void login() {
    greet();
    feed("+OK\r\n");
    feed("+OK logged in\r\n");
    ASSERT_EQ(protocol.state(), PopState::Ready);
  }
  // Answers STAT and LIST for mails of the given sizes.
  void list(ListMode mode, const std::vector<int>& sizes) {
    protocol.list(mode);
    collect();
    feed("+OK " + std::to_string(sizes.size()) + " 1000\r\n");
    std::string listing = "+OK\r\n";
    for (std::size_t i = 0; i < sizes.size(); ++i)
      listing += std::to_string(i + 1) + " " + std::to_string(sizes[i]) + "\r\n";
    feed(listing + ".\r\n");
  }
  // Answers the TOP commands sent so far with headers(number).
  void answerTops(const std::function<std::string(int)>& headerOf = header) {
    while (protocol.canPipelineMore()) {
      protocol.pipelineMore();
      collect();
    }
    std::string answers;
    std::size_t at = 0;
    while ((at = sent.find("TOP ", answeredUpTo)) != std::string::npos) {
      const int number = std::stoi(sent.substr(at + 4));
      answers += "+OK\r\n" + headerOf(number) + ".\r\n";
      answeredUpTo = at + 4;
    }
    feed(answers);
  }
  void collect() {
    for (const std::string& command : protocol.takeCommands()) sent += command;
    for (const PopProtocol::Event& event : protocol.takeEvents()) events.push_back(event.code);
  }
  std::optional<core::MessageNumber> failureMessage() const {
    return protocol.failure() ? protocol.failure()->message : std::nullopt;
  }
  bool notified(PopNotification code) const { return std::find(events.begin(), events.end(), code) != events.end(); }

  MemoryServerTray tray;
  MemorySink sink;
  PopProtocol protocol;
  std::string sent;
  std::vector<PopNotification> events;
  std::size_t answeredUpTo = 0;
};

PopAccount plain() { return {"taro", "secret", false, false}; }
PopAccount withUidl() { return {"taro", "secret", false, true}; }

TEST(PopProtocolLogin, UserAndPassThenReady) {
  Dialogue d(plain());
  d.login();
  EXPECT_EQ(d.sent, "USER taro\r\nPASS secret\r\n");
  EXPECT_EQ(d.events, std::vector{PopNotification::LoggedIn});
}

TEST(PopProtocolLogin, ApopDigestOfTimeStampAndPassword) {
  // The example exchange of RFC 1939.
  Dialogue d({"mrose", "tanstaaf", true, false});
  d.greet("+OK POP3 server ready <1896.697170952@dbc.mtview.ca.us>\r\n");
  EXPECT_EQ(d.sent, "APOP mrose c4c9334bac560ecc979e58001b3e22fb\r\n");
  d.feed("+OK maildrop has 1 message\r\n");
  EXPECT_EQ(d.protocol.state(), PopState::Ready);
}

TEST(PopProtocolLogin, ApopWithoutTimeStampSendsNothing) {
  for (const char* greeting : {"+OK ready\r\n", "+OK ready <no end\r\n", "+OK ready > <\r\n"}) {
    Dialogue d({"taro", "secret", true, false});
    d.greet(greeting);
    EXPECT_EQ(d.failureMessage(), MessageNumber::PopNoApop) << greeting;
    EXPECT_EQ(d.sent, "") << greeting;
  }
}

TEST(PopProtocolLogin, LineBreaksInSettingsCannotInjectCommands) {
  Dialogue d({"taro\r\nDELE 1", "pw", false, false});
  d.greet();
  EXPECT_EQ(d.sent, "USER taroDELE 1\r\n");
}

// STLS, CAPA and AUTH PLAIN before the login: the whole transcript after
// each turn. Nothing but STLS goes out before the handshake, and a line the
// server slips in after agreeing to STLS is not taken as an answer.
TEST(PopProtocolLogin, StlsCapaAndAuthPlainDialogues) {
  constexpr const char* kHandshake = "";  // this turn is the TLS handshake
  struct Case {
    const char* name;
    PopAccount account;
    std::vector<std::pair<const char*, std::string>> turns;  // server says, transcript after it
    std::optional<MessageNumber> failure;                    // none: logged in
  };
  PopAccount stls{"taro", "secret", false, false, true};
  PopAccount stlsCapa = stls;
  stlsCapa.askCapabilities = true;
  PopAccount authPlain{"taro", "secret", false, false, false, true};
  const std::string kAuth = "AUTH PLAIN AHRhcm8Ac2VjcmV0\r\n";  // "\0taro\0secret"
  const std::vector<Case> cases = {
      {"STLS, USER, PASS", stls,
       {{"+OK begin\r\n", "STLS\r\n"},
        {kHandshake, "STLS\r\nUSER taro\r\n"},
        {"+OK\r\n", "STLS\r\nUSER taro\r\nPASS secret\r\n"},
        {"+OK in\r\n", "STLS\r\nUSER taro\r\nPASS secret\r\n"}},
       std::nullopt},
      {"STLS refused", stls, {{"-ERR TLS support isn't enabled.\r\n", "STLS\r\n"}}, MessageNumber::PopNoStls},
      {"STLS, CAPA", stlsCapa,
       {{"+OK go\r\n+OK injected\r\n", "STLS\r\n"},
        {kHandshake, "STLS\r\nCAPA\r\n"},
        {"+OK\r\nUSER\r\nPIPELINING\r\n.\r\n", "STLS\r\nCAPA\r\nUSER taro\r\n"}},
       std::nullopt},
      {"AUTH PLAIN", authPlain, {{"+OK logged in\r\n", kAuth}}, std::nullopt},
      {"AUTH PLAIN refused", authPlain, {{"-ERR [AUTH] Authentication failed.\r\n", kAuth}}, MessageNumber::PopAuthPlainRefused},
      {"AUTH PLAIN garbled", authPlain, {{"what?\r\n", kAuth}}, MessageNumber::PopAuthPlainFailed},
  };
  for (const Case& c : cases) {
    Dialogue d(c.account);
    d.greet();
    for (const auto& [says, transcript] : c.turns) {
      if (says == kHandshake) {
        ASSERT_TRUE(d.protocol.wantsTls()) << c.name;
        d.protocol.tlsStarted();
        d.collect();
      } else {
        d.feed(says);
      }
      EXPECT_EQ(d.sent, transcript) << c.name << " after " << says;
    }
    EXPECT_EQ(d.failureMessage(), c.failure) << c.name;
    if (c.name == std::string("STLS, USER, PASS")) EXPECT_EQ(d.protocol.state(), PopState::Ready);
    if (c.name == std::string("STLS, CAPA"))
      EXPECT_EQ(d.protocol.capabilities(), (std::vector<std::string>{"USER", "PIPELINING"}));
  }
}

// Every step answered with -ERR ends with that step's message and the
// server's line where the message has room for it.
TEST(PopProtocolErrors, EveryStepReportsItsOwnMessage) {
  struct Case {
    const char* name;
    std::function<void(Dialogue&)> reach;
    MessageNumber message;
    bool withText;
  };
  const std::vector<Case> cases = {
      {"greeting", [](Dialogue&) {}, MessageNumber::PopBadGreeting, true},
      {"USER", [](Dialogue& d) { d.greet(); }, MessageNumber::PopUserFailed, true},
      {"PASS refused", [](Dialogue& d) { d.greet(); d.feed("+OK\r\n"); }, MessageNumber::PopPassRefused, true},
      {"STAT", [](Dialogue& d) { d.login(); d.protocol.list(ListMode::All); }, MessageNumber::PopStatFailed, true},
      {"LIST", [](Dialogue& d) { d.login(); d.protocol.list(ListMode::All); d.feed("+OK 1 10\r\n"); }, MessageNumber::PopListFailed, true},
      {"TOP",
       [](Dialogue& d) {
         d.login();
         d.list(ListMode::All, {10});
       },
       MessageNumber::PopTopFailed, true},
      {"RETR",
       [](Dialogue& d) {
         d.login();
         d.list(ListMode::All, {10});
         d.answerTops();
         d.protocol.fetch(0, false);
       },
       MessageNumber::PopRetrFailed, true},
      {"DELE",
       [](Dialogue& d) {
         d.login();
         d.list(ListMode::All, {10});
         d.answerTops();
         d.protocol.deleteMail(0);
       },
       MessageNumber::PopDeleFailed, true},
  };
  for (const Case& c : cases) {
    Dialogue d(plain());
    c.reach(d);
    if (c.name == std::string("greeting")) d.greet("-ERR go away\r\n");
    else d.feed("-ERR go away\r\n");
    ASSERT_TRUE(d.protocol.failure()) << c.name;
    EXPECT_EQ(d.failureMessage(), c.message) << c.name;
    EXPECT_EQ(d.protocol.failure()->text, c.withText ? "-ERR go away" : "") << c.name;
    EXPECT_FALSE(d.protocol.awaitingReply()) << c.name;
  }
}

TEST(PopProtocolErrors, UidlAndApopRefusals) {
  Dialogue uidl(withUidl());
  uidl.login();
  uidl.list(ListMode::All, {10});
  uidl.feed("-ERR no uidl\r\n");
  EXPECT_EQ(uidl.failureMessage(), MessageNumber::PopUidlFailed);

  Dialogue refused({"taro", "pw", true, false});
  refused.greet("+OK <1.2@host>\r\n");
  refused.feed("-ERR wrong\r\n");
  EXPECT_EQ(refused.failureMessage(), MessageNumber::PopApopRefused);

  Dialogue garbled({"taro", "pw", true, false});
  garbled.greet("+OK <1.2@host>\r\n");
  garbled.feed("what?\r\n");
  EXPECT_EQ(garbled.failureMessage(), MessageNumber::PopApopFailed);

  Dialogue password(plain());
  password.greet();
  password.feed("+OK\r\n");
  password.feed("* strange\r\n");
  EXPECT_EQ(password.failureMessage(), MessageNumber::PopPassFailed);
}

TEST(PopProtocolListing, HeadersArePipelinedAndNewMailsAppendedToTheTray) {
  Dialogue d(plain());
  d.login();
  d.list(ListMode::All, {100, 200, 300, 400});
  // The first TOP goes out at once; the rest only while the server is quiet.
  EXPECT_EQ(d.protocol.state(), PopState::TopPipeline);
  d.answerTops();
  EXPECT_EQ(d.sent.substr(d.sent.find("TOP")), "TOP 1 0\r\nTOP 2 0\r\nTOP 3 0\r\nTOP 4 0\r\n");
  EXPECT_EQ(d.protocol.state(), PopState::Ready);
  EXPECT_TRUE(d.notified(PopNotification::ListingFinished));
  EXPECT_EQ(d.protocol.newCount(), 4);
  ASSERT_EQ(d.tray.copies.size(), 4u);
  for (const ServerMailEntry& entry : d.protocol.entries()) EXPECT_TRUE(entry.fetch && entry.isNew);
}

TEST(PopProtocolListing, PipelineKeepsABoundedNumberInFlight) {
  Dialogue d(plain(), {}, PopLimits{.maxTopInFlight = 3});
  d.login();
  d.list(ListMode::All, std::vector<int>(10, 50));
  while (d.protocol.canPipelineMore()) d.protocol.pipelineMore();
  d.collect();
  EXPECT_EQ(d.sent.substr(d.sent.find("TOP")), "TOP 1 0\r\nTOP 2 0\r\nTOP 3 0\r\n");
  // An answer frees a place.
  d.feed("+OK\r\n" + header(1) + ".\r\n");
  EXPECT_TRUE(d.protocol.canPipelineMore());
}

TEST(PopProtocolListing, IdenticalHeadersAreToldApartByOrdinal) {
  Dialogue d(plain());
  const auto same = [](int) { return std::string("Subject: same\r\n"); };
  d.login();
  d.list(ListMode::All, {10, 10});
  d.answerTops(same);
  ASSERT_EQ(d.tray.copies.size(), 2u);
  d.protocol.markReceived(0);

  // Next time both are in the tray: the first is received, the second not.
  Dialogue again(plain());
  again.tray.copies = d.tray.copies;
  again.login();
  again.list(ListMode::All, {10, 10});
  again.answerTops(same);
  EXPECT_EQ(again.tray.copies.size(), 2u);
  EXPECT_FALSE(again.protocol.entries()[0].fetch);
  EXPECT_TRUE(again.protocol.entries()[1].fetch);
  EXPECT_FALSE(again.protocol.entries()[1].isNew);
  EXPECT_EQ(again.protocol.receivedCount(), 1);
  EXPECT_EQ(again.protocol.unreadCount(), 1);
}

TEST(PopProtocolListing, ListShorterThanStatLeavesUnaddressableEntries) {
  Dialogue d(plain());
  d.login();
  d.protocol.list(ListMode::All);
  d.feed("+OK 3 600\r\n");
  d.feed("+OK\r\n1 100\r\n2 200\r\n.\r\n");
  d.answerTops();
  ASSERT_EQ(d.protocol.entries().size(), 3u);
  EXPECT_EQ(d.protocol.entries()[2].number, -1);
  EXPECT_EQ(d.protocol.entries()[2].size, -1);
  EXPECT_FALSE(d.protocol.entries()[2].fetch);
  // No command ever names a mail the server did not list.
  EXPECT_EQ(d.sent.find("-1"), std::string::npos);
  EXPECT_EQ(d.protocol.state(), PopState::Ready);
}

TEST(PopProtocolListing, NoHeadersModeFetchesEverythingWithoutTop) {
  Dialogue d(plain());
  d.login();
  d.list(ListMode::NoHeaders, {10, 20});
  EXPECT_EQ(d.sent.find("TOP"), std::string::npos);
  EXPECT_EQ(d.protocol.newCount(), 2);
  EXPECT_EQ(d.protocol.state(), PopState::Ready);
}

TEST(PopProtocolListing, EmptyMailboxDeletesTheUidFile) {
  const test::ScratchDir dir;
  const std::string uidPath = dir.path() + "/server.uid";
  ASSERT_TRUE(platform::writeFileAtomically(uidPath, "0 abc\r\n"));
  Dialogue d(withUidl(), uidPath);
  d.login();
  d.protocol.list(ListMode::All);
  d.feed("+OK 0 0\r\n");
  EXPECT_EQ(d.protocol.state(), PopState::Ready);
  EXPECT_TRUE(d.notified(PopNotification::ListingFinished));
  EXPECT_FALSE(platform::pathExists(uidPath));
}

TEST(PopProtocolUidl, OutOfOrderLinesAreMatchedByNumber) {
  const test::ScratchDir dir;
  const std::string uidPath = dir.path() + "/server.uid";
  Dialogue d(withUidl(), uidPath);
  d.tray.copies = {{"x|1", true}, {"y|2", false}};
  ASSERT_TRUE(platform::writeFileAtomically(uidPath, "0 uid-b\r\n1 uid-c\r\n"));
  d.login();
  d.list(ListMode::UidlFast, {10, 20, 30});
  d.feed("+OK\r\n3 uid-c\r\n1 uid-a\r\n2 uid-b\r\n.\r\n");
  const auto& e = d.protocol.entries();
  EXPECT_EQ(e[0].uid, "uid-a");
  EXPECT_EQ(e[1].uid, "uid-b");
  EXPECT_EQ(e[2].uid, "uid-c");
  EXPECT_EQ(e[0].trayIndex, -1);
  EXPECT_TRUE(e[0].fetch && e[0].isNew);
  EXPECT_EQ(e[1].trayIndex, 0);
  EXPECT_FALSE(e[1].fetch);  // its copy is marked received
  EXPECT_TRUE(e[2].fetch);   // stored, not yet received
  EXPECT_EQ(d.protocol.newCount(), 1);
  EXPECT_EQ(d.protocol.receivedCount(), 1);
  EXPECT_EQ(d.protocol.unreadCount(), 1);
  EXPECT_EQ(d.sent.find("TOP"), std::string::npos);
}

// A whole life: receive all, delete the first, quit; the next session sees
// the rest renumbered and fetches only the mail that arrived meanwhile.
TEST(PopProtocolUidl, DeletionRenumbersAndNothingIsFetchedTwice) {
  const test::ScratchDir dir;
  const std::string uidPath = dir.path() + "/server.uid";
  MemoryServerTray tray(uidPath);
  {
    Dialogue d(withUidl(), uidPath);
    d.login();
    d.list(ListMode::UidlFast, {10, 20, 30});
    d.feed("+OK\r\n1 a\r\n2 b\r\n3 c\r\n.\r\n");
    for (int i = 0; i < 3; ++i) {
      d.protocol.fetch(i, false);
      d.collect();
      d.feed("+OK\r\n" + header(i + 1) + "\r\nbody\r\n.\r\n");
      ASSERT_TRUE(d.notified(PopNotification::MailReceived));
      d.protocol.markReceived(i);
    }
    d.protocol.deleteMail(0);
    d.collect();
    d.feed("+OK deleted\r\n");
    d.protocol.markDeleted(0);
    d.protocol.quit();
    d.feed("+OK bye\r\n");
    d.protocol.finishQuit();
    EXPECT_EQ(d.sink.mails.size(), 3u);
    EXPECT_EQ(d.sink.durableCalls, 1);
    tray.copies = d.tray.copies;
  }
  EXPECT_EQ(platform::readFile(uidPath).value_or(""), "0 b\r\n1 c\r\n");
  Dialogue next(withUidl(), uidPath);
  next.tray.copies = tray.copies;
  next.login();
  next.list(ListMode::UidlFast, {20, 30, 40});
  next.feed("+OK\r\n1 b\r\n2 c\r\n3 d\r\n.\r\n");
  const auto& e = next.protocol.entries();
  EXPECT_FALSE(e[0].fetch);
  EXPECT_FALSE(e[1].fetch);
  EXPECT_TRUE(e[2].fetch && e[2].isNew);
  EXPECT_EQ(next.protocol.receivedCount(), 2);
}

// With UIDL only the identifier decides: a new identifier is a new mail,
// even when an older copy has the same header (a list's resent mail, a lost
// ".uid" file), since taking it for the old one would hide it for ever.
TEST(PopProtocolUidl, ANewIdentifierIsNewWhateverItsHeader) {
  const test::ScratchDir dir;
  Dialogue d(withUidl(), dir.path() + "/server.uid");
  d.login();
  d.tray.append(header(1), 10);
  d.tray.markReceived(0);
  d.list(ListMode::All, {10, 20});
  d.feed("+OK\r\n1 a\r\n2 b\r\n.\r\n");
  d.answerTops();
  EXPECT_TRUE(d.protocol.entries()[0].fetch);
  EXPECT_NE(d.protocol.entries()[0].trayIndex, 0) << "a copy of its own";
  EXPECT_TRUE(d.protocol.entries()[1].fetch);
  EXPECT_EQ(d.protocol.newCount(), 2);
  EXPECT_EQ(d.protocol.receivedCount(), 0);
}

// A header stored from RETR (UIDL-fast mode) and the same header from TOP
// (with the empty line servers send after it) must be the same record, or a
// receive without UIDL would take the mail for a new one.
TEST(PopProtocolUidl, HeaderFromRetrMatchesHeaderFromTop) {
  const test::ScratchDir dir;
  Dialogue first(withUidl(), dir.file("first.uid"));
  first.login();
  first.list(ListMode::UidlFast, {30});
  first.feed("+OK\r\n1 a\r\n.\r\n");
  first.protocol.fetch(0, false);
  first.feed("+OK\r\n" + header(1) + "\r\nbody\r\n.\r\n");
  first.protocol.markReceived(0);

  Dialogue second(plain());
  second.tray.copies = first.tray.copies;
  second.login();
  second.list(ListMode::All, {30});
  second.answerTops([](int n) { return header(n) + "\r\n"; });
  EXPECT_FALSE(second.protocol.entries()[0].fetch);
  EXPECT_EQ(second.tray.copies.size(), 1u);
}

TEST(PopProtocolFetch, MailIsKeptAsSentAndHandedToTheSink) {
  Dialogue d(plain());
  d.login();
  d.list(ListMode::NoHeaders, {40});
  ASSERT_TRUE(d.protocol.reserveFor(0));
  d.protocol.fetch(0, false);
  d.collect();
  EXPECT_EQ(d.sent.substr(d.sent.rfind("RETR")), "RETR 1\r\n");
  d.feed("+OK 40 octets\r\nSubject: x\r\n\r\n..dot\r\n");
  EXPECT_EQ(d.protocol.state(), PopState::RetrReading);
  d.feed(".\r\n");
  EXPECT_EQ(d.protocol.receptionBuffer(), "Subject: x\r\n\r\n..dot\r\n.\r\n");
  ASSERT_EQ(d.sink.mails.size(), 1u);
  EXPECT_EQ(d.sink.mails[0].text, d.protocol.receptionBuffer());
  EXPECT_EQ(d.protocol.state(), PopState::Ready);
  EXPECT_EQ(d.events.back(), PopNotification::MailReceived);
}

// fetchMany(): with PIPELINING the commands go out ahead of the answers,
// never more than the window; without it one after the other. A stop keeps
// the mail in hand, reads past the answers already asked for, and asks for
// nothing more.
TEST(PopProtocolFetch, ManyMailsArePipelinedWithinTheWindowAndStopAfterTheMailInHand) {
  const auto answer = [](int n) { return "+OK\r\nSubject: " + std::to_string(n) + "\r\n\r\nbody\r\n.\r\n"; };
  for (const bool pipelining : {true, false}) {
    SCOPED_TRACE(pipelining ? "PIPELINING" : "one at a time");
    Dialogue d(plain(), {}, PopLimits{.maxRetrInFlight = 3});
    d.login();
    d.list(ListMode::NoHeaders, {10, 10, 10, 10, 10});
    const std::size_t before = d.sent.size();
    d.protocol.fetchMany({{0, false}, {1, false}, {2, false}, {3, true}, {4, false}});
    d.collect();
    EXPECT_EQ(d.sent.substr(before), "CAPA\r\n");
    d.feed(pipelining ? "+OK\r\nUSER\r\npipelining\r\n.\r\n" : "-ERR what?\r\n");
    EXPECT_EQ(d.sent.substr(before), pipelining ? "CAPA\r\nRETR 1\r\nRETR 2\r\nRETR 3\r\n" : "CAPA\r\nRETR 1\r\n");
    d.feed(answer(1));
    EXPECT_EQ(d.sent.substr(d.sent.rfind("\r\n", d.sent.size() - 3) + 2), pipelining ? "TOP 4 0\r\n" : "RETR 2\r\n");
    ASSERT_EQ(d.sink.mails.size(), 1u);
    EXPECT_EQ(d.protocol.state(), PopState::RetrSent) << "the next answer is awaited without the owner";

    d.protocol.stopFetches();
    const std::size_t stopped = d.sent.size();
    d.feed(answer(2) + (pipelining ? answer(3) + "+OK\r\nSubject: 4\r\n\r\n.\r\n" : ""));
    EXPECT_EQ(d.sent.size(), stopped) << "nothing asked for after the stop";
    ASSERT_EQ(d.sink.mails.size(), 2u) << "the mail in hand is kept, those asked for ahead are dropped";
    EXPECT_EQ(d.sink.mails[1].index, 1);
    EXPECT_EQ(d.protocol.state(), PopState::Ready);
    EXPECT_EQ(d.events.back(), PopNotification::FetchesEnded);
    EXPECT_EQ(std::count(d.events.begin(), d.events.end(), PopNotification::MailReceived), 2);
  }
}

TEST(PopProtocolFetch, EmptyMailEndsAtTheTerminator) {
  // "+OK" then "." alone: the answer is complete although it is short.
  Dialogue d(plain());
  d.login();
  d.list(ListMode::NoHeaders, {0});
  d.protocol.fetch(0, false);
  d.feed("+OK\r\n.\r\n");
  EXPECT_EQ(d.protocol.state(), PopState::Ready);
  EXPECT_EQ(d.sink.mails.size(), 1u);
}

TEST(PopProtocolFetch, OversizedMailAsksForItsHeaderOnly) {
  Dialogue d(plain());
  d.login();
  d.list(ListMode::NoHeaders, {900000});
  d.protocol.fetch(0, true);
  d.collect();
  EXPECT_EQ(d.sent.substr(d.sent.rfind("TOP")), "TOP 1 0\r\n");
  d.feed("+OK\r\n" + header(1) + ".\r\n");
  ASSERT_EQ(d.sink.mails.size(), 1u);
  EXPECT_TRUE(d.sink.mails[0].headerOnly);
}

TEST(PopProtocolFetch, NoDeleteBeforeTheFetchedMailsAreDurable) {
  Dialogue d(plain());
  d.login();
  d.list(ListMode::NoHeaders, {10, 10});
  d.protocol.fetch(0, false);
  d.feed("+OK\r\nx\r\n.\r\n");
  d.sink.failDurable = true;
  d.protocol.deleteMail(0);
  d.collect();
  EXPECT_EQ(d.sent.find("DELE"), std::string::npos);
  EXPECT_EQ(d.failureMessage(), MessageNumber::PopDeleFailed);
}

TEST(PopProtocolFetch, SinkThatCannotKeepTheMailEndsTheSession) {
  Dialogue d(plain());
  d.login();
  d.list(ListMode::NoHeaders, {10});
  d.sink.failEnd = true;
  d.protocol.fetch(0, false);
  d.feed("+OK\r\nx\r\n.\r\n");
  ASSERT_TRUE(d.protocol.failure());
  EXPECT_FALSE(d.protocol.failure()->message) << "the sink has reported it already";
  EXPECT_FALSE(d.notified(PopNotification::MailReceived));
}

// A server that never stops must not make the session keep everything.
TEST(PopProtocolBounds, EndlessRetrStopsAtABoundFromTheListedSize) {
  Dialogue d(plain());
  d.login();
  d.list(ListMode::NoHeaders, {100});
  d.protocol.fetch(0, false);
  d.feed("+OK\r\n");
  const std::string block(1000, 'x');
  for (int i = 0; i < 200 && !d.protocol.failure(); ++i) d.feed(block + "\r\n");
  EXPECT_EQ(d.failureMessage(), MessageNumber::PopRetrFailed);
  EXPECT_LT(d.protocol.receptionBuffer().size(), 100u * 4 + (64u << 10) + 1);
}

TEST(PopProtocolBounds, MillionLineListKeepsOnlyTheAnnouncedEntries) {
  Dialogue d(plain());
  d.login();
  d.protocol.list(ListMode::NoHeaders);
  d.feed("+OK 2 20\r\n");
  d.feed("+OK\r\n");
  std::string chunk;
  for (int i = 1; i <= 1000; ++i) chunk += std::to_string(i) + " 10\r\n";
  for (int i = 0; i < 1000; ++i) d.feed(chunk);
  d.feed(".\r\n");
  EXPECT_EQ(d.protocol.entries().size(), 2u);
  EXPECT_EQ(d.protocol.state(), PopState::Ready);
}

TEST(PopProtocolBounds, AbsurdMailCountIsRefused) {
  Dialogue d(plain());
  d.login();
  d.protocol.list(ListMode::All);
  d.feed("+OK 99999999999 1\r\n");
  EXPECT_EQ(d.failureMessage(), MessageNumber::PopStatFailed);
  EXPECT_FALSE(d.protocol.failure()->text.empty());
}

// The ".uid" file outlives sessions and may have been edited or cut short.
TEST(PopUidFile, DamagedLinesAreSkippedAndMailsWithoutCopyAreNotWritten) {
  const test::ScratchDir dir;
  const std::string path = dir.file("server.uid");
  ASSERT_TRUE(platform::writeFileAtomically(path, "3 abc\r\nxyz\r\n-1 neg\r\n7 \r\n4 two words\n5 last-no-eol"));
  const UidList list = UidList::load(path);
  EXPECT_EQ(list.find("abc"), 3);
  EXPECT_EQ(list.find("words"), 4);
  EXPECT_EQ(list.find("last-no-eol"), 5);
  EXPECT_FALSE(list.find("neg"));
  EXPECT_FALSE(list.find("xyz"));

  std::vector<ServerMailEntry> entries(3);
  entries[0].uid = "a";
  entries[0].trayIndex = 2;
  entries[1].uid = "b";  // no copy in the tray
  entries[2].trayIndex = 5;  // no identifier
  ASSERT_TRUE(UidList::save(path, entries));
  EXPECT_EQ(platform::readFile(path).value_or(""), "2 a\r\n");
  entries[0].trayIndex = -1;
  ASSERT_TRUE(UidList::save(path, entries));
  EXPECT_FALSE(platform::pathExists(path));
}

}  // namespace
}  // namespace zorvik::net
