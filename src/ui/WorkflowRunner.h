/// \file
/// Runs one workflow of src/mailflow for a dialog on a worker thread, with
/// the front end the workflow needs: the latest progress line, the sound,
/// the system clock and a stop request the dialog's cancel button sets.
///
/// The work starts when the event loop next turns, not in start() itself,
/// so a stop the user asks for in the same turn (a cancel right after the
/// start) is in place before the workflow takes its first step.
///
/// While it runs, a timer on the application's thread pumps the document's
/// core::Messages (the boxes the workflow and its sessions ask for are shown
/// there, the worker waiting for the answer) and hands on the newest
/// progress line: a workflow reports once a record or a block, far more
/// often than a person can read, so lines in between are dropped.
///
/// The runner lives on the application's thread. Destroying it while the
/// work runs insists on the stop and waits for the end, still showing the
/// boxes asked for; owners avoid that by not closing while running().
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <atomic>
#include <functional>
#include <mutex>
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

  /// `messages` (the document's) and `sound` must outlive the runner; no
  /// sound means silence (work that sorts rings the trays' arrival sounds).
  WorkflowRunner(core::Messages& messages, platform::Sound* sound, QObject* parent = nullptr);
  ~WorkflowRunner() override;

  /// Starts `work` on a worker thread once the event loop turns. False (and
  /// nothing started) while a work runs.
  bool start(Work work);
  /// Between start() and the end of the work.
  bool running() const { return running_; }

  /// The user's stop: the first lets the work end after the mail in hand,
  /// a second breaks off at once.
  void requestStop() { stop_.request(); }
  bool stopRequested() const { return stop_.requested(); }

signals:
  /// The newest progress line (Unicode) and the share it tells (-1: none).
  void progressed(const QString& line, int percent);
  /// The work has ended; what it wrote for its caller may be read now.
  void finished();

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
  platform::SilentSound silence_;
  LatestLine progress_;
  mailflow::StopRequest stop_;
  mailflow::FrontEnd front_;
  QTimer timer_;
  Work work_;
  std::thread thread_;
  std::atomic<bool> done_{false};
  bool running_ = false;
};

}  // namespace zorvik::ui
