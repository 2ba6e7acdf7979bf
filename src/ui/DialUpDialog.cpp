#include "ui/DialUpDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QVBoxLayout>

#include "core/SettingsItemTable.h"
#include "mailflow/Document.h"
#include "mailflow/SettingsWriteBack.h"
#include "net/NmcliDialUp.h"
#include "ui/GuiThread.h"
#include "ui/QtText.h"
#include "ui/UiLog.h"

namespace zorvik::ui {

DialUpDialog::DialUpDialog(const net::DialEntry& entry, const std::vector<std::string>& entryNames, QWidget* parent)
    : QDialog(parent),
      entries_(new QComboBox(this)),
      user_(new QLineEdit(fromSjis(entry.user), this)),
      password_(new QLineEdit(fromSjis(entry.password), this)),
      domain_(new QLineEdit(fromSjis(entry.domain), this)),
      save_(new QCheckBox(QStringLiteral("RAS接続情報を保存する(&S)"), this)),
      hide_(new QCheckBox(QStringLiteral("次回からこのダイアログを表示しない(&N)"), this)) {
  setWindowTitle(QStringLiteral("ﾀﾞｲｱﾙｱｯﾌﾟ接続"));
  UiLog::global().watch(this);
  entries_->setEditable(true);
  for (const std::string& name : entryNames) entries_->addItem(fromSjis(name));
  entries_->setCurrentText(fromSjis(entry.name));
  password_->setEchoMode(QLineEdit::Password);
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("接続先(&O)："), entries_);
  form->addRow(QStringLiteral("接続ﾕｰｻﾞ名(&U)："), user_);
  form->addRow(QStringLiteral("ﾊﾟｽﾜｰﾄﾞ(&A)："), password_);
  form->addRow(QStringLiteral("NTﾄﾞﾒｲﾝ(&T)："), domain_);
  layout->addLayout(form);
  layout->addWidget(save_);
  layout->addWidget(hide_);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(QStringLiteral("ﾀﾞｲｱﾙ(&D)"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QStringLiteral("ｷｬﾝｾﾙ(&C)"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

net::DialEntry DialUpDialog::entry() const {
  return {toSjis(entries_->currentText().trimmed()), toSjis(user_->text()), toSjis(password_->text()),
          toSjis(domain_->text())};
}

bool DialUpDialog::saveEntry() const { return save_->isChecked(); }
bool DialUpDialog::hideFromNowOn() const { return hide_->isChecked(); }

DialUpErrorWindow::DialUpErrorWindow(const net::DialEntry& entry, const std::string& reason, QWidget* parent)
    : QDialog(parent), reason_(new QLabel(fromSjis(reason), this)) {
  setWindowTitle(QStringLiteral("ダイアルアップ接続エラー"));
  UiLog::global().watch(this);
  auto* layout = new QVBoxLayout(this);
  auto* title = new QLabel(QStringLiteral("ダイアルアップ中にエラーが起こりました"), this);
  QFont bold = title->font();
  bold.setBold(true);
  title->setFont(bold);
  layout->addWidget(title);
  reason_->setWordWrap(true);
  reason_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(reason_);
  const auto shown = [this](const std::string& sjis, bool secret = false) {
    auto* field = new QLineEdit(fromSjis(sjis), this);
    field->setReadOnly(true);
    if (secret) field->setEchoMode(QLineEdit::Password);
    return field;
  };
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("接続先："), shown(entry.name));
  form->addRow(QStringLiteral("NTﾄﾞﾒｲﾝ："), shown(entry.domain));
  form->addRow(QStringLiteral("ﾕｰｻﾞｰ名："), shown(entry.user));
  form->addRow(QStringLiteral("ﾊﾟｽﾜｰﾄﾞ："), shown(entry.password, true));
  layout->addLayout(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
  setMinimumWidth(420);
}

DiallingWindow::DiallingWindow(QWidget* parent)
    : QDialog(parent),
      entry_(new QLabel(this)),
      user_(new QLabel(this)),
      state_(new QLabel(this)),
      abort_(new QPushButton(QStringLiteral("中断(&A)"), this)) {
  setWindowTitle(QStringLiteral("ﾀﾞｲｱﾙｱｯﾌﾟ接続中"));
  UiLog::global().watch(this);
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("接続先："), entry_);
  form->addRow(QStringLiteral("ﾕｰｻﾞｰ名："), user_);
  form->addRow(QStringLiteral("状態："), state_);
  state_->setMinimumWidth(300);
  layout->addLayout(form);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(abort_, QDialogButtonBox::RejectRole);
  layout->addWidget(buttons);
  connect(abort_, &QPushButton::clicked, this, [this] {
    aborted_ = true;
    abort_->setEnabled(false);
  });
}

void DiallingWindow::start(const net::DialEntry& entry) {
  aborted_ = false;
  abort_->setEnabled(true);
  entry_->setText(fromSjis(entry.name));
  user_->setText(fromSjis(entry.user));
  state_->clear();
}

void DiallingWindow::state(int, const std::string& text) {
  onGuiThread([this, text] {
    state_->setText(fromSjis(text));
    if (!isVisible()) show();
    return true;
  });
}

bool DiallingWindow::failed(const net::DialEntry& entry, const std::string& reason) {
  return onGuiThread([&] {
    hide();
    DialUpErrorWindow error(entry, reason, parentWidget());
    error.exec();
    return true;
  });
}

QtDialUpPrompt::QtDialUpPrompt(mailflow::Document& document, QWidget* parent)
    : document_(document), parent_(parent), window_(new DiallingWindow(parent)) {}

net::DialObserver* QtDialUpPrompt::dialling(const net::DialEntry& entry) {
  onGuiThread([&] {
    window_->start(entry);
    return true;
  });
  return window_;
}

void QtDialUpPrompt::dialled() {
  onGuiThread([this] {
    window_->hide();
    return true;
  });
}

bool QtDialUpPrompt::confirm(net::DialEntry& entry) {
  return onGuiThread([&] {
    DialUpDialog dialog(entry, net::NmcliDialUp::entryNames(), parent_);
    if (dialog.exec() != QDialog::Accepted) return false;
    entry = dialog.entry();
    const bool save = dialog.saveEntry();
    const bool hide = dialog.hideFromNowOn();
    if (save || hide) {
      mailflow::SettingsWriteBack::apply(document_, [&](core::SettingsFile& settings) {
        namespace item = core::item;
        if (save) {
          settings.setText(item::kDialUpEntry, entry.name);
          settings.setText(item::kDialUpUser, entry.user);
          settings.setPlainPassword(item::kDialUpPassword, entry.password);
          settings.setText(item::kDialUpDomain, entry.domain);
        }
        if (hide) settings.setNumber(item::kDialUpConfirm, 0);
      });
    }
    return true;
  });
}

}  // namespace zorvik::ui
