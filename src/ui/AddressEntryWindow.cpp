#include "ui/AddressEntryWindow.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "ui/QtReporter.h"
#include "ui/QtText.h"
#include "ui/UiLog.h"

namespace zorvik::ui {

AddressEntryWindow::AddressEntryWindow(const addressbook::AddressEntry& entry, QWidget* parent) : QDialog(parent) {
  setWindowTitle(fromSjis(entry.name) + QString::fromUtf8(" のプロパティ"));
  auto* form = new QFormLayout(this);
  const auto row = [&](const char* label, const std::string& value) {
    auto* field = new QLineEdit(fromSjis(value), this);
    field->setReadOnly(true);
    form->addRow(QString::fromUtf8(label), field);
  };
  row("表示名：", entry.name);
  row("ニックネーム：", entry.nickname);
  QStringList addresses;
  for (const std::string& address : entry.addresses) addresses << fromSjis(address);
  auto* list = new QPlainTextEdit(addresses.join('\n'), this);
  list->setReadOnly(true);
  list->setMaximumHeight(70);
  form->addRow(QString::fromUtf8("電子メール："), list);
  row("役職：", entry.title);
  row("会社名：", entry.company);
  row("部署：", entry.department);
  row("事業所：", entry.office);
  auto* note = new QPlainTextEdit(fromSjis(entry.note), this);
  note->setReadOnly(true);
  note->setMaximumHeight(70);
  form->addRow(QString::fromUtf8("メモ："), note);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  form->addRow(buttons);
  resize(420, 380);
}

void AddressEntryWindow::show(const addressbook::AddressEntry& entry, QWidget* parent) {
  AddressEntryWindow window(entry, parent);
  UiLog::global().watch(&window);
  if (QtReporter::presetAnswer()) {
    UiLog::global().windowShown(window);
    return;
  }
  window.exec();
}

}  // namespace zorvik::ui
