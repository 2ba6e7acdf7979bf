/// \file
/// The dialog "振分論理式の試験" that the button "受信振分試験(&R)" of the
/// tray property page "受信設定" opens: "振分判断＝" with TRUE or FALSE,
/// "実行結果" with the reason and the outcome (an expression's error
/// number, or "正常終了"), and the tested mail's header and body, read-only.
#pragma once

#include <QDialog>

#include "view/RuleTestReport.h"

class QLabel;
class QPlainTextEdit;

namespace zorvik::ui {

class RuleTestDialog : public QDialog {
  Q_OBJECT

public:
  explicit RuleTestDialog(const view::RuleTestReport& report, QWidget* parent = nullptr);

  QLabel* verdictLabel() const { return verdict_; }
  QLabel* reasonLabel() const { return reason_; }
  QLabel* outcomeLabel() const { return outcome_; }
  QPlainTextEdit* headerText() const { return header_; }
  QPlainTextEdit* bodyText() const { return body_; }

private:
  QLabel* verdict_;
  QLabel* reason_;
  QLabel* outcome_;
  QPlainTextEdit* header_;
  QPlainTextEdit* body_;
};

}  // namespace zorvik::ui
