#include "ui/TipDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "ui/QtText.h"
#include "ui/UiLog.h"

namespace zorvik::ui {

TipDialog::TipDialog(const std::string& path, const view::TipPlace& place, core::Messages& messages, QWidget* parent)
    : QDialog(parent), place_(place), tip_(new QLabel(this)), showAtStart_(new QCheckBox(this)), next_(nullptr) {
  setWindowTitle(QStringLiteral("ﾜﾝﾎﾟｲﾝﾄ"));
  UiLog::global().watch(this);
  auto* layout = new QVBoxLayout(this);
  auto* panel = new QFrame(this);
  panel->setFrameShape(QFrame::StyledPanel);
  panel->setBackgroundRole(QPalette::Base);
  panel->setAutoFillBackground(true);
  auto* inside = new QHBoxLayout(panel);
  auto* icon = new QLabel(panel);
  icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
  icon->setAlignment(Qt::AlignTop);
  inside->addWidget(icon);
  tip_->setParent(panel);
  tip_->setWordWrap(true);
  tip_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  tip_->setMinimumSize(360, 100);
  tip_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  inside->addWidget(tip_, 1);
  layout->addWidget(panel, 1);

  auto* bottom = new QHBoxLayout;
  showAtStart_->setText(QStringLiteral("起動時にﾜﾝﾎﾟｲﾝﾄを表示(&S)"));
  showAtStart_->setChecked(!place.hideAtStart);
  bottom->addWidget(showAtStart_);
  bottom->addStretch(1);
  next_ = new QPushButton(QStringLiteral("次を表示(&N)"), this);
  auto* close = new QPushButton(QStringLiteral("閉じる(&C)"), this);
  close->setDefault(true);
  bottom->addWidget(next_);
  bottom->addWidget(close);
  layout->addLayout(bottom);
  connect(next_, &QPushButton::clicked, this, &TipDialog::showNext);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);

  if (!path.empty()) file_ = view::TipFile::open(path, place_, messages);
  if (!file_) {
    tip_->setText(QStringLiteral("規定のﾃﾞｨﾚｸﾄﾘにﾜﾝﾎﾟｲﾝﾄ ﾌｧｲﾙがありません"));
    next_->setEnabled(false);
    return;
  }
  showNext();
}

void TipDialog::showNext() {
  const auto tip = file_->next();
  tip_->setText(tip ? fromSjis(*tip) : QString());
  next_->setEnabled(tip.has_value());
}

view::TipPlace TipDialog::place() const {
  view::TipPlace result = place_;
  if (file_) result.filePos = file_->position();
  result.hideAtStart = !showAtStart_->isChecked();
  return result;
}

}  // namespace zorvik::ui
