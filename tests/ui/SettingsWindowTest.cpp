// The settings reached from the main window: the tool bar editor's result
// rebuilds the bar and survives a restart, a cabinet's property sheet
// changes every tray below it after the question, the rule test tries the
// page's unsaved rule on the selected mail, "再生成" brings a lost or
// damaged index back, and a start-up password of the older stored form is
// stored anew once it is typed right.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <algorithm>
#include <fstream>
#include <QToolBar>

#include "UiFixture.h"
#include "core/SettingsItemTable.h"
#include "mailflow/TrayMaintenance.h"
#include "platform/FileSystem.h"
#include "store/RecordFlags.h"
#include "store/TrayFile.h"
#include "store/TrayName.h"
#include "store/TrayPropertyTable.h"
#include "ui/DialogTest.h"
#include "ui/MailListModel.h"
#include "ui/MainWindow.h"
#include "ui/RuleTestDialog.h"
#include "ui/SettingsCommands.h"
#include "ui/SettingsPageForm.h"
#include "ui/StartPasswordDialog.h"
#include "ui/ToolBarDialog.h"
#include "ui/TrayPropertyDialog.h"
#include "view/CommandId.h"
#include "view/LayoutValues.h"
#include "view/StartPassword.h"

namespace zorvik::ui {
namespace {

struct Modal : test::DialogTest {
  using DialogTest::onModal;
};

class SettingsWindowTest : public UiFixture {
protected:
  void SetUp() override { makeStore(); }

  std::vector<int> barCommands(int bar) const {
    std::vector<int> commands;
    for (QToolBar* toolBar : window->findChildren<QToolBar*>()) {
      if (toolBar->objectName() != QString("ToolBar%1").arg(bar)) continue;
      for (QAction* action : toolBar->actions()) commands.push_back(action->isSeparator() ? 0 : action->data().toInt());
    }
    return commands;
  }

  // Opens the property sheet of the node selected and runs `act` on it,
  // then cancels it.
  void onTraySheet(const std::function<void(TrayPropertyDialog&)>& act) {
    Modal::onModal([&act](QWidget& modal) {
      auto& dialog = dynamic_cast<TrayPropertyDialog&>(modal);
      act(dialog);
      dialog.reject();
    });
    ASSERT_TRUE(window->runCommand(view::cmd::kProperties));
  }
  static QPushButton* button(QWidget& dialog, const QString& text) {
    for (QPushButton* each : dialog.findChildren<QPushButton*>())
      if (each->text() == text) return each;
    return nullptr;
  }

