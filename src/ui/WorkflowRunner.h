/// \file
/// Runs the workflows that block (receive, send, send/receive, the server
/// tray's commands, sorting, backup, import) on a worker thread, one at a
/// time, for the main window and for the dialogs that run a work alike,
/// with what mailflow asks of a front end: progress lines, sounds, the
/// clock and the stop request of the cancel button.
///
/// The work starts when the event loop next turns, not in start() itself,
/// so a stop the user asks for in the same turn (a cancel right after the
/// start) is in place before the workflow takes its first step.
///
/// While it runs, a timer on the application's thread pumps the document's
/// core::Messages (the boxes the workflow and its sessions ask for are shown
/// there, the worker waiting for the answer) and hands on the newest
/// progress line: a workflow reports once a record or a block, far more
/// often than a person can read, so lines in between are dropped, but the
/// last one always arrives. What the caller does after the work (`done` of
/// start(): refreshing the tree, reading the result) runs on the window's
/// thread when it ends.
///
/// The runner lives on the application's thread. Destroying it while the
/// work runs insists on the stop and waits for the end, still showing the
/// boxes asked for; owners avoid that by not closing while busy().
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "core/Messages.h"
#include "core/Progress.h"
#include "mailflow/FrontEnd.h"
#include "mailflow/StopRequest.h"
#include "platform/Sound.h"

namespace zorvik::ui {

class WorkflowRunner : public QObject {
  Q_OBJECT

public:
  using Work = std::function<void(mailflow::FrontEnd& front)>;

  /// `messages` (the document's) must outlive the runner.
  explicit WorkflowRunner(core::Messages& messages, QObject* parent = nullptr);
  ~WorkflowRunner() override;

  /// The sound the works ring (a tray's arrival sound when sorting); it
  /// must outlive the runner. Null, the default: the desktop's bell.
  void setSound(platform::Sound* sound);

  /// Starts `work` on a worker thread once the event loop turns; `done`
  /// follows on this thread after it. False (and nothing started) while a
  /// work runs.
  bool start(Work work, std::function<void()> done = {});
  /// Between start() and the end of the work (before `done` runs).
  bool busy() const { return busy_; }

  /// The user's stop: the first lets the work end after the mail in hand,
  /// a second breaks off at once.
  void requestStop() { stop_.request(); }
  bool stopRequested() const { return stop_.requested(); }
  /// Waits for the running work, showing the boxes it asks for (tests,
  /// and the window's close).
  void wait();

signals:
  /// The newest progress line (Unicode) and the share it tells (-1: none).
  void progress(const QString& line, int percent);
  /// A work begins (true) or has ended (false, just before its `done`).
  void busyChanged(bool busy);

private:
  // The newest line a workflow reported, taken by the timer.
  class LatestLine final : public core::Progress {
  public:
    void step(const std::string& text) override;
    /// The line reported since the last take, if any.
    bool take(std::string& line);

  private:
    std::mutex mutex_;
    std::string line_;
    bool fresh_ = false;
  };

  void launch();
  void poll();
  void forwardProgress();

  core::Messages& messages_;
  std::unique_ptr<platform::Sound> bell_;
  platform::Sound* sound_;
  LatestLine progress_;
  mailflow::StopRequest stop_;
  std::optional<mailflow::FrontEnd> front_;
  QTimer timer_;
  Work work_;
  std::function<void()> done_;
  std::thread thread_;
  std::atomic<bool> ended_{false};
  bool busy_ = false;
};

}  // namespace zorvik::ui
