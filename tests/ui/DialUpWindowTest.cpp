// The dialling window over a fake nmcli: a dialling the service refuses
// ends in the error window "ダイアルアップ接続エラー" with the service's
// words and what was dialled, instead of a message box.
#include <QLabel>
#include <QLineEdit>

#include "core/Messages.h"
#include "net/NmcliDialUp.h"
#include "platform/TextEncoding.h"
#include "support/FakeNmcli.h"
#include "support/RecordingReporter.h"
#include "ui/DialUpDialog.h"
#include "ui/DialogTest.h"

namespace zorvik::ui {
namespace {

class DialUpWindowTest : public test::DialogTest {
protected:
  DialUpWindowTest() {
    nmcli.addProfile("mobile");
    ::setenv("XDG_RUNTIME_DIR", scratch.path().c_str(), 1);
  }

  test::FakeNmcli nmcli;
  test::RecordingReporter reporter;
  core::Messages messages{reporter};
};

TEST_F(DialUpWindowTest, ARefusedDiallingShowsTheErrorWindowWithWhatWasDialled) {
  nmcli.setUpFails("Error: Connection activation failed: no modem");
  const net::DialEntry entry{"mobile", "taro", "secret", platform::utf8ToSjis("本社")};
  DiallingWindow dialling;
  dialling.start(entry);
  QStringList fields;
  QString reason;
  QString title;
  onModal([&](QWidget& modal) {
    title = modal.windowTitle();
    reason = dynamic_cast<DialUpErrorWindow&>(modal).reasonLabel()->text();
    for (const QLineEdit* field : modal.findChildren<QLineEdit*>())
      fields << (field->echoMode() == QLineEdit::Password ? QStringLiteral("(hidden)") : field->text());
    static_cast<QDialog&>(modal).accept();
  });
  net::NmcliDialUp dialUp(messages, nmcli.program(), std::chrono::milliseconds(1));
  EXPECT_EQ(dialUp.connect(entry, dialling), net::DialResult::Failed);
  EXPECT_EQ(title, QStringLiteral("ダイアルアップ接続エラー"));
  EXPECT_EQ(reason, QStringLiteral("Error: Connection activation failed: no modem"));
  EXPECT_EQ(fields, (QStringList{"mobile", QStringLiteral("本社"), "taro", "(hidden)"}));
  EXPECT_FALSE(dialling.isVisible()) << "the dialling window closes";
  EXPECT_TRUE(reporter.boxes().empty()) << "no message box besides the window";
}

}  // namespace
}  // namespace zorvik::ui
