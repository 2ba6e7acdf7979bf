// A new account set up from the windows alone, as a user would: the account
// dialog of the first start, then the "環境設定" sheet (the server page, its
// detail dialog for the ports, the security page for TLS and SMTP
// authentication), then a mail written in the compose window, sent with the
// main window's send command to aiosmtpd over STARTTLS with AUTH, put into
// Dovecot's mailbox, and received back over POP3S with the receive command.
// Both servers run on 127.0.0.1 with certificates of a test CA.
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

#include "UiFixture.h"
#include "core/SettingsItemTable.h"
#include "mailflow/StartUp.h"
#include "platform/TextEncoding.h"
#include "support/CliRunner.h"
#include "support/DovecotServer.h"
#include "support/SmtpSinkServer.h"
#include "support/TestCertificates.h"
#include "ui/AccountSetupDialog.h"
#include "ui/ComposeCommands.h"
#include "ui/ComposeEditor.h"
#include "ui/ComposeWindow.h"
#include "ui/DialogTest.h"
#include "ui/MailListPane.h"
#include "ui/SendReceiveDialog.h"
#include "ui/ServerTrayDialog.h"
#include "ui/SettingsPageForm.h"
#include "ui/SettingsSheet.h"
#include "view/CommandId.h"

namespace zorvik::ui {
namespace {

namespace item = core::item;
namespace cmd = view::cmd;
using Kind = test::TestCertificates::Kind;

struct Modal : test::DialogTest {
  using DialogTest::onModal;
};

// The environment sheet's pages, in the order the sheet shows them.
constexpr int kServerPage = 4;
constexpr int kSecurityPage = 5;

class AccountEndToEndTest : public UiFixture {
protected:
  // Clicks the button of the next modal dialog of type `Dialog` that
  // `button` gives, once it is enabled; for the send and receive dialogs.
  template <typename Dialog>
  static void clickWhenReady(QTimer& timer, bool& clicked, QPushButton* (Dialog::*button)() const) {
    QObject::connect(&timer, &QTimer::timeout, [&clicked, button] {
      auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
      if (!dialog || clicked || !(dialog->*button)()->isEnabled()) return;
      clicked = true;
      (dialog->*button)()->click();
    });
    timer.start(50);
  }
  static void setLine(SettingsPageForm* form, int id, const QString& text) {
    auto* field = qobject_cast<QLineEdit*>(form->control(id));
    ASSERT_NE(field, nullptr) << id;
    field->setText(text);
  }
  static void choose(SettingsPageForm* form, int id, int index) {
    auto* box = qobject_cast<QComboBox*>(form->control(id));
    ASSERT_NE(box, nullptr) << id;
    box->setCurrentIndex(index);
  }
};

TEST_F(AccountEndToEndTest, ANewAccountSetUpInTheWindowsSendsOverTlsWithAuthAndReceivesItsMailBack) {
  if (!test::DovecotServer::available()) GTEST_SKIP() << test::DovecotServer::missingReason();
  if (const auto why = test::SmtpSinkServer::unavailableReason(); !why.empty()) GTEST_SKIP() << why;
  if (const auto why = test::TestCertificates::unavailableReason(); !why.empty()) GTEST_SKIP() << why;
  const test::TestCertificates& certificates = test::TestCertificates::shared();
  ::setenv("SSL_CERT_FILE", certificates.caFile().c_str(), 1);  // the test CA stands in for the system's
  test::DovecotServer pop;
  pop.useTls(certificates.certificateFile(Kind::Valid), certificates.keyFile(Kind::Valid));
  ASSERT_TRUE(pop.start()) << pop.log();
  pop.addUser("taro", "pw");
  test::SmtpSinkServer smtp(scratch.file("maildir"), {test::SmtpSinkMode::StartTls,
                                                     certificates.certificateFile(Kind::Valid),
                                                     certificates.keyFile(Kind::Valid), "taro", "pw"});

  // The first start: the account dialog, encryption as proposed.
  Modal::onModal([](QWidget& modal) {
    auto& dialog = dynamic_cast<AccountSetupDialog&>(modal);
    dialog.nameField()->setText(QStringLiteral("山田 太郎"));
    dialog.addressField()->setText(QStringLiteral("taro@example.jp"));
    dialog.passwordField()->setText(QStringLiteral("pw"));
    EXPECT_TRUE(dialog.secureBox()->isChecked());
    dialog.setUpButton()->click();
  });
  const std::string home = scratch.file("home");
  const store::StartUpPlaces places{home + "/", home, "/usr/bin/zorvik", ""};
  document = mailflow::StartUp::open("", *messages, places, AccountSetupDialog::asker());
  ASSERT_NE(document, nullptr);
  settingsPath = document->settings().fileName();
  MainWindow& main = openWindow();

  // The environment sheet: servers, ports, TLS, SMTP authentication.
  Modal::onModal([&](QWidget& modal) {
    auto& sheet = dynamic_cast<SettingsSheet&>(modal);
    SettingsPageForm* servers = sheet.page(kServerPage);
    setLine(servers, item::kSmtpServer, QStringLiteral("127.0.0.1"));
    setLine(servers, item::kPopServer, QStringLiteral("127.0.0.1"));
    setLine(servers, item::kPopUser, QStringLiteral("taro"));
    Modal::onModal([&](QWidget& details) {
      auto* form = details.findChild<SettingsPageForm*>();
      setLine(form, item::kSmtpPort, QString::number(smtp.port()));
      setLine(form, item::kPopPort, QString::number(pop.tlsPort()));
      static_cast<QDialog&>(details).accept();
    });
    static_cast<QPushButton*>(servers->detailButton(platform::sjisLiteral("ｻｰﾊﾞｰの詳細設定")))->click();
    SettingsPageForm* security = sheet.page(kSecurityPage);
    choose(security, item::kPopSecurity, 2);     // SSL/TLS
    choose(security, item::kSmtpSecurity, 1);    // STARTTLS
    choose(security, item::kSmtpAuthMethod, 2);  // PLAIN
    setLine(security, item::kSmtpUser, QStringLiteral("taro"));
    setLine(security, item::kSmtpPassword, QStringLiteral("pw"));
    // "個別設定ファイルの保存" keeps the file the account was written to.
    sheet.setSavePathAsker([](const std::string& current) { return std::optional<std::string>(current); });
    sheet.accept();
  });
  ASSERT_TRUE(main.runCommand(cmd::kSettingsSheet));
  ASSERT_EQ(document->settings().number(item::kSmtpSecurity), 1);
  ASSERT_EQ(cli({"get", "601"}), 0) << "the file reads back";

  // A mail to oneself, written in the compose window and sent.
  main.list().currentView()->setFocus();
  ASSERT_TRUE(main.runCommand(cmd::kNewMail));
  ASSERT_EQ(main.compose().windows().size(), 1u);
  ComposeWindow& compose = *main.compose().windows().back();
  typeText(&compose.toField(), QStringLiteral("taro@example.jp"));
  typeText(&compose.subjectField(), QStringLiteral("暗号化の試験"));
  compose.editor().moveCursor(QTextCursor::End);
  typeText(&compose.editor(), QStringLiteral("届きましたか。"));
  ASSERT_TRUE(compose.send());
  QTimer sendStarter;
  bool sendStarted = false;
  clickWhenReady<ServerTrayDialog>(sendStarter, sendStarted, &ServerTrayDialog::okButton);
  ASSERT_TRUE(main.runCommand(cmd::kSend));
  const auto sent = smtp.messages();
  ASSERT_EQ(sent.size(), 1u) << smtp.commandLog();
  EXPECT_NE(smtp.commandLog().find("STARTTLS"), std::string::npos) << smtp.commandLog();
  EXPECT_EQ(smtp.authAttempts(), "PLAIN taro pw\n");

  // What the SMTP server took goes into the POP3 mailbox, and comes back.
  pop.deliver("taro", test::SmtpSinkServer::crlfLines(test::SmtpSinkServer::withoutServerHeaders(sent.front())));
  QSignalSpy finished(&main, &MainWindow::workflowFinished);
  QTimer receiveStarter;
  bool receiveStarted = false;
  clickWhenReady<SendReceiveDialog>(receiveStarter, receiveStarted, &SendReceiveDialog::startButton);
  ASSERT_TRUE(main.runCommand(cmd::kReceive));
  ASSERT_TRUE(finished.count() > 0 || finished.wait(60000));
  // The one box: the question before a first mail to a new address, answered yes.
  EXPECT_EQ(reporter.numbers(), std::vector{core::MessageNumber::FirstTimeRecipient});
  const std::string listed = test::runCli({"--settings", platform::sjisToUtf8(settingsPath), "list", "新着受信"},
                                          scratch.path(), {"HOME=" + home})
                                 .out;
  EXPECT_NE(listed.find("暗号化の試験"), std::string::npos) << listed;
}

}  // namespace
}  // namespace zorvik::ui
