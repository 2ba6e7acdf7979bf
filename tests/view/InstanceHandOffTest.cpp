// The hand-off socket between a second start and the running instance.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <future>

#include "support/TestEnvironment.h"
#include "view/InstanceHandOff.h"

namespace zorvik::view {
namespace {

class InstanceHandOffTest : public ::testing::Test {
protected:
  InstanceHandOffTest() {
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    saved_ = old ? old : "";
    ::setenv("XDG_RUNTIME_DIR", scratch.path().c_str(), 1);
  }
  ~InstanceHandOffTest() override {
    if (saved_.empty()) ::unsetenv("XDG_RUNTIME_DIR");
    else ::setenv("XDG_RUNTIME_DIR", saved_.c_str(), 1);
  }

  // Sends from another thread while this one answers, as two processes would.
  std::optional<HandOffRequest> handOff(InstanceHandOff& server, const std::string& path, const HandOffRequest& request,
                                        bool& taken) {
    auto sent = std::async(std::launch::async, [&] { return InstanceHandOff::send(path, request); });
    std::optional<HandOffRequest> received;
    for (int i = 0; i < 500 && !received; ++i) {
      received = server.accept();
      if (!received) ::usleep(2000);
    }
    taken = sent.get();
    return received;
  }

  test::ScratchDir scratch;

private:
  std::string saved_;
};

TEST_F(InstanceHandOffTest, RequestsReachTheRunningInstance) {
  const std::string path = InstanceHandOff::socketPath("taro");
  EXPECT_EQ(path, scratch.path() + "/zorvik-taro.sock");
  EXPECT_FALSE(InstanceHandOff::send(path, {}));  // nobody runs yet
  auto server = InstanceHandOff::listen(path);
  ASSERT_TRUE(server);
  EXPECT_FALSE(InstanceHandOff::listen(path));  // a second instance does not take over

  for (const HandOffRequest& request :
       {HandOffRequest{HandOffRequest::Kind::Mailto, "hanako@example.jp?subject=%E4%BC%9A"},
        HandOffRequest{HandOffRequest::Kind::SendReceive, {}}, HandOffRequest{HandOffRequest::Kind::Show, {}}}) {
    bool taken = false;
    const auto received = handOff(*server, path, request, taken);
    EXPECT_TRUE(taken);
    ASSERT_TRUE(received);
    EXPECT_EQ(received->kind, request.kind);
    EXPECT_EQ(received->text, request.text);
  }
  EXPECT_EQ(InstanceHandOff::allSocketPaths(), std::vector<std::string>{path});
  EXPECT_FALSE(HandOffRequest::parse("format c:"));
  EXPECT_FALSE(HandOffRequest::parse("mailto"));
}

TEST_F(InstanceHandOffTest, StaleSocketIsRemoved) {
  const std::string path = InstanceHandOff::socketPath("taro");
  // A socket file left by a killed instance: bound once, never listened on.
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, path.c_str());
  ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  ::close(fd);
  ASSERT_EQ(::access(path.c_str(), F_OK), 0);

  EXPECT_FALSE(InstanceHandOff::send(path, {}));
  EXPECT_NE(::access(path.c_str(), F_OK), 0);  // removed: the next start listens there
  {
    auto server = InstanceHandOff::listen(path);
    EXPECT_TRUE(server);
  }
  EXPECT_NE(::access(path.c_str(), F_OK), 0);  // and an orderly end removes it too

  // A long settings name still fits a socket path.
  EXPECT_LT(InstanceHandOff::socketPath(std::string(200, 'x')).size(), 108U);
}

}  // namespace
}  // namespace zorvik::view
