// Dial-up over nmcli, against a fake nmcli that logs its calls and plays
// connection states: what is dialled, what is shown while it is, what is
// hung up (only what was dialled), and the message of every failure.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/Messages.h"
#include "net/DialState.h"
#include "net/NmcliDialUp.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "support/FakeNmcli.h"
#include "support/RecordingReporter.h"

namespace zorvik::net {
namespace {

class RecordingObserver final : public DialObserver {
public:
  void state(int state, const std::string&) override { states.push_back(state); }
  bool abortRequested() override { return abort; }
  std::vector<int> states;
  bool abort = false;
};

bool logged(const std::vector<std::string>& log, const std::string& line) {
  return std::find(log.begin(), log.end(), line) != log.end();
}

class DialUpTest : public ::testing::Test {
protected:
  DialUpTest() {
    nmcli.addProfile("mobile");
    // The passwd-file goes into the runtime folder; it must be gone after.
    ::setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
  }

  DialResult connect(NmcliDialUp& dialUp, const std::string& entry = "mobile") {
    return dialUp.connect({entry, "user", "secret", ""}, observer);
  }

  test::FakeNmcli nmcli;
  test::ScratchDir runtime;
  test::RecordingReporter reporter;
  core::Messages messages{reporter};
  RecordingObserver observer;
};

TEST_F(DialUpTest, DialsShowsTheStatesAndHangsUpOnlyWhatItDialled) {
  nmcli.setActivatingPolls(2);
  {
    NmcliDialUp dialUp(messages, nmcli.program(), std::chrono::milliseconds(1));
    ASSERT_EQ(connect(dialUp), DialResult::Connected) << ::testing::PrintToString(reporter.numbers());
    EXPECT_EQ(observer.states,
              (std::vector<int>{DialState::kOpenPort, DialState::kConnectDevice, DialState::kConnected}));
    EXPECT_EQ(nmcli.active(), std::vector<std::string>{"mobile"});
    EXPECT_TRUE(logged(nmcli.log(), "passwd-file: gsm.password:secret")) << "the password goes by file";
    EXPECT_FALSE(logged(nmcli.log(), "connection up id mobile passwd-file secret"));
    EXPECT_TRUE(platform::listDirectory(runtime.path()).empty()) << "the password file is removed";
    EXPECT_EQ(dialUp.isConnected("mobile"), true);
    dialUp.disconnect();
  }
  EXPECT_TRUE(logged(nmcli.log(), "connection down id mobile")) << "it hangs up what it dialled";
  EXPECT_TRUE(nmcli.active().empty());
  EXPECT_TRUE(reporter.numbers().empty());

  // A connection that was up before is used as it is and left up.
  nmcli.setActive("mobile");
  const std::size_t callsBefore = nmcli.log().size();
  {
    NmcliDialUp dialUp(messages, nmcli.program(), std::chrono::milliseconds(1));
    EXPECT_EQ(connect(dialUp), DialResult::AlreadyConnected);
    dialUp.disconnect();
  }
  const auto log = nmcli.log();
  EXPECT_EQ(log.size(), callsBefore + 1) << "only the active list was read";
  EXPECT_EQ(nmcli.active(), std::vector<std::string>{"mobile"});
}

TEST_F(DialUpTest, EveryFailureShowsItsMessageAndLeavesNothingUp) {
  struct Case {
    const char* what;
    std::function<void(test::FakeNmcli&)> arrange;
    std::string entry;
    core::MessageNumber message;
    std::string program = {};
  };
  const std::vector<Case> cases{
      {"no nmcli", [](test::FakeNmcli&) {}, "mobile", core::MessageNumber::DialUpNotInstalled, "/nonexistent/nmcli"},
      {"NetworkManager not running", [](test::FakeNmcli& f) { f.setManagerDown(); }, "mobile", core::MessageNumber::DialUpNotInstalled},
      {"active list unreadable", [](test::FakeNmcli& f) { f.setListFails(); }, "mobile", core::MessageNumber::DialUpEntryNotFound},
      {"no such profile", [](test::FakeNmcli&) {}, "nowhere", core::MessageNumber::DialUpBadSettings},
      {"activation fails", [](test::FakeNmcli& f) { f.setUpFails("Error: Connection activation failed: no modem"); },
       "mobile", core::MessageNumber::DialUpFailed},
      {"line drops while dialling", [](test::FakeNmcli& f) { f.setDrops(); }, "mobile", core::MessageNumber::DialUpHungUp},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::FakeNmcli fake;
    fake.addProfile("mobile");
    c.arrange(fake);
    test::RecordingReporter shown;
    core::Messages boxes(shown);
    RecordingObserver states;
    NmcliDialUp dialUp(boxes, c.program.empty() ? fake.program() : c.program, std::chrono::milliseconds(1));
    EXPECT_EQ(dialUp.connect({c.entry, "", "", ""}, states), DialResult::Failed);
    EXPECT_EQ(shown.numbers(), std::vector<core::MessageNumber>{c.message});
    EXPECT_TRUE(fake.active().empty());
  }
  // The activation failure carries nmcli's own words.
  test::FakeNmcli fake;
  fake.addProfile("mobile");
  fake.setUpFails("Error: Connection activation failed: no modem");
  NmcliDialUp dialUp(messages, fake.program(), std::chrono::milliseconds(1));
  connect(dialUp);
  ASSERT_EQ(reporter.boxes().size(), 1u);
  EXPECT_NE(platform::sjisToUtf8(reporter.boxes()[0].text).find("no modem"), std::string::npos);
}

TEST_F(DialUpTest, BreakingOffHangsUp) {
  nmcli.setActivatingPolls(5);
  observer.abort = true;
  NmcliDialUp dialUp(messages, nmcli.program(), std::chrono::milliseconds(1));
  EXPECT_EQ(connect(dialUp), DialResult::Aborted);
  EXPECT_TRUE(logged(nmcli.log(), "connection down id mobile"));
  EXPECT_TRUE(reporter.numbers().empty());
}

}  // namespace
}  // namespace zorvik::net
