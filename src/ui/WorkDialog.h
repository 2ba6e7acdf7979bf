/// \file
/// What the dialogs that run a workflow share: a ProgressPanel fed by a
/// WorkflowRunner (each progress line with the share it tells, see
/// view::ProgressText) and the button that stops the work. While the work
/// runs that button (and Escape, and the window's close button) stops it
/// instead of closing: the first request lets the work end cleanly (after
/// the mail in hand), a second one breaks off at once. The dialog cannot be
/// closed while its work runs.
///
/// The work hands its result to the dialog through startWork(): the worker
/// writes only into a result of its own, which reaches `ended` on the
/// dialog's thread once the work is over, so the dialog's members are never
/// touched from the worker.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>

#include "core/Messages.h"
#include "mailflow/FrontEnd.h"

class QPushButton;

namespace zorvik::ui {

class ProgressPanel;
class WorkflowRunner;

class WorkDialog : public QDialog {
  Q_OBJECT

public:
  ~WorkDialog() override;

  bool running() const;
  /// The user asked the last work to stop.
  bool stopRequested() const { return stopRequests_ > 0; }
  ProgressPanel* progress() const { return progress_; }
  /// The button that closes the dialog when idle and stops the work.
  QPushButton* stopButton() const { return stopButton_; }

  void reject() override;

protected:
  /// `messages` are the document's: the boxes the work asks for are shown
  /// while it runs.
  WorkDialog(core::Messages& messages, QWidget* parent);

  /// Names the stop button and its text while no work runs.
  void setStopButton(QPushButton* button, const QString& idleText);

  /// Runs `work` on the worker thread, showing `status` until it reports,
  /// then calls `ended` with what it returned.
  template <typename Result>
  void startWork(std::function<Result(mailflow::FrontEnd&)> work, std::function<void(Result&)> ended,
                 const QString& status) {
    auto result = std::make_shared<std::optional<Result>>();
    launch([result, work = std::move(work)](mailflow::FrontEnd& front) { result->emplace(work(front)); },
           [result, ended = std::move(ended)] { ended(**result); }, status);
  }

  /// Called when a work begins or ends, for the dialog to enable its fields.
  virtual void runningChanged() {}

  /// Ends a work still running (insisting on the stop) and waits for it;
  /// no work runs afterwards. For destructors of dialogs whose members a
  /// running work still uses.
  void endWork();

private:
  void launch(std::function<void(mailflow::FrontEnd&)> work, std::function<void()> ended, const QString& status);
  void workFinished(const std::function<void()>& ended);

  ProgressPanel* progress_;
  WorkflowRunner* runner_;
  QPushButton* stopButton_ = nullptr;
  QString idleText_;
  int stopRequests_ = 0;
};

}  // namespace zorvik::ui
