// The environment sheet over a settings file: one control changed on a page
// (or in its sub-dialog) changes that item alone in the file; OK without a
// change leaves the file byte for byte; a value an item cannot take keeps
// the sheet open.
#include "ui/SettingsSheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <fstream>
#include <sstream>

#include "core/SettingsItemTable.h"
#include "mailflow/Document.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "ui/DialogTest.h"
#include "ui/QtReporter.h"
#include "ui/SettingsPageForm.h"

namespace zorvik::ui {
namespace {

namespace item = core::item;

/// The lines of `after` that differ from those of `before` (same count).
std::vector<std::string> changedLines(const std::string& before, const std::string& after) {
  std::istringstream a(before), b(after);
  std::vector<std::string> changed;
  for (std::string left, right; std::getline(a, left) && std::getline(b, right);)
    if (left != right) changed.push_back(right.substr(0, right.find('\r')));
  return changed;
}

class SettingsSheetTest : public test::DialogTest {
protected:
  SettingsSheetTest() {
    core::SettingsFile initial;
    initial.setText(item::kStoreRoot, "store");
    initial.setText(item::kPopServer, "pop.example.jp");
    initial.save(messages, path);
    original = platform::readFile(path).value_or("");
    document = mailflow::Document::load(path, messages);
  }

  std::unique_ptr<SettingsSheet> sheet() {
    auto made = std::make_unique<SettingsSheet>(*document, messages);
    made->setSavePathAsker([](const std::string& current) { return std::optional<std::string>(current); });
    return made;
  }

  QtReporter reporter;
  core::Messages messages{reporter};
  std::string path = scratch.file("taro.xm9");
  std::string original;
  std::unique_ptr<mailflow::Document> document;
};

TEST_F(SettingsSheetTest, OneControlOfEachPageChangesItsItemAloneInTheFile) {
  const struct {
    int page;
    int id;
    std::function<void(QWidget*)> change;
    const char* line;  // the one line of the file that changes (UTF-8)
  } cases[] = {
      {0, item::kEmptyTrashAtExit, [](QWidget* w) { static_cast<QCheckBox*>(w)->setChecked(true); }, "1"},
      {1, item::kTopCabinet, [](QWidget* w) { static_cast<QLineEdit*>(w)->setText(QStringLiteral("全トレイ")); },
       "全トレイ"},
      {1, item::kDoubleClickAction, [](QWidget* w) { static_cast<QComboBox*>(w)->setCurrentIndex(2); }, "2"},
      {2, item::kSenderName, [](QWidget* w) { static_cast<QLineEdit*>(w)->setText(QStringLiteral("山田 太郎〜")); },
       "山田 太郎～"},
      {3, item::kEditorColumns, [](QWidget* w) { static_cast<QLineEdit*>(w)->setText(QStringLiteral(" 72 ")); }, "72"},
      {4, item::kPopServer, [](QWidget* w) { static_cast<QLineEdit*>(w)->setText(QStringLiteral("pop.example.com")); },
       "pop.example.com"},
      {5, item::kSmtpAuthMethod, [](QWidget* w) { static_cast<QComboBox*>(w)->setCurrentIndex(3); }, "3"},
      {5, item::kSmtpUser, [](QWidget* w) { static_cast<QLineEdit*>(w)->setText(QStringLiteral("taro@example.jp")); },
       "taro@example.jp"},
      {6, item::kCheckInterval, [](QWidget* w) { static_cast<QCheckBox*>(w)->setChecked(false); }, "0"},
      {7, item::kNoCheckWhileOffline, [](QWidget* w) { static_cast<QCheckBox*>(w)->setChecked(true); }, "0"},
      {8, item::kPublicKeyRing, [](QWidget* w) { static_cast<QLineEdit*>(w)->setText(QStringLiteral("/home/taro/pubring.gpg")); },
       "/home/taro/pubring.gpg"},
  };
  for (const auto& each : cases) {
    SCOPED_TRACE(each.id);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << original;
    document = mailflow::Document::load(path, messages);
    auto opened = sheet();
    QWidget* control = opened->page(each.page)->control(each.id);
    ASSERT_NE(control, nullptr);
    each.change(control);
    opened->accept();
    EXPECT_EQ(opened->result(), QDialog::Accepted);
    EXPECT_EQ(changedLines(original, platform::readFile(path).value_or("")), std::vector<std::string>{platform::utf8ToSjis(each.line)});
  }
  EXPECT_TRUE(boxLines().empty());
}

TEST_F(SettingsSheetTest, OkWithoutChangeWritesNothingAndABadValueKeepsTheSheetOpen) {
  auto unchanged = sheet();
  unchanged->accept();
  EXPECT_EQ(unchanged->result(), QDialog::Accepted);
  EXPECT_EQ(platform::readFile(path).value_or(""), original);
  EXPECT_FALSE(platform::pathExists(core::backupNameOf(path)));

  auto refused = sheet();
  auto* port = static_cast<QLineEdit*>(refused->page(3)->control(item::kEditorColumns));
  port->setText(QStringLiteral("abc"));
  refused->show();
  refused->accept();
  EXPECT_TRUE(refused->isVisible()) << "stays open for the value to be mended";
  ASSERT_EQ(boxLines().size(), 1u);
  EXPECT_TRUE(boxLines()[0].starts_with("box\t44208\t"));
  EXPECT_EQ(platform::readFile(path).value_or(""), original);
}

TEST_F(SettingsSheetTest, ASubDialogChangesTheSheetOnlyWhenBothAreConfirmed) {
  for (const bool confirmSheet : {false, true}) {
    auto opened = sheet();
    onModal([](QWidget& modal) {
      EXPECT_EQ(modal.windowTitle(), QStringLiteral("ｻｰﾊﾞｰの詳細設定"));
      auto* form = modal.findChild<SettingsPageForm*>();
      static_cast<QLineEdit*>(form->control(item::kSmtpPort))->setText(QStringLiteral("587"));
      static_cast<QDialog&>(modal).accept();
    });
    static_cast<QPushButton*>(opened->page(4)->detailButton(platform::sjisLiteral("ｻｰﾊﾞｰの詳細設定")))->click();
    if (!confirmSheet) {
      opened->reject();
      EXPECT_EQ(platform::readFile(path).value_or(""), original);
      continue;
    }
    opened->accept();
    EXPECT_EQ(changedLines(original, platform::readFile(path).value_or("")), std::vector<std::string>{"587"});
    EXPECT_EQ(document->settings().number(item::kSmtpPort), 587);
  }
}

}  // namespace
}  // namespace zorvik::ui
