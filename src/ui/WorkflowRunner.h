/// \file
/// Runs the workflows that block (receive, send, send/receive, the server
/// tray's commands, sorting) on a worker thread, one at a time, with what
/// mailflow asks of a front end: progress lines (passed to the window as
/// queued signals, at most ten a second), sounds, the clock and the stop
/// request of the cancel button. Questions and messages a workflow raises
/// wait for the window's thread, which this runner keeps pumping while the
/// work runs. The window's part after the work (refreshing the tree,
/// showing the new mails) runs on the window's thread when it ends.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "core/Messages.h"
#include "mailflow/FrontEnd.h"

namespace zorvik::ui {

class WorkflowRunner : public QObject {
  Q_OBJECT

public:
  using Work = std::function<void(mailflow::FrontEnd&)>;

  WorkflowRunner(core::Messages& messages, QObject* parent = nullptr);
  /// Asks a running workflow to stop at once and waits for it.
  ~WorkflowRunner() override;

  bool busy() const { return busy_; }
  /// Starts `work`; `done` follows on this thread. False while busy.
  bool start(Work work, std::function<void()> done = {});
  /// The user's stop: the first lets the mail in hand finish, a second
  /// breaks off.
  void requestStop();
  /// Waits for the running work (tests, and the window's close).
  void wait();

signals:
  void progress(const QString& text);
  void busyChanged(bool busy);

private:
  class Progress;
  class Sound;

  void finished();

  core::Messages& messages_;
  std::unique_ptr<Progress> progress_;
  std::unique_ptr<Sound> sound_;
  mailflow::StopRequest stop_;
  std::unique_ptr<mailflow::FrontEnd> front_;
  std::thread worker_;
  std::function<void()> done_;
  QTimer pump_;
  bool busy_ = false;
};

}  // namespace zorvik::ui
