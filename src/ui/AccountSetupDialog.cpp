#include "ui/AccountSetupDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/QtText.h"
#include "ui/UiLog.h"

namespace zorvik::ui {
AccountSetupDialog::AccountSetupDialog(QWidget* parent)
    : QDialog(parent), name_(new QLineEdit(this)), address_(new QLineEdit(this)), password_(new QLineEdit(this)),
      secure_(new QCheckBox(QStringLiteral("暗号化して接続する(SSL/TLS、受信 995・送信 465)(&S)"), this)) {
  setWindowTitle(QStringLiteral("Zorvik アカウントの設定"));
  UiLog::global().watch(this);

  auto* const intro = new QLabel(
      QStringLiteral("はじめに、お使いのメールアカウントを設定してください。\n"
                     "メールアドレスの「@」より前の部分が、設定ファイルとメール保管場所の名前になります。"),
      this);
  intro->setWordWrap(true);

  name_->setObjectName(QStringLiteral("name"));
  address_->setObjectName(QStringLiteral("address"));
  password_->setObjectName(QStringLiteral("password"));
  name_->setPlaceholderText(QStringLiteral("山田 太郎"));
  address_->setPlaceholderText(QStringLiteral("taro@example.jp"));
  password_->setEchoMode(QLineEdit::Password);
  secure_->setObjectName(QStringLiteral("secure"));
  secure_->setChecked(true);
  address_->setMinimumWidth(address_->fontMetrics().averageCharWidth() * 36);

  auto* const form = new QFormLayout;
  form->addRow(QStringLiteral("名前(&N):"), name_);
  form->addRow(QStringLiteral("メールアドレス(&A):"), address_);
  form->addRow(QStringLiteral("パスワード(&P):"), password_);
  form->addRow(secure_);

  auto* const buttons = new QDialogButtonBox(this);
  setUp_ = buttons->addButton(QStringLiteral("設定"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
  setUp_->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  for (QLineEdit* field : {name_, address_, password_})
    connect(field, &QLineEdit::textChanged, this, &AccountSetupDialog::updateButton);
  updateButton();

  auto* const layout = new QVBoxLayout(this);
  layout->addWidget(intro);
  layout->addSpacing(6);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

void AccountSetupDialog::updateButton() {
  setUp_->setEnabled(!name_->text().trimmed().isEmpty() && !address_->text().trimmed().isEmpty() &&
                     !password_->text().isEmpty());
}

store::AccountSetup AccountSetupDialog::account() const {
  // A password is taken as typed: blanks around it may be part of it.
  return {toSjis(name_->text().trimmed()), toSjis(address_->text().trimmed()), toSjis(password_->text()),
          secure_->isChecked()};
}

std::optional<store::AccountSetup> AccountSetupDialog::ask(QWidget* parent) {
  AccountSetupDialog dialog(parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.account();
}

store::DocumentOpen::AccountDialog AccountSetupDialog::asker(QWidget* parent) {
  return [parent] { return ask(parent); };
}

}  // namespace zorvik::ui
