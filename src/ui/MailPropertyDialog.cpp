#include "ui/MailPropertyDialog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/Messages.h"
#include "ui/QtText.h"
#include "ui/UiLog.h"

namespace zorvik::ui {
namespace {

QWidget* fieldsPage(const view::MailProperties::Fields& fields, QWidget* parent) {
  auto* page = new QWidget(parent);
  auto* form = new QFormLayout(page);
  for (const auto& [label, value] : fields) {
    auto* shown = new QLineEdit(fromSjis(value), page);
    shown->setReadOnly(true);
    shown->setCursorPosition(0);
    form->addRow(fromSjis(label) + QStringLiteral("："), shown);
  }
  return page;
}

}  // namespace

MailPropertyDialog::MailPropertyDialog(view::MailProperties properties, int page, QWidget* parent)
    : QDialog(parent), properties_(std::move(properties)), tabs_(new QTabWidget(this)), attachments_(new QListWidget(this)) {
  setWindowTitle(QStringLiteral("ﾒｰﾙ ﾌﾟﾛﾊﾟﾃｨ"));
  UiLog::global().watch(this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  tabs_->addTab(fieldsPage(properties_.info, tabs_), QStringLiteral("情報"));

  auto* header = new QPlainTextEdit(fromSjis(properties_.header), tabs_);
  header->setReadOnly(true);
  header->setLineWrapMode(QPlainTextEdit::NoWrap);
  tabs_->addTab(header, QStringLiteral("ヘッダー"));

  auto* files = new QWidget(tabs_);
  auto* filesLayout = new QVBoxLayout(files);
  attachments_->setParent(files);
  attachments_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  for (const auto& attachment : properties_.attachments)
    attachments_->addItem(QStringLiteral("%1  (%2 バイト)").arg(fromSjis(attachment.name)).arg(attachment.size));
  filesLayout->addWidget(attachments_);
  auto* saveLine = new QHBoxLayout;
  saveLine->addStretch(1);
  auto* save = new QPushButton(QStringLiteral("保存(&S)..."), files);
  save->setEnabled(!properties_.attachments.empty());
  saveLine->addWidget(save);
  filesLayout->addLayout(saveLine);
  connect(save, &QPushButton::clicked, this, [this] {
    if (attachments_->selectedItems().isEmpty()) attachments_->selectAll();
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("添付ﾌｧｲﾙの保存"));
    if (!folder.isEmpty()) saveSelected(toSjis(folder));
  });
  tabs_->addTab(files, QStringLiteral("添付ﾌｧｲﾙ"));
  tabs_->addTab(fieldsPage(properties_.other, tabs_), QStringLiteral("その他の情報"));
  tabs_->setCurrentIndex(page);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("閉じる"));
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(560, 460);
}

int MailPropertyDialog::saveSelected(const std::string& folder) {
  int saved = 0;
  for (int row = 0; row < attachments_->count(); ++row) {
    if (!attachments_->item(row)->isSelected()) continue;
    if (view::MailProperties::save(properties_.attachments[static_cast<std::size_t>(row)], folder)) ++saved;
  }
  return saved;
}

}  // namespace zorvik::ui
