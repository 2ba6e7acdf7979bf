// The backup dialog and the sorting-log window, clicked through on a real
// store.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "mailflow/FlowScene.h"
#include "platform/TextEncoding.h"
#include "sorting/SortingLog.h"
#include "store/TreeOperations.h"
#include "support/TrayBuilder.h"
#include "ui/DialogTest.h"
#include "ui/ProgressPanel.h"
#include "ui/SortingLogWindow.h"
#include "ui/TrayTransferDialog.h"

namespace zorvik::ui {
namespace {

class StoreDialogTest : public test::DialogTest {
protected:
  test::FlowScene scene;
};

TEST_F(StoreDialogTest, BackupRunsFromItsButtonOnlyForAFullPathAndReportsWhatItCopied) {
  const std::string tray = platform::utf8ToSjis("仕事");
  ASSERT_TRUE(store::TreeOperations(scene.document->store(), scene.document->settings(), scene.messages)
                  .createTray(tray));
  test::TrayBuilder builder;
  for (const char* subject : {"one", "two"}) builder.append(store::TrayFile(scene.document->store(), tray), subject);

  TrayTransferDialog dialog(*scene.document, view::TransferKind::Backup, tray);
  dialog.show();
  dialog.outsideField()->setText(QStringLiteral("relative/folder"));
  EXPECT_FALSE(dialog.runButton()->isEnabled());
  const QString outside = QString::fromStdString(scratch.file("バックアップ"));
  dialog.outsideField()->setText(outside);
  dialog.periodField()->setCurrentIndex(3);  // 全部
  ASSERT_TRUE(dialog.runButton()->isEnabled());
  QCheckBox* const focused = dialog.findChild<QCheckBox*>();  // the first switch: the focused tray only
  QTest::mouseClick(focused, Qt::LeftButton);
  ASSERT_TRUE(focused->isChecked());

  QTest::mouseClick(dialog.runButton(), Qt::LeftButton);
  EXPECT_FALSE(dialog.runButton()->isEnabled());
  ASSERT_TRUE(waitFor([&] { return !dialog.running(); }));
  ASSERT_TRUE(dialog.outcome().has_value());
  EXPECT_TRUE(dialog.outcome()->ok);
  EXPECT_EQ(dialog.outcome()->copied, 2);
  EXPECT_EQ(dialog.progress()->status(), QStringLiteral("完了しました（2 通をコピーしました）。"));
  const std::string top = scene.document->store().topCabinet;
  EXPECT_TRUE(std::filesystem::exists(
      std::filesystem::path(outside.toStdString()) / platform::sjisToUtf8(top) / "仕事.XM0"));
  EXPECT_TRUE(dialog.isVisible()) << "it stays until closed";
  EXPECT_TRUE(scene.shown().empty());
}

TEST_F(StoreDialogTest, TheLogWindowShowsTheLogAndClearingMovesItToTheFirstGeneration) {
  const sorting::SortingLog log(scratch.file("sorting.log"), 9);
  SortingLogWindow empty(log);
  EXPECT_FALSE(empty.clearButton()->isEnabled()) << "nothing to clear";

  log.append({false, true, platform::utf8ToSjis("新着受信"), "id@x", platform::utf8ToSjis("仕事")}, 0, scene.messages);
  SortingLogWindow window(log);
  EXPECT_EQ(window.textBox()->toPlainText(), QStringLiteral("1970-01/01 09:00:00|受手|新着受信\\id@x → 仕事\n"));
  QTest::mouseClick(window.clearButton(), Qt::LeftButton);
  EXPECT_TRUE(window.textBox()->toPlainText().isEmpty());
  EXPECT_FALSE(window.clearButton()->isEnabled());
  EXPECT_TRUE(std::filesystem::exists(log.generation(1)));
  EXPECT_FALSE(std::filesystem::exists(log.path()));
}

}  // namespace
}  // namespace zorvik::ui
