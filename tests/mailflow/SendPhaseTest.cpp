#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "mailflow/SentMailPlacement.h"
#include "store/RecordFlags.h"
#include "support/ScriptedServer.h"
#include "mailflow/SendTestStore.h"
#include "store/TrayFlags.h"

namespace zorvik {
namespace {

using core::MessageNumber;

using test::close;
using test::expect;
using test::pause;
using test::readUntilClosed;
using test::send;

// The dialogue of one mail to hanako@example.jp up to the server's "354".
std::vector<test::ScriptStep> upToData(bool greet = true) {
  std::vector<test::ScriptStep> steps;
  if (greet) steps = {send("220 sink\r\n"), expect("HELO client.test"), send("250 hi\r\n")};
  for (auto step : {expect("MAIL From:<taro@example.jp>"), send("250 ok\r\n"), expect("RCPT To:<hanako@example.jp>"),
                    send("250 ok\r\n"), expect("DATA"), send("354 go\r\n")})
    steps.push_back(step);
  return steps;
}

// The data of a small mail is all out after this pause; the replies that
// follow it are read by the client before it says anything else.
constexpr auto kDataTime = std::chrono::milliseconds(500);

bool opened(test::SendTestStore& store, std::uint32_t index) {
  store::TrayRecord record;
  store::TrayFile(store.location, store.unsent()).read(index, record);
  return record.record.hasFlag(store::recordflag::kOpened);
}

TEST(SendPhase, ConnectionLostBeforeTheVerdictLeavesTheMailUnsentAndALaterSendDeliversItOnce) {
  test::SendTestStore store;
  store.add({});
  {
    auto steps = upToData();
    steps.push_back(pause(kDataTime));
    steps.push_back(close());
    test::ScriptedServer server(steps);
    auto phase = store.sendPhase(server.port());
    const auto result = store.runSend(*phase);
    ASSERT_TRUE(result);
    server.wait();
    EXPECT_TRUE(server.succeeded()) << server.failure();
    EXPECT_TRUE(result->sent.empty()) << "no 250 to the data: not sent";
    EXPECT_TRUE(result->failed);
    EXPECT_FALSE(opened(store, 0));
  }
  {
    auto steps = upToData();
    steps.push_back(pause(kDataTime));
    steps.push_back(send("250 queued\r\n221 bye\r\n"));
    steps.push_back(readUntilClosed());
    test::ScriptedServer server(steps);
    auto phase = store.sendPhase(server.port());
    const auto result = store.runSend(*phase);
    ASSERT_TRUE(result);
    server.wait();
    EXPECT_TRUE(server.succeeded()) << server.failure();
    EXPECT_EQ(result->sent, (std::vector<std::uint32_t>{0}));
    EXPECT_FALSE(result->failed);
    EXPECT_TRUE(opened(store, 0)) << "the sent flag is written into the unsent tray";
    const mailflow::SentMailPlacement placement(store.location, store.placementSettings(), store.parser(),
                                           store.messages);
    const auto placed = placement.place(result->sent);
    EXPECT_EQ(placed.toSentTray, 1u);
    EXPECT_TRUE(store.subjects(store.unsent()).empty());
    EXPECT_EQ(store.subjects(store.sent()), (std::vector<std::string>{"hello"}));
  }
}

TEST(SendPhase, MailThatCannotBeComposedEndsThePhaseAndKeepsTheMailsSentBefore) {
  test::SendTestStore store;
  store.add({});
  store.add({.subject = "broken", .body = {"text", "@#MIME \"/no/such/file.bin\""}});
  store.add({.subject = "after"});
  auto steps = upToData();
  steps.push_back(pause(kDataTime));
  steps.push_back(send("250 queued\r\n"));
  steps.push_back(readUntilClosed());
  test::ScriptedServer server(steps);
  auto phase = store.sendPhase(server.port());
  const auto result = store.runSend(*phase);
  ASSERT_TRUE(result);
  server.wait();
  EXPECT_TRUE(server.succeeded()) << server.failure();
  EXPECT_EQ(result->sent, (std::vector<std::uint32_t>{0}));
  EXPECT_EQ(result->found, 3u);
  EXPECT_TRUE(result->failed);
  EXPECT_EQ(store.shown(), (std::vector<MessageNumber>{MessageNumber::AttachmentNotOpened}));
  EXPECT_FALSE(platform::pathExists(mailflow::SendSettings::fromSettings(store.settings, store.location).bodyPath))
      << "work files are removed";
}

TEST(SendPhase, EmptyUnsentTrayEndsWithoutConnectingAndARunningPhaseRefusesASecondStart) {
  test::SendTestStore store;
  auto phase = store.sendPhase(1);  // nothing listens there
  bool first = false;
  ASSERT_TRUE(phase->start([&](const mailflow::SendResult& r) { first = r.sent.empty() && !r.failed; }));
  EXPECT_FALSE(phase->start([](const mailflow::SendResult&) {}));
  store.loop.runUntil([&] { return !phase->running(); }, std::chrono::seconds(5));
  EXPECT_TRUE(first);
  EXPECT_TRUE(store.shown().empty()) << "no connection was tried";
}

TEST(SendPhase, AbortKeepsWhatWasSentAndDropsTheConnection) {
  test::SendTestStore store;
  store.add({});
  auto steps = upToData();
  steps.push_back(readUntilClosed());
  test::ScriptedServer server(steps);
  auto phase = store.sendPhase(server.port());
  std::optional<mailflow::SendResult> result;
  phase->start([&](const mailflow::SendResult& r) { result = r; });
  store.loop.runUntil([&] { return server.received().size() >= 4; }, std::chrono::seconds(5));
  phase->abort();
  store.loop.runUntil([&] { return result.has_value(); }, std::chrono::seconds(5));
  ASSERT_TRUE(result);
  EXPECT_TRUE(result->aborted);
  EXPECT_TRUE(result->sent.empty());
  server.wait();
  EXPECT_EQ(store.subjects(store.unsent()), (std::vector<std::string>{"hello"}));
}

// Placement by the tray each mail belongs to.
class Placement : public ::testing::Test {
protected:
  void SetUp() override {
    own = makeTray("仕事", store::trayflag::kSentAutoSort | store::trayflag::kSentLink);
    noLink = makeTray("趣味", store::trayflag::kSentAutoSort);
    noKeep = makeTray("捨て", store::trayflag::kNoKeepSent);
    plain = makeTray("普通", 0);
  }
  std::string makeTray(const std::string& utf8, std::uint32_t flags) {
    const std::string name = platform::utf8ToSjis(utf8);
    store::TrayProperties properties;
    properties.flags = flags;
    EXPECT_TRUE(store::TrayFile(store.location, name).create(properties));
    return name;
  }
  test::SendTestStore store;
  std::string own, noLink, noKeep, plain;
};

TEST_F(Placement, EachSentMailGoesWhereItsTrayAsksAndUnsentMailStays) {
  store.add({.subject = "own", .ownerTray = own});
  store.add({.subject = "nolink", .ownerTray = noLink});
  store.add({.subject = "nokeep", .ownerTray = noKeep});
  store.add({.subject = "plain", .ownerTray = plain});
  store.add({.subject = "gone", .ownerTray = platform::utf8ToSjis("消えた")});
  store.add({.subject = "unsent", .ownerTray = own});
  store.add({.subject = "none"});
  ASSERT_TRUE(store::TrayFile(store.location, store.unsent()).setMark(0, 3));

  std::vector<mailflow::SentMailSorted> logged;
  const mailflow::SentMailPlacement placement(store.location, store.placementSettings(), store.parser(), store.messages,
                                         [&](const mailflow::SentMailSorted& s) { logged.push_back(s); });
  const auto result = placement.place({0, 1, 2, 3, 4, 6});

  EXPECT_EQ(store.subjects(store.unsent()), (std::vector<std::string>{"unsent"}));
  EXPECT_EQ(store.subjects(own), (std::vector<std::string>{"own"}));
  EXPECT_EQ(store.subjects(noLink), (std::vector<std::string>{"nolink"}));
  EXPECT_EQ(store.subjects(store.trash()), (std::vector<std::string>{"nokeep"}));
  EXPECT_TRUE(store.subjects(plain).empty()) << "a tray without the switches keeps no sent mail of its own";
  auto inSent = store.subjects(store.sent());
  std::sort(inSent.begin(), inSent.end());
  EXPECT_EQ(inSent, (std::vector<std::string>{"->own", "gone", "none", "plain"}));
  EXPECT_EQ(result.toOwnTrays, 2u);
  EXPECT_EQ(result.toTrash, 1u);
  EXPECT_EQ(result.toSentTray, 3u);
  EXPECT_EQ(result.leftUnsent, 1u);
  EXPECT_EQ(store.shown(), (std::vector<MessageNumber>{MessageNumber::MailTrayNotFound}));
  ASSERT_EQ(logged.size(), 2u);
  EXPECT_EQ(logged[0].destination, own);
  EXPECT_EQ(logged[0].sourceTray, store.unsent());
  EXPECT_FALSE(logged[0].messageId.empty());

  store::TrayRecord moved;
  ASSERT_EQ(store::TrayFile(store.location, own).read(0, moved), store::ReadResult::Live);
  EXPECT_EQ(moved.record.mark(), 3) << "the mark goes with the mail";
  EXPECT_EQ(moved.record.referenceCount(), 1) << "the link in the sent tray is counted";
}

}  // namespace
}  // namespace zorvik
