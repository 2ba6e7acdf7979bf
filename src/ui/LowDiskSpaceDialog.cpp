#include "ui/LowDiskSpaceDialog.h"

#include <QPushButton>

namespace zorvik::ui {

LowDiskSpaceDialog::LowDiskSpaceDialog(const QString& text, QWidget* parent)
    : QMessageBox(QMessageBox::Critical, QStringLiteral("致命的エラー"), text, QMessageBox::NoButton, parent),
      continue_(addButton(QStringLiteral("続行"), QMessageBox::AcceptRole)),
      end_(addButton(QStringLiteral("強制終了"), QMessageBox::DestructiveRole)) {
  setDefaultButton(qobject_cast<QPushButton*>(continue_));
  setEscapeButton(continue_);
}

bool LowDiskSpaceDialog::ask(const QString& text, QWidget* parent) {
  LowDiskSpaceDialog dialog(text, parent);
  dialog.exec();
  return dialog.clickedButton() != dialog.endButton();
}

}  // namespace zorvik::ui
