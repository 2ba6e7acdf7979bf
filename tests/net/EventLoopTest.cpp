// PollEventLoop: timers on a fake clock, socket reports, and changes made
// from inside a report.

#include "net/PollEventLoop.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

#include "support/FakeClock.h"

namespace zorvik::net {
namespace {

using namespace std::chrono_literals;

TEST(EventLoop, TimersFireInOrderOfTheirClockAndStoppedOnesNever) {
  test::FakeClock clock;
  PollEventLoop loop(clock);
  std::string fired;
  loop.startTimer(2s, [&] { fired += "b"; });
  loop.startTimer(1s, [&] { fired += "a"; });
  const auto stopped = loop.startTimer(1s, [&] { fired += "x"; });
  loop.stopTimer(stopped);
  loop.stopTimer(12345);  // unknown ids are ignored

  EXPECT_FALSE(loop.runOnce(0ms));
  clock.advance(1500ms);
  EXPECT_TRUE(loop.runOnce(0ms));
  EXPECT_EQ(fired, "a");
  clock.advance(1s);
  loop.runOnce(0ms);
  EXPECT_EQ(fired, "ab");
  EXPECT_EQ(loop.timerCount(), 0u);
}

TEST(EventLoop, ATimerStoppedByAnEarlierOneOfTheSameTurnDoesNotFire) {
  test::FakeClock clock;
  PollEventLoop loop(clock);
  std::string fired;
  EventLoop::TimerId second = 0;
  loop.startTimer(1s, [&] {
    fired += "a";
    loop.stopTimer(second);
  });
  second = loop.startTimer(1s, [&] { fired += "b"; });
  clock.advance(1s);
  loop.runOnce(0ms);
  EXPECT_EQ(fired, "a");
}

class Recorder final : public EventLoop::SocketHandler {
public:
  void onReadable() override {
    char buffer[64];
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n > 0) text.append(buffer, static_cast<std::size_t>(n));
    if (n == 0) closed = true;
    if (onRead) onRead();
  }
  void onWritable() override { ++writable; }

  int fd = -1;
  std::string text;
  bool closed = false;
  int writable = 0;
  std::function<void()> onRead;
};

TEST(EventLoop, ReportsReadableAndWritableSocketsAndForgetsUnwatchedOnes) {
  int pair[2];
  ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
  PollEventLoop loop;
  Recorder a;
  a.fd = pair[0];
  loop.watchSocket(a.fd, a);

  EXPECT_FALSE(loop.runOnce(0ms)) << "no write interest, nothing to read";
  loop.setWriteInterest(a.fd, true);
  loop.runOnce(0ms);
  EXPECT_EQ(a.writable, 1);
  loop.setWriteInterest(a.fd, false);

  ASSERT_EQ(::send(pair[1], "hi", 2, 0), 2);
  loop.runOnce(100ms);
  EXPECT_EQ(a.text, "hi");

  // A handler that unwatches its socket is not reported again, even though
  // the peer's close is still waiting.
  a.onRead = [&] { loop.unwatchSocket(a.fd); };
  ASSERT_EQ(::send(pair[1], "x", 1, 0), 1);
  ::close(pair[1]);
  loop.runOnce(100ms);
  EXPECT_EQ(a.text, "hix");
  EXPECT_FALSE(loop.runOnce(0ms));
  EXPECT_FALSE(a.closed);
  EXPECT_EQ(loop.socketCount(), 0u);
  ::close(pair[0]);
}

}  // namespace
}  // namespace zorvik::net
