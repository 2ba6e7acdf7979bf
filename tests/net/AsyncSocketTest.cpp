// AsyncSocket's name lookup off the loop's thread: a resolver that hangs
// never holds the loop, an abandoned lookup reports nothing, and a name
// that does not resolve ends in a failed connect.

#include "net/AsyncSocket.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>

#include "net/PollEventLoop.h"
#include "net/ServerAddress.h"
#include "support/ScriptedServer.h"

namespace zorvik::net {
namespace {

using namespace std::chrono_literals;

class Recorder final : public SmtpTransportListener {
public:
  void onConnected(int error) override {
    connects.push_back(error);
  }
  void onReceived(std::string_view bytes) override { received.append(bytes); }
  void onReadFailed(int) override {}
  void onWritable() override {}
  void onWriteFailed(int) override {}
  void onPeerClosed() override {}
  void onTlsReady() override {}
  void onTlsFailed(const TlsFailure&) override {}

  std::vector<int> connects;
  std::string received;
};

// A lookup that hangs until the test opens its gate, then answers with the
// loopback address (or nothing). The thread holds a share of the gate, so
// it may finish after the test.
struct Gate {
  std::promise<void> open;
  std::shared_future<void> opened = open.get_future().share();
  std::atomic<int> finished{0};

  HostResolver::Lookup lookup(bool resolves) {
    return [opened = opened, resolves, self = this](const std::string&, std::uint16_t port) {
      opened.wait();
      auto answer = resolves ? serverAddress("127.0.0.1", port) : std::nullopt;
      ++self->finished;
      return answer;
    };
  }
};

TEST(AsyncSocket, SlowNameLookupNeverHoldsTheLoop) {
  test::ScriptedServer server({test::send("220 hello\r\n"), test::readUntilClosed()});
  PollEventLoop loop;
  Gate gate;
  AsyncSocket socket(loop, gate.lookup(true));
  Recorder recorder;
  socket.setListener(&recorder);
  ASSERT_EQ(socket.open("slow.example", server.port()), SmtpTransport::OpenResult::Connecting);

  int ticks = 0;
  for (int i = 0; i < 3; ++i) loop.startTimer(0ms, [&ticks] { ++ticks; });
  ASSERT_TRUE(loop.runUntil([&] { return ticks == 3; }, 5s)) << "the loop turns while the lookup hangs";
  EXPECT_TRUE(recorder.connects.empty());

  gate.open.set_value();
  ASSERT_TRUE(loop.runUntil([&] { return recorder.received == "220 hello\r\n"; }, 10s));
  EXPECT_EQ(recorder.connects, std::vector{0});
  socket.close();
}

TEST(AsyncSocket, AbandonedLookupReportsNothingAndUnresolvedNameFailsTheConnect) {
  PollEventLoop loop;
  auto gate = std::make_shared<Gate>();
  Recorder recorder;
  {
    AsyncSocket socket(loop, gate->lookup(true));
    socket.setListener(&recorder);
    ASSERT_EQ(socket.open("slow.example", 25), SmtpTransport::OpenResult::Connecting);
    socket.close();
  }  // gone before the lookup returns
  gate->open.set_value();
  ASSERT_TRUE(loop.runUntil([&] { return gate->finished == 1; }, 10s));
  loop.runOnce(50ms);
  EXPECT_TRUE(recorder.connects.empty());
  EXPECT_EQ(loop.socketCount(), 0u);

  Gate unresolved;
  unresolved.open.set_value();
  AsyncSocket socket(loop, unresolved.lookup(false));
  socket.setListener(&recorder);
  ASSERT_EQ(socket.open("no.such.host.example", 25), SmtpTransport::OpenResult::Connecting);
  ASSERT_TRUE(loop.runUntil([&] { return !recorder.connects.empty(); }, 10s));
  EXPECT_NE(recorder.connects[0], 0);
}

}  // namespace
}  // namespace zorvik::net
