#include "ui/StartPasswordDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/OkCancelButtons.h"
#include "ui/QtText.h"
#include "ui/UiLog.h"
#include "view/StartPassword.h"

namespace zorvik::ui {
namespace {

QLineEdit* secretField(QWidget* parent) {
  auto* field = new QLineEdit(parent);
  field->setEchoMode(QLineEdit::Password);
  return field;
}

QLabel* warning(QWidget* parent) {
  auto* label = new QLabel(parent);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, Qt::red);
  label->setPalette(palette);
  return label;
}

}  // namespace

StartPasswordDialog::StartPasswordDialog(std::string stored, QWidget* parent)
    : QDialog(parent), stored_(std::move(stored)), password_(secretField(this)), wrong_(warning(this)) {
  setWindowTitle(QStringLiteral("起動時パスワード"));
  UiLog::global().watch(this);
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("パスワード(&P)："), password_);
  layout->addLayout(form);
  layout->addWidget(wrong_);
  layout->addWidget(okCancelButtons(*this));
}

void StartPasswordDialog::accept() {
  const std::string typed = toSjis(password_->text());
  if (view::StartPassword::matches(stored_, typed)) {
    if (!stored_.empty() && !view::StartPassword::isCurrent(stored_))
      renewed_ = view::StartPassword::stored(typed, view::StartPassword::freshSalt());
    return QDialog::accept();
  }
  wrong_->setText(QStringLiteral("パスワードが違います。"));
  password_->clear();
  password_->setFocus();
}

PasswordSetDialog::PasswordSetDialog(QWidget* parent)
    : QDialog(parent), first_(secretField(this)), second_(secretField(this)), problem_(warning(this)) {
  setWindowTitle(QStringLiteral("パスワード設定"));
  UiLog::global().watch(this);
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("新しいパスワード(&N)："), first_);
  form->addRow(QStringLiteral("確認のためもう一度(&C)："), second_);
  layout->addLayout(form);
  layout->addWidget(problem_);
  layout->addWidget(okCancelButtons(*this));
}

void PasswordSetDialog::accept() {
  if (first_->text().isEmpty()) return problem_->setText(QStringLiteral("パスワードを入力してください。"));
  if (first_->text() != second_->text()) return problem_->setText(QStringLiteral("２つのパスワードが違います。"));
  stored_ = view::StartPassword::stored(toSjis(first_->text()), view::StartPassword::freshSalt());
  QDialog::accept();
}

std::optional<std::string> PasswordSetDialog::ask(QWidget* parent) {
  PasswordSetDialog dialog(parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.storedForm();
}

}  // namespace zorvik::ui
