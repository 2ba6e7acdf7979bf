// The dial-up around the server workflows, with a fake nmcli on PATH: the
// prompt of item 905 can cancel or change what is dialled, an error box
// hangs up what was dialled before it shows, and the periodic check does
// not dial while item 907 forbids it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/SettingsItemTable.h"
#include "mailflow/DialUpScope.h"
#include "mailflow/FlowScene.h"
#include "mailflow/NewMailCheck.h"
#include "mailflow/ReceiveFlow.h"
#include "support/FakeNmcli.h"
#include "support/LoopbackPort.h"

namespace zorvik::mailflow {
namespace {

class Prompt final : public DialUpPrompt {
public:
  bool confirm(net::DialEntry& entry) override {
    ++asked;
    if (!replacement.empty()) entry.name = replacement;
    return answer;
  }
  bool answer = true;
  std::string replacement;
  int asked = 0;
};

class DialUpScopeTest : public ::testing::Test {
protected:
  DialUpScopeTest() : savedPath_(std::getenv("PATH") ? std::getenv("PATH") : "") {
    ::setenv("PATH", nmcli.pathVariable().c_str(), 1);
    nmcli.addProfile("mobile");
    nmcli.addProfile("office", "vpn");
    settings().setText(core::item::kDialUpEntry, "mobile");
    scene.front.dialUpPrompt = &prompt;
  }
  ~DialUpScopeTest() override { ::setenv("PATH", savedPath_.c_str(), 1); }

  core::SettingsFile& settings() { return scene.document->settings(); }
  std::vector<std::string> dialsAndHangUps() const {
    std::vector<std::string> found;
    for (const std::string& line : nmcli.log())
      if (line.starts_with("connection up") || line.starts_with("connection down")) found.push_back(line);
    return found;
  }

  test::FakeNmcli nmcli;
  test::FlowScene scene;
  Prompt prompt;

private:
  std::string savedPath_;
};

TEST_F(DialUpScopeTest, ThePromptCancelsOrChangesWhatIsDialled) {
  prompt.answer = false;
  EXPECT_FALSE(DialUpScope::open(*scene.document, scene.front));
  EXPECT_TRUE(dialsAndHangUps().empty());

  prompt.answer = true;
  prompt.replacement = "office";
  {
    const auto scope = DialUpScope::open(*scene.document, scene.front);
    ASSERT_TRUE(scope);
    EXPECT_TRUE(scope->dialled());
    EXPECT_EQ(nmcli.active(), std::vector<std::string>{"office"});
  }
  EXPECT_EQ(dialsAndHangUps(), (std::vector<std::string>{"connection up id office", "connection down id office"}));

  // Item 905 off: no question, the stored entry.
  settings().setNumber(core::item::kDialUpConfirm, 0);
  const int asked = prompt.asked;
  EXPECT_TRUE(DialUpScope::open(*scene.document, scene.front));
  EXPECT_EQ(prompt.asked, asked);
  EXPECT_EQ(dialsAndHangUps().back(), "connection down id mobile");
}

TEST_F(DialUpScopeTest, AnErrorBoxHangsUpWhatWasDialledBeforeItShows) {
  // A POP3 server that is not there: the receive fails with its message.
  settings().setText(core::item::kPopServer, "127.0.0.1");
  settings().setText(core::item::kPopPort, std::to_string(test::freeLoopbackPort()));
  settings().setText(core::item::kPopUser, "u");
  settings().setPlainPassword(core::item::kPopPassword, "pw");
  const ReceiveReport report = ReceiveFlow::run(*scene.document, scene.front);
  EXPECT_FALSE(report.ok);
  ASSERT_FALSE(scene.shown().empty());
  EXPECT_EQ(dialsAndHangUps(), (std::vector<std::string>{"connection up id mobile", "connection down id mobile"}))
      << "hung up once, before the box";
  EXPECT_TRUE(nmcli.active().empty());
}

TEST_F(DialUpScopeTest, ThePeriodicCheckWaitsForTheConnectionWhileItem907IsOn) {
  settings().setText(core::item::kPopServer, "127.0.0.1");
  settings().setText(core::item::kPopUser, "u");
  settings().setPlainPassword(core::item::kPopPassword, "pw");
  settings().setNumber(core::item::kNoCheckWhileOffline, 1);
  EXPECT_FALSE(NewMailCheck::due(*scene.document, false));
  nmcli.setActive("mobile");
  EXPECT_TRUE(NewMailCheck::due(*scene.document, false));
  settings().setNumber(core::item::kNoCheckWhileOffline, 0);
  nmcli.setManagerDown();
  EXPECT_TRUE(NewMailCheck::due(*scene.document, false)) << "the check dials itself";
  EXPECT_TRUE(dialsAndHangUps().empty());
}

}  // namespace
}  // namespace zorvik::mailflow
