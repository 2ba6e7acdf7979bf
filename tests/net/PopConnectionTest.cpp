// The line transport under a scripted socket and a fake clock: time-outs,
// reconnects and closes happen without waiting for them.
#include <gtest/gtest.h>

#include "core/Messages.h"
#include "net/PopConnection.h"
#include "net/PopReplyReader.h"
#include "support/FakeClock.h"
#include "support/RecordingReporter.h"
#include "PopTestFakes.h"

namespace zorvik::net {
namespace {

using core::MessageNumber;

class PopConnectionTest : public ::testing::Test {
protected:
  PopConnection& connect(int sendSeconds, int receiveSeconds, std::size_t lineLimit = 1u << 20) {
    connection = std::make_unique<PopConnection>(transport, messages, abort, zeroReads, lineLimit);
    connection->setTimeouts(sendSeconds, receiveSeconds);
    return *connection;
  }
  std::int64_t elapsedSeconds() const {
    return std::chrono::duration_cast<std::chrono::seconds>(clock.now() - start).count();
  }
  std::vector<std::string> texts() const {
    std::vector<std::string> result;
    for (const auto& box : reporter.boxes()) result.push_back(box.text);
    return result;
  }

  test::FakeClock clock;
  const std::chrono::steady_clock::time_point start = clock.now();
  test::FakeTransport transport{clock};
  test::RecordingReporter reporter;
  core::Messages messages{reporter};
  std::atomic<bool> abort{false};
  std::atomic<int> zeroReads{0};
  std::unique_ptr<PopConnection> connection;
};

TEST_F(PopConnectionTest, SilentServerIsReconnectedAfterEachTimeoutThenNamedAsNotAnswering) {
  std::string greeting;
  EXPECT_FALSE(connect(5, 3).open("mail.example.jp", 110, greeting));
  EXPECT_EQ(transport.creates, 3);
  EXPECT_EQ(elapsedSeconds(), 9) << "three full waits of 3 s";
  EXPECT_EQ(texts(), std::vector{core::Messages::text(MessageNumber::PopNoGreeting, {"mail.example.jp", "110", "3"})});
}

TEST_F(PopConnectionTest, SilentServerWaitIsAbandonedOnAbort) {
  transport.onIdleWait = [&] {
    if (transport.creates >= 2) abort = true;
  };
  std::string greeting;
  EXPECT_FALSE(connect(5, 3).open("127.0.0.1", 110, greeting));
  EXPECT_EQ(transport.creates, 2);
  EXPECT_EQ(elapsedSeconds(), 4) << "one full wait of 3 s, then the abort seen after one second";
  EXPECT_TRUE(reporter.boxes().empty()) << "an abort is silent";
}

TEST_F(PopConnectionTest, GreetingAfterSilenceIsRead) {
  transport.addSilence(2);
  transport.addData("+OK hello\r\n");
  std::string greeting;
  ASSERT_TRUE(connect(5, 3).open("mail.example.jp", 110, greeting));
  EXPECT_EQ(greeting, "+OK hello\r\n");
  EXPECT_EQ(transport.creates, 1);
}

TEST_F(PopConnectionTest, UnresolvableHostIsReported) {
  transport.resolvable = false;
  std::string greeting;
  EXPECT_FALSE(connect(5, 3).open("no.such.host", 110, greeting));
  EXPECT_EQ(texts(), std::vector{core::Messages::text(MessageNumber::PopCannotConnect, {})});
}

TEST_F(PopConnectionTest, LineSplitAcrossReadsIsHandedOnWhenComplete) {
  transport.addData("+OK hel");
  transport.addSilence(2);
  transport.addData("lo\r\n+OK sec");
  transport.addData("ond\r\n");
  PopConnection& c = connect(5, 5);
  std::string lines;
  ASSERT_TRUE(c.readReply(52, lines));
  EXPECT_EQ(lines, "+OK hello\r\n");
  ASSERT_TRUE(c.readReply(52, lines));
  EXPECT_EQ(lines, "+OK second\r\n");
}

TEST_F(PopConnectionTest, TimeoutMessageCountsRepeatedReads) {
  transport.addData("+OK par");  // part of a line: +100
  transport.addWouldBlock();     // ready but nothing after all: +1000
  std::string lines;
  EXPECT_FALSE(connect(5, 2).readReply(30, lines));
  EXPECT_TRUE(connection->failed());
  EXPECT_EQ(texts(), std::vector{core::Messages::text(MessageNumber::PopReceiveTimeout, {1130})});
  EXPECT_EQ(elapsedSeconds(), 2);
}

TEST_F(PopConnectionTest, ClosedConnectionIsSilentThreeTimesThenReported) {
  PopConnection& c = connect(5, 5);
  std::string lines;
  for (int i = 0; i < 3; ++i) {
    transport.addClose();
    EXPECT_FALSE(c.readReply(10, lines));
  }
  EXPECT_TRUE(reporter.boxes().empty());
  transport.addClose();
  EXPECT_FALSE(c.readReply(10, lines));
  EXPECT_EQ(texts(), std::vector{core::Messages::text(MessageNumber::PopConnectionGone, {})});
  // A read with data starts the count again.
  transport.addData("+OK\r\n");
  EXPECT_TRUE(c.readReply(10, lines));
  EXPECT_EQ(zeroReads.load(), 0);
}

TEST_F(PopConnectionTest, EndlessLineIsCutOffQuietlyForTheCallerToReport) {
  for (int i = 0; i < 20; ++i) transport.addData(std::string(100, 'x'));
  std::string lines;
  EXPECT_FALSE(connect(5, 5, 1000).readReply(11, lines));
  EXPECT_TRUE(connection->overflowed());
  EXPECT_TRUE(reporter.boxes().empty());
}

TEST_F(PopConnectionTest, AbortIsSeenWithinOneWait) {
  transport.onIdleWait = [&] { abort = true; };
  std::string lines;
  EXPECT_FALSE(connect(5, 60).readReply(10, lines));
  EXPECT_EQ(elapsedSeconds(), 1);
  EXPECT_TRUE(reporter.boxes().empty());
}

// The reader gives the same lines however the bytes are cut up.
std::string feedInPieces(std::string_view input, std::size_t piece) {
  PopReplyReader reader;
  std::string all;
  std::string lines;
  for (std::size_t at = 0; at < input.size(); at += piece) {
    if (reader.feed(input.substr(at, piece), lines) == PopReplyReader::Result::Lines) all += lines;
  }
  return all;
}

TEST(PopReplyReader, WholeOneByteAtATimeAndWithTrailingDataAgree) {
  const std::string reply = "+OK 2 messages\r\n1 120\r\n2 bare-lf\n.\r\n";
  EXPECT_EQ(feedInPieces(reply, reply.size()), reply);
  EXPECT_EQ(feedInPieces(reply, 1), reply);
  EXPECT_EQ(feedInPieces(reply + "+OK unfinish", 5), reply);
}

TEST(PopReplyReader, PartialLineIsReportedAsSuch) {
  PopReplyReader reader;
  std::string lines;
  EXPECT_EQ(reader.feed("+OK", lines), PopReplyReader::Result::Partial);
  EXPECT_EQ(reader.carried(), 3u);
  EXPECT_EQ(reader.feed("\r\n", lines), PopReplyReader::Result::Lines);
  EXPECT_EQ(lines, "+OK\r\n");
}

}  // namespace
}  // namespace zorvik::net