  // What a tray holds, mail by mail: its header and the record bits the
  // user set (read, replied, mark, references).
  std::vector<std::string> mailsOf(const std::string& tray, bool withFlags) const {
    namespace flag = store::recordflag;
    const store::TrayFile file(document->store(), sjis(tray));
    std::vector<std::string> mails;
    store::TrayRecord row;
    for (std::uint32_t i = 0;; ++i) {
      const store::ReadResult read = file.read(i, row);
      if (read == store::ReadResult::End) break;
      if (read != store::ReadResult::Live) continue;
      std::string mail = file.headerLines(i).value_or("?");
      const std::uint32_t bits = flag::kOpened | flag::kReplied | flag::kMarkMask | flag::kReferenceMask;
      if (withFlags) mail += " flags " + std::to_string(row.record.flags() & bits);
      mails.push_back(mail);
    }
    return mails;
  }
};

TEST_F(SettingsWindowTest, AnEditedToolBarIsRebuiltAndComesBackAfterARestart) {
  openWindow();
  const std::vector<int> before = barCommands(view::cmd::kFileBar);
  ASSERT_FALSE(before.empty());
  Modal::onModal([](QWidget& modal) {
    auto& dialog = dynamic_cast<ToolBarDialog&>(modal);
    dialog.barList()->setCurrentRow(0);  // the file bar
    delete dialog.sequenceStrip()->item(0);
    dialog.accept();
  });
  ASSERT_TRUE(window->runCommand(view::cmd::kEditToolBars));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the bar it replaced
  const std::vector<int> edited(before.begin() + 1, before.end());
  EXPECT_EQ(barCommands(view::cmd::kFileBar), edited);

  closeWindow();
  layout = std::make_unique<view::LayoutStore>(layout->path());
  openWindow();
  EXPECT_EQ(barCommands(view::cmd::kFileBar), edited);
}

TEST_F(SettingsWindowTest, ACabinetsPropertiesReachItsTraysAfterTheQuestion) {
  openWindow();
  ASSERT_TRUE(window->selectNode(sjis("仕事")));
  Modal::onModal([](QWidget& modal) {
    auto& dialog = dynamic_cast<TrayPropertyDialog&>(modal);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("引出 ﾌﾟﾛﾊﾟﾃｨ"));
    static_cast<QLineEdit*>(dialog.page(0)->control(store::trayitem::kDescription))->setText(QStringLiteral("仕事用"));
    dialog.accept();
  });
  ASSERT_TRUE(window->runCommand(view::cmd::kProperties));
  const auto numbers = reporter.numbers();
  EXPECT_EQ(std::count(numbers.begin(), numbers.end(), core::MessageNumber::ChangeCabinetTrayProperties), 1);
  for (const char* tray : {"仕事/会議", "仕事/週報"}) {
    const auto properties = store::TrayFile(document->store(), sjis(tray)).properties();
    ASSERT_TRUE(properties.has_value()) << tray;
    EXPECT_EQ(properties->description, sjis("仕事用")) << tray;
  }
}

TEST_F(SettingsWindowTest, TheRuleTestTriesThePagesUnsavedRuleOnTheSelectedMail) {
  openWindow();
  const std::string tray = sjis("仕事/会議");
  ASSERT_TRUE(window->selectNode(tray));
  ASSERT_TRUE(window->selectMail(0));
  const auto stored = store::TrayFile(document->store(), tray).properties();
  const struct {
    const char* keyword;
    const char* expression;
    const char* verdict;
    const char* reason;
    const char* outcome;
  } cases[] = {
      {"会議", "", "TRUE", "キーワード一致", "正常終了"},
      {"予算", "[Subject:] > \"定例\"", "TRUE", "振分論理式", "正常終了"},
      {"予算", "[Subject:] >", "FALSE", "振分不一致", "エラー番号 ＝ 141"},
  };
  for (const auto& each : cases) {
    SCOPED_TRACE(each.expression);
    onTraySheet([&](TrayPropertyDialog& dialog) {
      SettingsPageForm* page = dialog.page(2);
      static_cast<QLineEdit*>(page->control(store::trayitem::kSortKeyword))->setText(QString::fromUtf8(each.keyword));
      static_cast<QPlainTextEdit*>(page->control(store::trayitem::kSortExpression))
          ->setPlainText(QString::fromUtf8(each.expression));
      Modal::onModal([&](QWidget& shown) {
        auto& result = dynamic_cast<RuleTestDialog&>(shown);
        EXPECT_EQ(result.windowTitle(), QStringLiteral("振分論理式の試験"));
        EXPECT_EQ(result.verdictLabel()->text(), QString::fromUtf8(each.verdict));
        EXPECT_EQ(result.reasonLabel()->text(), QString::fromUtf8(each.reason));
        EXPECT_EQ(result.outcomeLabel()->text(), QString::fromUtf8(each.outcome));
        EXPECT_TRUE(result.headerText()->toPlainText().contains(QStringLiteral("来週の定例会議について")));
        EXPECT_TRUE(result.bodyText()->toPlainText().contains(QStringLiteral("第2会議室")));
        result.reject();
      });
      QPushButton* test = button(dialog, QStringLiteral("受信振分試験(&R)"));
      ASSERT_NE(test, nullptr);
      test->click();
    });
  }
  const auto after = store::TrayFile(document->store(), tray).properties();
  ASSERT_TRUE(stored && after);
  EXPECT_EQ(after->sortKeyword, stored->sortKeyword) << "the test saves nothing";
  EXPECT_EQ(after->sortExpression, stored->sortExpression);
  EXPECT_TRUE(reporter.numbers().empty());

  // A cabinet selected: the list shows no mail to test.
  ASSERT_TRUE(window->selectNode(sjis("仕事")));
  onTraySheet([&](TrayPropertyDialog& dialog) { button(dialog, QStringLiteral("受信振分試験(&R)"))->click(); });
  EXPECT_EQ(reporter.numbers(), std::vector{core::MessageNumber::NoMailToTest});
}

TEST_F(SettingsWindowTest, RebuildingATraysIndexBringsBackItsMailsWhateverBecameOfTheIndex) {
  openWindow();
  // 新着受信 holds deleted records and a mail linked into 友人: its marks,
  // read bits and references survive and the link still finds its mail. A
  // tray whose index is gone is not in the tree: its rebuild is the
  // workflow's alone.
  const struct {
    const char* tray;
    std::function<void(const std::string& index)> harm;
    bool flagsKept;
    bool throughSheet;
  } cases[] = {
      {"新着受信", [](const std::string&) {}, true, true},
      {"仕事/週報", [](const std::string& index) { std::ofstream(index, std::ios::binary | std::ios::in) << "damaged!"; },
       false, true},
      {"仕事/会議", [](const std::string& index) { platform::removeFile(index); }, false, false},
  };
  const std::vector<std::string> linked = mailsOf("友人", false);
  ASSERT_EQ(linked.size(), 1u);
  for (const auto& each : cases) {
    SCOPED_TRACE(each.tray);
    const std::string tray = sjis(each.tray);
    const std::vector<std::string> before = mailsOf(each.tray, each.flagsKept);
    ASSERT_FALSE(before.empty());
    const auto properties = store::TrayFile(document->store(), tray).properties();
    each.harm(store::TrayName::path(document->store(), tray, store::filetype::kIndex));
    if (each.throughSheet) {
      ASSERT_TRUE(window->selectNode(tray));
      onTraySheet([&](TrayPropertyDialog& dialog) { button(dialog, QStringLiteral("再生成(&R)"))->click(); });
      EXPECT_EQ(window->listModel().rowCount(), static_cast<int>(before.size())) << "the list shows the new index";
    } else {
      EXPECT_TRUE(mailflow::TrayMaintenance::rebuild(*document, tray).ok);
    }
    EXPECT_EQ(mailsOf(each.tray, each.flagsKept), before);
    const auto rebuilt = store::TrayFile(document->store(), tray).properties();
    ASSERT_TRUE(rebuilt.has_value());
    if (each.flagsKept) EXPECT_EQ(rebuilt->sortKeyword, properties->sortKeyword);
  }
  EXPECT_EQ(mailsOf("友人", false), linked);
  EXPECT_TRUE(reporter.numbers().empty());
}

TEST_F(SettingsWindowTest, APasswordOfTheOlderFormIsStoredAnewOnceTypedRight) {
  document->settings().setNumber(core::item::kStartPassword, 3);
  const std::string section = view::LayoutValues::windowSection("taro");
  const std::string legacy = "73616c74:db095234093ea21dabe93965f26523b7";  // "hiraken", MD5 rounds
  layout->setText(section, SettingsCommands::kPasswordValue, legacy);
  openWindow();
  const auto type = [](const char* password, bool ok) {
    Modal::onModal([=](QWidget& modal) {
      auto& dialog = dynamic_cast<StartPasswordDialog&>(modal);
      dialog.passwordField()->setText(QString::fromUtf8(password));
      if (ok) dialog.accept();
      if (dialog.isVisible()) dialog.reject();
    });
  };
  type("wrong", true);
  EXPECT_FALSE(window->askStartPassword());
  EXPECT_EQ(layout->text(section, SettingsCommands::kPasswordValue), legacy) << "left as it was";
  type("hiraken", true);
  EXPECT_TRUE(window->askStartPassword());
  const std::string renewed = view::LayoutStore(layout->path()).text(section, SettingsCommands::kPasswordValue);
  EXPECT_TRUE(view::StartPassword::isCurrent(renewed)) << renewed;
  EXPECT_TRUE(view::StartPassword::matches(renewed, "hiraken"));
  type("hiraken", true);
  EXPECT_TRUE(window->askStartPassword()) << "the new form lets the user in";
}

}  // namespace
}  // namespace zorvik::ui
