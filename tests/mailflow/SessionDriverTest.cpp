#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mailflow/SendTestStore.h"
#include "mailflow/SessionDriver.h"
#include "support/ScriptedServer.h"

namespace zorvik {
namespace {

using core::MessageNumber;

using test::expect;
using test::pause;
using test::readUntilClosed;
using test::send;

// Receives `received` mails at once (or fails), noting what the unsent tray
// held when it started or logged in: that tells whether sending came before.
class FakeReceiver final : public mailflow::SessionDriver::Receiver {
public:
  FakeReceiver(test::SendTestStore& store, std::size_t received, bool failed)
      : store_(store), received_(received), failed_(failed) {}

  void start(std::function<void(std::size_t, bool)> finished) override {
    ++starts;
    unsentAtStart = store_.subjects(store_.unsent());
    store_.loop.startTimer(std::chrono::milliseconds(0),
                           [this, finished = std::move(finished)] { finished(received_, failed_); });
  }
  void logIn(std::function<void(std::size_t, bool)> finished) override {
    ++logins;
    unsentAtStart = store_.subjects(store_.unsent());
    store_.loop.startTimer(std::chrono::milliseconds(0),
                           [this, finished = std::move(finished)] { finished(0, failed_); });
  }
  void abort() override {}
  bool connectionOpen() const override { return open; }

  int starts = 0;
  int logins = 0;
  bool open = false;
  std::vector<std::string> unsentAtStart;

private:
  test::SendTestStore& store_;
  std::size_t received_;
  bool failed_;
};

std::vector<test::ScriptStep> acceptOneMail() {
  return {send("220 sink\r\n"), expect("HELO client.test"), send("250 hi\r\n"),
          expect("MAIL From:<taro@example.jp>"), send("250 ok\r\n"), expect("RCPT To:<hanako@example.jp>"),
          send("250 ok\r\n"), expect("DATA"), send("354 go\r\n"), pause(std::chrono::milliseconds(500)),
          send("250 queued\r\n221 bye\r\n"), readUntilClosed()};
}

class Driver : public ::testing::Test {
protected:
  void start(mailflow::DriverSettings settings, FakeReceiver* receiver, std::uint16_t port,
             mailflow::SessionDriver::Command command = mailflow::SessionDriver::Command::SendAndReceive) {
    phase = store.sendPhase(port);
    placement.emplace(store.location, store.placementSettings(), store.parser(), store.messages);
    driver.emplace(store.loop, store.messages, *phase, *placement, settings, receiver);
    ASSERT_TRUE(driver->run(command, [this](const mailflow::RunResult& r) { result = r; }));
  }
  bool runToEnd() {
    return store.loop.runUntil([this] { return result.has_value(); }, std::chrono::seconds(10));
  }

