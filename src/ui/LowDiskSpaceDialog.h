/// \file
/// The box of question 44101, asked before a tray file is written while
/// the disk is nearly full: titled "致命的エラー", it offers "続行" (free some
/// space, then check again) and "強制終了" (end Zorvik). Escape and the
/// window's close button mean "続行": ending the program is never chosen by
/// accident, and continuing only checks the disk again.
#pragma once

#include <QMessageBox>

namespace zorvik::ui {

class LowDiskSpaceDialog : public QMessageBox {
  Q_OBJECT

public:
  /// `text` is the message's text.
  explicit LowDiskSpaceDialog(const QString& text, QWidget* parent = nullptr);

  /// Shows the box; true for "続行".
  static bool ask(const QString& text, QWidget* parent = nullptr);

  QAbstractButton* continueButton() const { return continue_; }
  QAbstractButton* endButton() const { return end_; }

private:
  QAbstractButton* continue_;
  QAbstractButton* end_;
};

}  // namespace zorvik::ui
