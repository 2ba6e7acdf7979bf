#include "ui/ProgressPanel.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace zorvik::ui {

ProgressPanel::ProgressPanel(QWidget* parent) : QWidget(parent), status_(new QLabel(this)), bar_(new QProgressBar(this)) {
  auto* const layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  status_->setObjectName(QStringLiteral("status"));
  status_->setWordWrap(true);
  status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  status_->setMinimumHeight(status_->fontMetrics().lineSpacing() * 2);
  status_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  bar_->setRange(0, 100);
  bar_->setValue(0);
  bar_->setTextVisible(true);
  layout->addWidget(status_);
  layout->addWidget(bar_);
}

void ProgressPanel::setStatus(const QString& text) { status_->setText(text); }

void ProgressPanel::begin(const QString& text) {
  status_->setText(text);
  bar_->setRange(0, 0);
}

void ProgressPanel::report(const QString& line, int percent) {
  status_->setText(line);
  if (percent < 0) return;
  bar_->setRange(0, 100);
  bar_->setValue(percent);
}

void ProgressPanel::end(const QString& text, bool complete) {
  status_->setText(text);
  const bool busy = bar_->maximum() == 0;
  bar_->setRange(0, 100);
  if (complete) bar_->setValue(100);
  else if (busy) bar_->setValue(0);
}

QString ProgressPanel::status() const { return status_->text(); }

int ProgressPanel::value() const { return bar_->value(); }

}  // namespace zorvik::ui