  test::SendTestStore store;
  std::unique_ptr<mailflow::SendPhase> phase;
  std::optional<mailflow::SentMailPlacement> placement;
  std::optional<mailflow::SessionDriver> driver;
  std::optional<mailflow::RunResult> result;
};

TEST_F(Driver, SendsFirstAndPlacesTheMailBeforeReceivingThenSetsBothBits) {
  store.add({});
  test::ScriptedServer server(acceptOneMail());
  FakeReceiver receiver(store, 2, false);
  start({}, &receiver, server.port());
  EXPECT_FALSE(driver->run(mailflow::SessionDriver::Command::Send, [](const mailflow::RunResult&) {}));
  EXPECT_EQ(store.shown(), (std::vector<MessageNumber>{MessageNumber::ServerCommandRunning}))
      << "one command at a time";
  ASSERT_TRUE(runToEnd());
  server.wait();
  EXPECT_TRUE(server.succeeded()) << server.failure();
  EXPECT_EQ(receiver.starts, 1);
  EXPECT_TRUE(receiver.unsentAtStart.empty()) << "sent and placed before receiving";
  EXPECT_EQ(result->bits, mailflow::kMailSent | mailflow::kMailReceived);
  EXPECT_EQ(store.subjects(store.sent()), (std::vector<std::string>{"hello"}));
  EXPECT_FALSE(driver->running());
}

TEST_F(Driver, PopBeforeSmtpReceivesFirstAndWaitsItsSecondsBeforeConnecting) {
  store.add({});
  test::ScriptedServer server(acceptOneMail());
  FakeReceiver receiver(store, 0, false);
  start({.popBeforeSmtp = true, .popBeforeSmtpWaitSeconds = 60}, &receiver, server.port());
  store.loop.runUntil([&] { return receiver.starts == 1; }, std::chrono::seconds(5));
  store.loop.runUntil([] { return false; }, std::chrono::milliseconds(100));  // the receive ends
  EXPECT_EQ(receiver.unsentAtStart, (std::vector<std::string>{"hello"}));
  store.clock.advance(std::chrono::seconds(59));
  store.loop.runUntil([] { return false; }, std::chrono::milliseconds(300));
  EXPECT_EQ(server.connectionsAccepted(), 0) << "still waiting";
  store.clock.advance(std::chrono::seconds(1));
  ASSERT_TRUE(runToEnd());
  server.wait();
  EXPECT_TRUE(server.succeeded()) << server.failure();
  EXPECT_EQ(result->bits, mailflow::kMailSent);
}

TEST_F(Driver, SendAloneWithPopBeforeSmtpLogsInFirstAndReceivesNothing) {
  store.add({});
  test::ScriptedServer server(acceptOneMail());
  FakeReceiver receiver(store, 5, false);
  start({.popBeforeSmtp = true, .popAccountComplete = true}, &receiver, server.port(),
        mailflow::SessionDriver::Command::Send);
  ASSERT_TRUE(runToEnd());
  server.wait();
  EXPECT_TRUE(server.succeeded()) << server.failure();
  EXPECT_EQ(receiver.logins, 1);
  EXPECT_EQ(receiver.starts, 0);
  EXPECT_EQ(receiver.unsentAtStart, (std::vector<std::string>{"hello"})) << "the login came before the send";
  EXPECT_EQ(result->bits, mailflow::kMailSent);
}

TEST_F(Driver, PopBeforeSmtpWithAFailedReceiveSendsNothing) {
  store.add({});
  FakeReceiver receiver(store, 0, true);
  start({.popBeforeSmtp = true}, &receiver, 1);
  ASSERT_TRUE(runToEnd());
  EXPECT_EQ(result->bits, 0);
  EXPECT_TRUE(result->receiveFailed);
  EXPECT_EQ(store.subjects(store.unsent()), (std::vector<std::string>{"hello"}));
  EXPECT_TRUE(store.shown().empty()) << "no connection was tried";
}

TEST_F(Driver, OpenCheckConnectionIsReceivedOnFirstAndTheSendStillFollows) {
  store.add({});
  test::ScriptedServer server(acceptOneMail());
  FakeReceiver receiver(store, 1, false);
  receiver.open = true;
  start({}, &receiver, server.port());
  ASSERT_TRUE(runToEnd());
  EXPECT_EQ(receiver.unsentAtStart, (std::vector<std::string>{"hello"}));
  EXPECT_EQ(result->bits, mailflow::kMailSent | mailflow::kMailReceived);
}

TEST_F(Driver, TimerOperations) {
  using Action = mailflow::SessionDriver::TimerAction;
  EXPECT_EQ(mailflow::SessionDriver::autoSendDelay(0), std::chrono::milliseconds(50));
  EXPECT_EQ(mailflow::SessionDriver::autoSendDelay(-1), std::nullopt);
  EXPECT_EQ(mailflow::SessionDriver::autoSendDelay(30), std::chrono::seconds(30));
  EXPECT_EQ(mailflow::SessionDriver::checkInterval(0), std::nullopt);
  EXPECT_EQ(mailflow::SessionDriver::checkInterval(600), std::chrono::seconds(600));

  FakeReceiver receiver(store, 0, false);
  start({.popAccountComplete = true}, &receiver, 1);  // a run is active now
  int checks = 0;
  EXPECT_EQ(driver->onAutoSendTimer([](const mailflow::RunResult&) {}), Action::RestartIn10Seconds);
  EXPECT_EQ(driver->onCheckTimer(false, [&] { ++checks; }), Action::Stop);
  EXPECT_EQ(checks, 0) << "no check while a command runs";
  ASSERT_TRUE(runToEnd());
  EXPECT_EQ(driver->onCheckTimer(true, [&] { ++checks; }), Action::KeepRunning);
  EXPECT_EQ(driver->onCheckTimer(false, [&] { ++checks; }), Action::Stop);
  EXPECT_EQ(checks, 1);

  result.reset();
  EXPECT_EQ(driver->onAutoSendTimer([this](const mailflow::RunResult& r) { result = r; }), Action::Stop);
  EXPECT_TRUE(driver->running()) << "the timer started a send/receive";
  ASSERT_TRUE(runToEnd());

  mailflow::SessionDriver noAccount(store.loop, store.messages, *phase, *placement, {}, nullptr);
  EXPECT_EQ(noAccount.onCheckTimer(false, [&] { ++checks; }), Action::KeepRunning);
  EXPECT_EQ(checks, 1);
}

}  // namespace
}  // namespace zorvik
