#include "ui/WorkDialog.h"

#include <QPushButton>

#include "ui/ProgressPanel.h"
#include "ui/UiLog.h"
#include "ui/WorkflowRunner.h"
#include "view/ProgressText.h"

namespace zorvik::ui {

WorkDialog::WorkDialog(core::Messages& messages, QWidget* parent)
    : QDialog(parent), progress_(new ProgressPanel(this)), runner_(new WorkflowRunner(messages, this)) {
  UiLog::global().watch(this);
  connect(runner_, &WorkflowRunner::progress, progress_, [this](const QString& line) {
    progress_->report(line, view::ProgressText::percentOf(line.toStdString()).value_or(-1));
  });
}

WorkDialog::~WorkDialog() { endWork(); }

void WorkDialog::endWork() {
  delete runner_;
  runner_ = nullptr;
}

bool WorkDialog::running() const { return runner_ && runner_->busy(); }

void WorkDialog::setStopButton(QPushButton* button, const QString& idleText) {
  stopButton_ = button;
  idleText_ = idleText;
  stopButton_->setText(idleText);
  connect(stopButton_, &QPushButton::clicked, this, &WorkDialog::reject);
}

void WorkDialog::launch(std::function<void(mailflow::FrontEnd&)> work, std::function<void()> ended,
                        const QString& status) {
  if (!runner_ || running()) return;
  stopRequests_ = 0;
  progress_->begin(status);
  runner_->start(std::move(work), [this, ended = std::move(ended)] { workFinished(ended); });
  if (stopButton_) stopButton_->setText(QStringLiteral("中止"));
  runningChanged();
}

void WorkDialog::workFinished(const std::function<void()>& ended) {
  if (stopButton_) {
    stopButton_->setText(idleText_);
    stopButton_->setEnabled(true);
  }
  ended();
  runningChanged();
}

void WorkDialog::reject() {
  if (!running()) {
    QDialog::reject();
    return;
  }
  runner_->requestStop();
  if (++stopRequests_ == 1) {
    progress_->setStatus(QStringLiteral("中止しています（扱っている途中のものを終えてから止めます）..."));
    if (stopButton_) stopButton_->setText(QStringLiteral("すぐに中止"));
  } else {
    progress_->setStatus(QStringLiteral("すぐに中止しています..."));
    if (stopButton_) stopButton_->setEnabled(false);
  }
}

}  // namespace zorvik::ui
