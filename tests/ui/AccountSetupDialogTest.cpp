// The first start through the account dialog: what the user types decides
// whether Zorvik starts, and a refused address leaves nothing behind.
#include "ui/AccountSetupDialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>

#include "core/SettingsItemTable.h"
#include "mailflow/StartUp.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "ui/DialogTest.h"
#include "ui/QtReporter.h"

namespace zorvik::ui {
namespace {

class AccountSetupDialogTest : public test::DialogTest {
protected:
  // Starts without a settings file; the dialog is filled in and "設定" or
  // "キャンセル" clicked; the proposed encryption is kept or declined.
  std::unique_ptr<mailflow::Document> start(const QString& address, bool cancel = false, bool secure = true) {
    onModal([=](QWidget& modal) {
      auto& dialog = dynamic_cast<AccountSetupDialog&>(modal);
      EXPECT_FALSE(dialog.setUpButton()->isEnabled()) << "nothing typed yet";
      dialog.nameField()->setText(QStringLiteral("山田 太郎"));
      dialog.addressField()->setText(address);
      EXPECT_FALSE(dialog.setUpButton()->isEnabled()) << "no password yet";
      dialog.passwordField()->setText(QStringLiteral("pw"));
      EXPECT_TRUE(dialog.secureBox()->isChecked()) << "encryption is proposed";
      dialog.secureBox()->setChecked(secure);
      if (cancel) dialog.reject();
      else dialog.setUpButton()->click();
    });
    const store::StartUpPlaces places{home.path() + "/", home.path(), "/usr/bin/zorvik", ""};
    return mailflow::StartUp::open("", messages, places, AccountSetupDialog::asker());
  }
  bool homeEmpty() const { return std::filesystem::is_empty(home.path()); }

  QtReporter reporter;
  core::Messages messages{reporter};
  test::ScratchDir home;
};

TEST_F(AccountSetupDialogTest, AnAddressWithoutAtOrDomainOrACancelEndsTheStartAndWritesNothing) {
  const struct {
    QString address;
    bool cancel;
    const char* box;
  } cases[] = {
      {QStringLiteral("taro.example.jp"), false, "box\t43022\t"},
      {QStringLiteral("taro@example.org"), false, "box\t43023\t"},
      {QStringLiteral("taro@example.jp"), true, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.address.toStdString());
    const std::size_t before = boxLines().size();
    EXPECT_EQ(start(c.address, c.cancel), nullptr);
    const auto boxes = boxLines();
    ASSERT_EQ(boxes.size(), before + (c.box ? 1 : 0));
    if (c.box) EXPECT_TRUE(boxes.back().starts_with(c.box)) << boxes.back();
    EXPECT_TRUE(homeEmpty());
  }
}

TEST_F(AccountSetupDialogTest, AGoodAccountWritesItsSettingsAndBuildsTheStore) {
  // Declined first, then as proposed: the check box reaches the first-run
  // flow, which chooses the items.
  std::unique_ptr<mailflow::Document> document;
  for (const bool secure : {false, true}) {
    SCOPED_TRACE(secure ? "encrypted" : "plain");
    document.reset();
    std::filesystem::remove(home.file("taro.xm9"));
    document = start(QStringLiteral("taro@example.jp"), false, secure);
    ASSERT_NE(document, nullptr);
    const core::SettingsFile& settings = document->settings();
    EXPECT_EQ(settings.number(core::item::kPopSecurity), secure ? 2 : 0);
    EXPECT_EQ(settings.number(core::item::kSmtpPort), secure ? 465 : 25);
  }
  EXPECT_TRUE(std::filesystem::exists(home.file("taro.xm9")));
  const core::SettingsFile& settings = document->settings();
  EXPECT_EQ(settings.text(core::item::kSenderName), platform::utf8ToSjis("山田 太郎"));
  EXPECT_EQ(settings.text(core::item::kSenderAddress), "taro@example.jp");
  EXPECT_EQ(settings.plainPassword(core::item::kPopPassword), "pw");
  EXPECT_TRUE(platform::isDirectory(settings.topCabinetPath()));
  EXPECT_TRUE(boxLines().empty());
}

}  // namespace
}  // namespace zorvik::ui
