// The settings reached from the main window: the tool bar editor's result
// rebuilds the bar and survives a restart, a cabinet's property sheet
// changes every tray below it after the question.
#include <QLineEdit>
#include <QListWidget>
#include <algorithm>
#include <QToolBar>

#include "UiFixture.h"
#include "store/TrayFile.h"
#include "store/TrayPropertyTable.h"
#include "ui/DialogTest.h"
#include "ui/MainWindow.h"
#include "ui/SettingsPageForm.h"
#include "ui/ToolBarDialog.h"
#include "ui/TrayPropertyDialog.h"
#include "view/CommandId.h"

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

}  // namespace
}  // namespace zorvik::ui
