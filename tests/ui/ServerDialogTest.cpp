// The send/receive progress dialog and the server-tray dialogs driving the
// real Dovecot: a receive from the "開始" button to the mails in the
// new-mail tray, a cancelled one that keeps every mail on the server, and
// the server's counters.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "core/SettingsItemTable.h"
#include "mailflow/FlowScene.h"
#include "store/TrayFile.h"
#include "support/DovecotServer.h"
#include "ui/DialogTest.h"
#include "ui/ProgressPanel.h"
#include "ui/SendReceiveDialog.h"
#include "ui/ServerTrayDialog.h"

namespace zorvik::ui {
namespace {

class ServerDialogTest : public test::DialogTest {
protected:
  void SetUp() override {
    if (!test::DovecotServer::available()) GTEST_SKIP() << test::DovecotServer::missingReason();
    server.addUser("taro", "pw");
    ASSERT_TRUE(server.start()) << server.log();
    scene.usePopAccount(server.port(), "taro", "pw");
    for (int i = 0; i < kMails; ++i)
      server.deliver("taro", "From: hanako@example.jp\r\nSubject: mail " + std::to_string(i) + "\r\n\r\nbody\r\n");
  }

  std::uint32_t newMails() const {
    return store::TrayFile(scene.document->store(), scene.tray(core::item::kNewMailTray)).count(false).value_or(0);
  }
  // Shows the dialog, clicks `button` and waits until the dialog has ended.
  bool runToEnd(QDialog& dialog, QPushButton* button) {
    dialog.show();
    QTest::mouseClick(button, Qt::LeftButton);
    return waitFor([&] { return !dialog.isVisible(); });
  }

  static constexpr int kMails = 4;
  test::DovecotServer server;
  test::FlowScene scene;
};

TEST_F(ServerDialogTest, StartReceivesEveryMailAndACancelBeforeTheFirstMailKeepsThemAllOnTheServer) {
  SendReceiveDialog cancelled(*scene.document, SendReceiveDialog::Mode::SendAndReceive);
  // The disk looks full as the run begins; while the question waits, the
  // user clicks the cancel button, frees some space and answers 続行.
  scene.freeBytes = 10;
  scene.reporter.setAnswer(true);
  scene.reporter.setHook([&](const test::RecordingReporter::Box&) {
    EXPECT_TRUE(cancelled.running());
    QTest::mouseClick(cancelled.stopButton(), Qt::LeftButton);
    EXPECT_TRUE(cancelled.isVisible()) << "a running dialog does not close";
    EXPECT_EQ(cancelled.stopButton()->text(), QStringLiteral("すぐに中止"));
    scene.freeBytes = 1u << 30;
  });
  ASSERT_TRUE(runToEnd(cancelled, cancelled.startButton()));
  scene.reporter.setHook({});
  EXPECT_EQ(scene.shown(), std::vector<core::MessageNumber>{core::MessageNumber::LowDiskSpace});
  EXPECT_TRUE(cancelled.stopped());
  EXPECT_EQ(cancelled.result(), 0);
  EXPECT_EQ(server.mailCount("taro"), kMails);
  EXPECT_EQ(newMails(), 0u);

  SendReceiveDialog dialog(*scene.document, SendReceiveDialog::Mode::SendAndReceive);
  dialog.show();
  QTest::mouseClick(dialog.startButton(), Qt::LeftButton);
  EXPECT_FALSE(dialog.popServerField()->isEnabled()) << "the account cannot change under a run";
  ASSERT_TRUE(waitFor([&] { return !dialog.isVisible(); }));
  ASSERT_TRUE(dialog.sendReport().has_value());
  EXPECT_EQ(dialog.result(), mailflow::kMailReceived);
  EXPECT_FALSE(dialog.stopped());
  EXPECT_EQ(server.mailCount("taro"), 0);
  EXPECT_EQ(newMails(), static_cast<std::uint32_t>(kMails));
  EXPECT_EQ(scene.shown().size(), 1u) << "no box but the first run's question";
  EXPECT_EQ(logLines().front(), "window\tshown\tSendReceiveDialog\tサーバ送受信");
}

TEST_F(ServerDialogTest, HeaderReceiveFillsTheServerTrayAndTheCountersDialogShowsWhatWaits) {
  ServerTrayDialog headers(*scene.document, ServerTrayWork::HeaderReceive);
  ASSERT_TRUE(runToEnd(headers, headers.okButton()));
  EXPECT_EQ(headers.result(), QDialog::Accepted);
  EXPECT_EQ(store::TrayFile(scene.document->store(), scene.tray(core::item::kMailServerTray)).count(false),
            static_cast<std::uint32_t>(kMails));

  ServerTrayDialog counters(*scene.document, ServerTrayWork::Counters);
  counters.show();
  QTest::mouseClick(counters.okButton(), Qt::LeftButton);
  ASSERT_TRUE(waitFor([&] { return !counters.running(); }));
  EXPECT_TRUE(counters.isVisible()) << "it stays to show the counters";
  EXPECT_EQ(counters.progress()->status(), QStringLiteral("件数:   4    既読:   0    未読:   4"));
  QTest::mouseClick(counters.okButton(), Qt::LeftButton);
  EXPECT_FALSE(counters.isVisible());
  EXPECT_EQ(server.mailCount("taro"), kMails) << "listing takes nothing off the server";
  EXPECT_TRUE(scene.shown().empty());
}

}  // namespace
}  // namespace zorvik::ui
