#include "ui/RefinedSearchDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/QtText.h"

namespace zorvik::ui {
namespace {

QString utf8(const char* text) { return QString::fromUtf8(text); }

search::Day dayOf(const QDate& date) { return {date.year(), date.month(), date.day()}; }

}  // namespace

RefinedSearchDialog::RefinedSearchDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(utf8("絞り込み検索"));
  auto* grid = new QGridLayout;
  const auto addRow = [&](QWidget* label, QComboBox* field) {
    const int row = static_cast<int>(rows_.size());
    auto* use = qobject_cast<QCheckBox*>(label);
    auto* text = new QLineEdit(this);
    text->setMinimumWidth(220);
    auto* contains = new QComboBox(this);
    contains->addItems({utf8("含む"), utf8("含まない")});
    grid->addWidget(label, row, 0);
    grid->addWidget(text, row, 1);
    grid->addWidget(contains, row, 2);
    rows_.push_back({use, field, text, contains});
  };
  for (const char* label : {"差出人に(&F)", "宛先に(&T)", "件名に(&S)", "本文に(&B)"})
    addRow(new QCheckBox(utf8(label), this), nullptr);

  auto* fieldBox = new QWidget(this);
  auto* fieldLayout = new QHBoxLayout(fieldBox);
  fieldLayout->setContentsMargins(0, 0, 0, 0);
  auto* fieldUse = new QCheckBox(fieldBox);
  auto* field = new QComboBox(fieldBox);
  field->addItems({"In-Reply-To:", "Message-Id:", "Reply-To:", "Sender:", "X-Mailer:", "X-sequence:"});
  fieldLayout->addWidget(fieldUse);
  fieldLayout->addWidget(field);
  addRow(fieldBox, field);
  rows_.back().use = fieldUse;

  const int dateRow = static_cast<int>(rows_.size());
  const auto addDate = [&](QCheckBox*& box, QDateEdit*& edit, const char* label, int row) {
    box = new QCheckBox(utf8("日付"), this);
    edit = new QDateEdit(QDate::currentDate(), this);
    edit->setDisplayFormat("yyyy/MM/dd");
    edit->setCalendarPopup(true);
    grid->addWidget(box, row, 0);
    grid->addWidget(edit, row, 1);
    grid->addWidget(new QLabel(utf8(label), this), row, 2);
  };
  addDate(since_, sinceDate_, "日 から", dateRow);
  addDate(until_, untilDate_, "日 まで", dateRow + 1);

  currentTray_ = new QCheckBox(utf8("現在のトレイ（フォルダ）にあるメールのみを対象とする(&R)"), this);
  marked_ = new QCheckBox(utf8("マークされたメールのみを対象とする(&M)"), this);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(utf8("検索"), QDialogButtonBox::AcceptRole)->setDefault(true);
  buttons->addButton(utf8("キャンセル(&C)"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(currentTray_);
  layout->addWidget(marked_);
  layout->addWidget(buttons);
}

search::RefinedConditions RefinedSearchDialog::conditions() const {
  static const char* const kFields[] = {"From", "To", "Subject"};
  search::RefinedConditions conditions;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const TextRow& row = rows_[i];
    if (!row.use->isChecked()) continue;
    const search::TextCondition test{toSjis(row.text->text()), row.contains->currentIndex() == 0};
    if (i < 3) {
      conditions.fields.push_back({kFields[i], test});
    } else if (!row.field) {
      conditions.body = test;
    } else {
      QString name = row.field->currentText();
      name.chop(1);  // the colon
      conditions.fields.push_back({name.toStdString(), test});
    }
  }
  if (since_->isChecked()) conditions.since = dayOf(sinceDate_->date());
  if (until_->isChecked()) conditions.until = dayOf(untilDate_->date());
  conditions.markedOnly = marked_->isChecked();
  return conditions;
}

bool RefinedSearchDialog::currentTrayOnly() const { return currentTray_->isChecked(); }

}  // namespace zorvik::ui
