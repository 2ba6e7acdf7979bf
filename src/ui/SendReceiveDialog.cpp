#include "ui/SendReceiveDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "mailflow/Document.h"
#include "ui/ProgressPanel.h"
#include "ui/QtText.h"

namespace zorvik::ui {
namespace {

QLineEdit* field(const std::string& sjis, QWidget* parent) {
  auto* const edit = new QLineEdit(fromSjis(sjis), parent);
  edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * 32);
  return edit;
}

QCheckBox* check(const QString& text, bool checked, QWidget* parent) {
  auto* const box = new QCheckBox(text, parent);
  box->setChecked(checked);
  return box;
}

}  // namespace

SendReceiveDialog::SendReceiveDialog(mailflow::Document& document, Mode mode, QWidget* parent)
    : WorkDialog(document.messages(), parent), document_(document), mode_(mode) {
  setWindowTitle(mode == Mode::SendAndReceive ? QStringLiteral("サーバ送受信") : QStringLiteral("サーバ受信"));
  account_ = accountBox(mailflow::MailAccount::of(document.settings()));

  auto* const buttons = new QDialogButtonBox(this);
  start_ = buttons->addButton(QStringLiteral("開始(&S)"), QDialogButtonBox::AcceptRole);
  start_->setDefault(true);
  setStopButton(buttons->addButton(QString(), QDialogButtonBox::RejectRole), QStringLiteral("キャンセル"));
  connect(start_, &QPushButton::clicked, this, &SendReceiveDialog::startRun);

  progress()->setStatus(QStringLiteral("「開始」でメールサーバとの送受信を始めます。"));
  auto* const layout = new QVBoxLayout(this);
  layout->addWidget(account_);
  layout->addWidget(progress());
  layout->addWidget(buttons);
}

SendReceiveDialog::~SendReceiveDialog() {
  // The account change must outlive the run that uses it.
  endWork();
}

QGroupBox* SendReceiveDialog::accountBox(const mailflow::MailAccount& account) {
  auto* const box = new QGroupBox(QStringLiteral("アカウント"), this);
  popServer_ = field(account.popServer, box);
  popUser_ = field(account.popUser, box);
  password_ = field(account.password, box);
  password_->setEchoMode(QLineEdit::Password);
  smtpServer_ = field(account.smtpServer, box);
  popServer_->setObjectName(QStringLiteral("popServer"));
  apop_ = check(QStringLiteral("APOPを使う(&A)"), account.useApop, box);
  uidl_ = check(QStringLiteral("UIDLを使う(&I)"), account.useUidl, box);
  keepOnServer_ = check(QStringLiteral("サーバにメールを残す(&K)"), account.keepOnServer, box);
  remember_ = check(QStringLiteral("この設定を保存する(&V)"), false, box);

  auto* const form = new QFormLayout;
  form->addRow(QStringLiteral("POPサーバ(&P):"), popServer_);
  form->addRow(QStringLiteral("ユーザ名(&U):"), popUser_);
  form->addRow(QStringLiteral("パスワード(&W):"), password_);
  form->addRow(QStringLiteral("SMTPサーバ(&M):"), smtpServer_);
  auto* const switches = new QGridLayout;
  switches->addWidget(apop_, 0, 0);
  switches->addWidget(uidl_, 0, 1);
  switches->addWidget(keepOnServer_, 1, 0);
  switches->addWidget(remember_, 1, 1);
  auto* const layout = new QVBoxLayout(box);
  layout->addLayout(form);
  layout->addLayout(switches);
  return box;
}

mailflow::MailAccount SendReceiveDialog::account() const {
  mailflow::MailAccount account;
  account.popServer = toSjis(popServer_->text().trimmed());
  account.popUser = toSjis(popUser_->text().trimmed());
  account.password = toSjis(password_->text());
  account.smtpServer = toSjis(smtpServer_->text().trimmed());
  account.useApop = apop_->isChecked();
  account.useUidl = uidl_->isChecked();
  account.keepOnServer = keepOnServer_->isChecked();
  return account;
}

void SendReceiveDialog::runningChanged() {
  account_->setEnabled(!running());
  start_->setEnabled(!running());
}

void SendReceiveDialog::startRun() {
  change_ = std::make_unique<mailflow::AccountChange>(document_, account());
  if (remember_->isChecked()) change_->keep();
  const mailflow::Document& document = document_;
  if (mode_ == Mode::SendAndReceive) {
    using Report = std::optional<mailflow::SendReport>;
    startWork<Report>(
        [&document](mailflow::FrontEnd& front) {
          return mailflow::SendFlow::run(document, front, mailflow::SessionDriver::Command::SendAndReceive);
        },
        [this](Report& report) {
          sendReport_ = std::move(report);
          runEnded(sendReport_ ? sendReport_->result.bits : 0);
        },
        QStringLiteral("メールサーバと通信しています..."));
    return;
  }
  startWork<mailflow::ReceiveReport>(
      [&document](mailflow::FrontEnd& front) { return mailflow::ReceiveFlow::run(document, front); },
      [this](mailflow::ReceiveReport& report) {
        receiveReport_ = std::move(report);
        const bool received = receiveReport_->stored && receiveReport_->stored->stored.appended > 0;
        runEnded(received ? mailflow::kMailReceived : 0);
      },
      QStringLiteral("メールサーバと通信しています..."));
}

void SendReceiveDialog::runEnded(int bits) {
  stopped_ = stopRequested();
  change_.reset();
  done(bits);
}

}  // namespace zorvik::ui
