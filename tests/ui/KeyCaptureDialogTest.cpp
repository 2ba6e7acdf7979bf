// The key dialog driven by key presses: Ctrl+X then U bound to UNDO gives
// the editor's definition text with "^88+85=UNDO", and the macro that had
// Ctrl+X alone is named.
#include "ui/KeyCaptureDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "platform/TextEncoding.h"
#include "ui/DialogTest.h"
#include "view/KeyPresets.h"

namespace zorvik::ui {
namespace {

using KeyCaptureDialogTest = test::DialogTest;

TEST_F(KeyCaptureDialogTest, CtrlXThenUCapturedAndSetGivesTheTwoStrokeEntry) {
  KeyCaptureDialog dialog(view::MacroTable::editor(), view::editorKeyPresets()[0].definition, true);
  const auto undo = dialog.macroList()->findItems(QStringLiteral("前の操作を取消す"), Qt::MatchExactly);
  ASSERT_EQ(undo.size(), 1);
  dialog.macroList()->setCurrentItem(undo.front());
  EXPECT_EQ(dialog.currentLabel()->text(), QStringLiteral("Ctrl+Z"));

  dialog.show();
  QTest::keyClick(dialog.captureField(), Qt::Key_X, Qt::ControlModifier);
  QTest::keyClick(dialog.captureField(), Qt::Key_U);
  dialog.setButton()->click();
  EXPECT_EQ(dialog.currentLabel()->text(), QStringLiteral("Ctrl+X ⇒ U"));
  EXPECT_NE(dialog.definition().find("^88+85=UNDO"), std::string::npos) << dialog.definition();
  EXPECT_TRUE(dialog.clashLabel()->text().contains(QStringLiteral("BFCT")));

  QTest::keyClick(dialog.captureField(), Qt::Key_Tab);  // Tab is a key here, not a focus move
  EXPECT_EQ(dialog.captureField()->capture().text(), "Tab");
}

TEST_F(KeyCaptureDialogTest, StandardLayoutAndCancelComeBackThroughEdit) {
  const struct {
    std::function<void(QDialog&)> close;
    std::optional<std::string> result;
  } cases[] = {
      {[](QDialog& d) { d.done(KeyCaptureDialog::kStandardLayout); }, view::editorKeyPresets()[0].definition},
      {[](QDialog& d) { d.reject(); }, std::nullopt},
  };
  for (const auto& each : cases) {
    onModal([&](QWidget& modal) { each.close(static_cast<QDialog&>(modal)); });
    EXPECT_EQ(KeyCaptureDialog::edit(519, "^90=UNDO", nullptr), each.result);
  }
}

}  // namespace
}  // namespace zorvik::ui
