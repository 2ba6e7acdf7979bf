// The store's writer lock: who is refused with which message, and a lock
// whose holder was killed is free again.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "mailflow/FlowScene.h"
#include "mailflow/StoreLock.h"
#include "platform/FileSystem.h"

namespace zorvik::mailflow {
namespace {

using core::MessageNumber;

TEST(StoreLock, ASecondTakerIsRefusedWithTheMessageForItsWork) {
  struct Case {
    StoreWork held;
    StoreWork wanted;
    MessageNumber message;
  };
  const Case cases[] = {
      {StoreWork::Receive, StoreWork::Receive, MessageNumber::ReceiveRunning},
      {StoreWork::SendReceive, StoreWork::ServerTray, MessageNumber::ReceiveRunning},
      {StoreWork::Receive, StoreWork::Send, MessageNumber::ServerCommandRunning},
      {StoreWork::Send, StoreWork::SendReceive, MessageNumber::ServerCommandRunning},
      {StoreWork::Sort, StoreWork::Receive, MessageNumber::OtherWorkRunning},
      {StoreWork::Receive, StoreWork::Deliver, MessageNumber::OtherWorkRunning},
      {StoreWork::Compact, StoreWork::Sort, MessageNumber::OtherWorkRunning},
  };
  for (const Case& c : cases) {
    test::FlowScene scene;
    const auto held = StoreLock::take(*scene.document, c.held);
    ASSERT_TRUE(held.has_value());
    EXPECT_FALSE(StoreLock::take(*scene.document, c.wanted).has_value());
    EXPECT_FALSE(StoreLock::tryTake(*scene.document, c.wanted).has_value());
    EXPECT_EQ(scene.shown(), std::vector{c.message}) << static_cast<int>(c.held) << " " << static_cast<int>(c.wanted);
  }
}

TEST(StoreLock, ALockWhoseHolderWasKilledIsFreeAndAReleasedOneToo) {
  test::FlowScene scene;
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    const auto lock = StoreLock::tryTake(*scene.document, StoreWork::Receive);
    [[maybe_unused]] const auto written = ::write(ready[1], lock ? "1" : "0", 1);
    ::pause();
    ::_exit(0);
  }
  char taken = 0;
  ASSERT_EQ(::read(ready[0], &taken, 1), 1);
  ASSERT_EQ(taken, '1');
  EXPECT_FALSE(StoreLock::tryTake(*scene.document, StoreWork::Receive).has_value()) << "held by the child";
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  { EXPECT_TRUE(StoreLock::take(*scene.document, StoreWork::Receive).has_value()) << "stale once its holder died"; }
  EXPECT_TRUE(StoreLock::take(*scene.document, StoreWork::Send).has_value()) << "released with the object";
  EXPECT_TRUE(scene.shown().empty());
  ::close(ready[0]);
  ::close(ready[1]);
}

TEST(StoreLock, AStoreThatIsNotThereSaysSo) {
  test::FlowScene scene;
  ASSERT_TRUE(platform::removeTree(scene.topCabinet()));
  EXPECT_FALSE(StoreLock::take(*scene.document, StoreWork::Sort).has_value());
  EXPECT_EQ(scene.shown(), std::vector<MessageNumber>{MessageNumber::NoStore});
}

}  // namespace
}  // namespace zorvik::mailflow
