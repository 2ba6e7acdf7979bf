#include "ui/SortingLogWindow.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "platform/FileSystem.h"
#include "ui/QtText.h"
#include "ui/UiLog.h"
#include "view/SortingLogExcerpt.h"

namespace zorvik::ui {

SortingLogWindow::SortingLogWindow(sorting::SortingLog log, QWidget* parent)
    : QDialog(parent), log_(std::move(log)), text_(new QPlainTextEdit(this)) {
  setWindowTitle(QStringLiteral("ﾒｰﾙのﾄﾚｲ振分ﾛｸﾞ"));
  UiLog::global().watch(this);
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  const QFontMetrics metrics(text_->font());
  text_->setMinimumSize(metrics.horizontalAdvance(QLatin1Char('0')) * 90, metrics.lineSpacing() * 20);

  auto* const buttons = new QDialogButtonBox(this);
  clear_ = buttons->addButton(QStringLiteral("全消去(&A)"), QDialogButtonBox::ActionRole);
  QPushButton* const close = buttons->addButton(QStringLiteral("閉じる(&C)"), QDialogButtonBox::RejectRole);
  close->setDefault(true);
  connect(clear_, &QPushButton::clicked, this, &SortingLogWindow::clearLog);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);

  auto* const layout = new QVBoxLayout(this);
  layout->addWidget(text_);
  layout->addWidget(buttons);
  reload();
}

void SortingLogWindow::reload() {
  const std::string tail = log_.tail();
  const std::uint64_t size = platform::fileSize(log_.path()).value_or(tail.size());
  text_->setPlainText(fromSjis(view::SortingLogExcerpt::shown(tail, size)));
  text_->verticalScrollBar()->setValue(text_->verticalScrollBar()->maximum());
  clear_->setEnabled(!text_->document()->isEmpty());
}

void SortingLogWindow::clearLog() {
  if (text_->document()->isEmpty()) return;
  log_.clear();
  text_->clear();
  clear_->setEnabled(false);
}

}  // namespace zorvik::ui
