// The mail-server tray's operations against the real Dovecot, stopped by
// the user between two mails.
#include "mailflow/ServerTrayFlow.h"

#include <gtest/gtest.h>

#include "core/SettingsItemTable.h"
#include "mailflow/FlowScene.h"
#include "platform/TextEncoding.h"
#include "store/TrayFile.h"
#include "support/DovecotServer.h"

namespace zorvik::mailflow {
namespace {

// Requests a stop when the work reports `line` (UTF-8).
class StopOnLine final : public core::Progress {
public:
  StopOnLine(StopRequest& stop, const std::string& line) : stop_(stop), line_(platform::utf8ToSjis(line)) {}
  void step(const std::string& text) override {
    if (text == line_) stop_.request();
  }

private:
  StopRequest& stop_;
  std::string line_;
};

TEST(ServerTrayFlow, AStopEndsTheSelectionAfterTheMailInHandKeepingWhatWasDone) {
  if (!test::DovecotServer::available()) GTEST_SKIP() << test::DovecotServer::missingReason();
  test::DovecotServer server;
  server.addUser("taro", "pw");
  ASSERT_TRUE(server.start()) << server.log();
  for (const char* subject : {"a", "b", "c"})
    server.deliver("taro", std::string("From: x@example.jp\r\nSubject: ") + subject + "\r\n\r\nbody\r\n");
  test::FlowScene scene;
  scene.usePopAccount(server.port(), "taro", "pw");
  scene.document->settings().setNumber(core::item::kDeleteUnread, 1);
  ASSERT_TRUE(ServerTrayFlow(*scene.document, scene.front).list().has_value());

  // The stop comes while the second mail is in hand: it is finished, the
  // third is not begun.
  StopOnLine stopAtSecondFetch(scene.stop, "受信中：2/3");
  FrontEnd fetching{stopAtSecondFetch, scene.sound, platform::SystemClock::instance(), scene.stop};
  const auto fetched = ServerTrayFlow(*scene.document, fetching).fetchSelected({0, 1, 2});
  ASSERT_TRUE(fetched.has_value());
  EXPECT_TRUE(fetched->ok) << "the connection quit as usual";
  EXPECT_EQ(fetched->done, 2);
  EXPECT_EQ(store::TrayFile(scene.document->store(), scene.tray(core::item::kNewMailTray)).count(false), 2u);
  EXPECT_EQ(server.mailCount("taro"), 3) << "a fetch keeps the mails on the server";
  scene.stop.clear();

  StopOnLine stopAtSecondDelete(scene.stop, "削除中：2/3");
  FrontEnd deleting{stopAtSecondDelete, scene.sound, platform::SystemClock::instance(), scene.stop};
  const auto deleted = ServerTrayFlow(*scene.document, deleting).deleteSelected({0, 1, 2});
  ASSERT_TRUE(deleted.has_value());
  EXPECT_TRUE(deleted->ok);
  EXPECT_EQ(deleted->done, 2);
  EXPECT_EQ(server.mailCount("taro"), 1);
  EXPECT_TRUE(scene.shown().empty());
}

}  // namespace
}  // namespace zorvik::mailflow
