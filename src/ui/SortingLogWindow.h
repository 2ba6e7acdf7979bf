/// \file
/// The window "ﾒｰﾙのﾄﾚｲ振分ﾛｸﾞ": the end of the sorting log (see
/// view::SortingLogExcerpt), scrolled to its last line, with "全消去(&A)"
/// (offered only when something is shown: the log moves to its first
/// older generation, keeping two) and "閉じる(&C)". A missing log shows an
/// empty box.
#pragma once

#include <QDialog>

#include "sorting/SortingLog.h"

class QPlainTextEdit;
class QPushButton;

namespace zorvik::ui {

class SortingLogWindow : public QDialog {
  Q_OBJECT

public:
  explicit SortingLogWindow(sorting::SortingLog log, QWidget* parent = nullptr);

  /// Reads the log again.
  void reload();

  QPlainTextEdit* textBox() const { return text_; }
  QPushButton* clearButton() const { return clear_; }

private:
  void clearLog();

  sorting::SortingLog log_;
  QPlainTextEdit* text_;
  QPushButton* clear_;
};

}  // namespace zorvik::ui
