#include "ui/AddressEntryWindow.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <span>

#include "ui/QtReporter.h"
#include "ui/QtText.h"
#include "ui/UiLog.h"

namespace zorvik::ui {

namespace {

QString u(const char* utf8) { return QString::fromUtf8(utf8); }

// The one-line fields, in the order the window shows them.
struct LineField {
  const char* objectName;
  const char* label;
  std::string addressbook::AddressEntry::*member;
};
constexpr LineField kNameFields[] = {
    {"name", "表示名(&N)：", &addressbook::AddressEntry::name},
    {"reading", "よみ(&Y)：", &addressbook::AddressEntry::reading},
    {"nickname", "ニックネーム(&K)：", &addressbook::AddressEntry::nickname},
};
constexpr LineField kWorkFields[] = {
    {"title", "役職(&T)：", &addressbook::AddressEntry::title},
    {"company", "会社名(&C)：", &addressbook::AddressEntry::company},
    {"department", "部署(&D)：", &addressbook::AddressEntry::department},
    {"office", "事業所(&O)：", &addressbook::AddressEntry::office},
};

}  // namespace

AddressEntryWindow::AddressEntryWindow(const addressbook::AddressEntry& entry, QWidget* parent) : QDialog(parent) {
  setWindowTitle(entry.name.empty() ? u("新しい連絡先") : fromSjis(entry.name) + u(" のプロパティ"));
  auto* form = new QFormLayout(this);
  const auto lineRow = [&](const LineField& field) {
    auto* edit = new QLineEdit(fromSjis(entry.*field.member), this);
    edit->setObjectName(field.objectName);
    form->addRow(u(field.label), edit);
  };
  for (const LineField& field : kNameFields) lineRow(field);
  QStringList addresses;
  for (const std::string& address : entry.addresses) addresses << fromSjis(address);
  addresses_ = new QPlainTextEdit(addresses.join('\n'), this);
  addresses_->setObjectName("addresses");
  addresses_->setTabChangesFocus(true);
  addresses_->setMaximumHeight(70);
  form->addRow(u("電子メール(&E)：\n(1行に1つ)"), addresses_);
  for (const LineField& field : kWorkFields) lineRow(field);
  auto* note = new QPlainTextEdit(fromSjis(entry.note), this);
  note->setObjectName("note");
  note->setTabChangesFocus(true);
  note->setMaximumHeight(70);
  form->addRow(u("メモ(&M)："), note);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Cancel)->setText(u("キャンセル"));
  ok_ = buttons->button(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  const auto needAddress = [this] { ok_->setEnabled(!this->entry().addresses.empty()); };
  connect(addresses_, &QPlainTextEdit::textChanged, this, needAddress);
  needAddress();
  form->addRow(buttons);
  resize(440, 400);
}

addressbook::AddressEntry AddressEntryWindow::entry() const {
  addressbook::AddressEntry entry;
  for (const auto& fields : {std::span<const LineField>(kNameFields), std::span<const LineField>(kWorkFields)})
    for (const LineField& field : fields)
      entry.*field.member = toSjis(findChild<QLineEdit*>(field.objectName)->text().trimmed());
  for (const QString& line : addresses_->toPlainText().split('\n'))
    if (!line.trimmed().isEmpty()) entry.addresses.push_back(toSjis(line.trimmed()));
  entry.note = toSjis(findChild<QPlainTextEdit*>("note")->toPlainText().trimmed());
  return entry;
}

std::optional<addressbook::AddressEntry> AddressEntryWindow::edit(const addressbook::AddressEntry& entry,
                                                                 QWidget* parent) {
  AddressEntryWindow window(entry, parent);
  UiLog::global().watch(&window);
  if (const auto preset = QtReporter::presetAnswer()) {
    UiLog::global().windowShown(window);
    if (!*preset) return std::nullopt;
    return entry;
  }
  if (window.exec() != QDialog::Accepted) return std::nullopt;
  return window.entry();
}

}  // namespace zorvik::ui
