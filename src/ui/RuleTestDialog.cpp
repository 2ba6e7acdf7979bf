#include "ui/RuleTestDialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/QtText.h"
#include "ui/UiLog.h"

namespace zorvik::ui {
namespace {

QPlainTextEdit* readOnlyText(const std::string& sjis, QWidget* parent) {
  auto* text = new QPlainTextEdit(fromSjis(sjis), parent);
  text->setReadOnly(true);
  text->setLineWrapMode(QPlainTextEdit::NoWrap);
  text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  return text;
}

}  // namespace

RuleTestDialog::RuleTestDialog(const view::RuleTestReport& report, QWidget* parent)
    : QDialog(parent),
      verdict_(new QLabel(QString::fromStdString(report.verdict()), this)),
      reason_(new QLabel(fromSjis(report.reason), this)),
      outcome_(new QLabel(fromSjis(report.outcome), this)),
      header_(readOnlyText(report.header, this)),
      body_(readOnlyText(report.body, this)) {
  setWindowTitle(QStringLiteral("振分論理式の試験"));
  UiLog::global().watch(this);
  auto* layout = new QVBoxLayout(this);
  auto* result = new QFormLayout;
  QFont bold = verdict_->font();
  bold.setBold(true);
  verdict_->setFont(bold);
  result->addRow(QStringLiteral("振分判断＝"), verdict_);
  auto* outcomeBox = new QGroupBox(QStringLiteral("実行結果"), this);
  auto* outcomeRows = new QVBoxLayout(outcomeBox);
  outcomeRows->addWidget(reason_);
  outcomeRows->addWidget(outcome_);
  layout->addLayout(result);
  layout->addWidget(outcomeBox);
  auto* headerBox = new QGroupBox(QStringLiteral("ヘッダー情報"), this);
  (new QVBoxLayout(headerBox))->addWidget(header_);
  auto* bodyBox = new QGroupBox(QStringLiteral("本文"), this);
  (new QVBoxLayout(bodyBox))->addWidget(body_);
  layout->addWidget(headerBox, 1);
  layout->addWidget(bodyBox, 2);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("閉じる"));
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  setMinimumSize(600, 560);
}

}  // namespace zorvik::ui
