/// \file
/// Sorting of the mails a receive has just put into the new-mail tray.
///
/// The caller hands over the range of records the receive added. Choosing
/// reads each mail (deleted records and fragments of split mails are passed
/// over) and keeps a copy of its record with the chosen tray; applying finds
/// each mail again by its record, since positions may have moved meanwhile,
/// and moves it (see SortApplier). A batch cut short by a killed process is
/// finished at the start of the next run.
///
/// The thread level decides where the halves run:
///   Inline          both before start() returns;
///   ChooseOnWorker  choosing on a worker thread, applying on the caller's
///                   thread in pump() once the worker is done;
///   AllOnWorker     both on the worker.
/// At the threaded levels the worker calls `wake` when it is done (the
/// desktop client posts its sorting-finished message from there); the
/// owner then calls pump(), which ends the run and calls `finished`. Boxes
/// the worker shows (a log that cannot be written) wait for the owner's
/// Messages::pump(), as every worker's do.
///
/// The process-wide sorting-running mark is held from start() until the
/// run has ended: a second start() meanwhile is refused, and the receive
/// commands are to stay disabled.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <thread>

#include "core/Messages.h"
#include "platform/Clock.h"
#include "platform/Sound.h"
#include "sorting/SortApplier.h"
#include "sorting/SortEnvironment.h"

namespace zorvik::core {
class SettingsFile;
}

namespace zorvik::sorting {

class AutoSorter {
public:
  using Finished = std::function<void(const SortOutcome&)>;
  using Wake = std::function<void()>;

  /// The references must outlive the sorter; `wake` may be empty when the
  /// owner polls pump() or uses wait().
  AutoSorter(SortEnvironment environment, core::Messages& messages, platform::Sound& sound,
             const platform::Clock& clock, Wake wake = {});
  /// Waits for a worker still running; a run not yet pumped ends unfinished
  /// (its mails stay in the new-mail tray, where the next run finds them).
  ~AutoSorter();
  AutoSorter(const AutoSorter&) = delete;
  AutoSorter& operator=(const AutoSorter&) = delete;

  /// Sorts records [first, first + count) of the new-mail tray. False,
  /// starting nothing, while a run holds the sorting mark. At the inline
  /// level `finished` has been called when this returns.
  bool start(std::uint32_t first, std::uint32_t count, Finished finished);

  /// On the owner's thread: does what the worker left for it. True when no
  /// run is active any more (the finished callback has been called).
  bool pump();
  /// On the owner's thread: pumps messages and this sorter until the run
  /// has ended (what a program without an event loop does).
  void wait();
  bool running() const { return active_; }

  /// A whole run on the calling thread's behalf, whatever the level: starts
  /// it and waits for its end. Empty when another run holds the mark. This
  /// is what a program without an event loop (zorvik-cli) does after a
  /// receive.
  static std::optional<SortOutcome> runToEnd(const SortEnvironment& environment, std::uint32_t first,
                                             std::uint32_t count, core::Messages& messages, platform::Sound& sound,
                                             const platform::Clock& clock);

private:
  void choose();
  void applyChosen();
  void end();

  SortEnvironment environment_;
  core::Messages& messages_;
  platform::Sound& sound_;
  const platform::Clock& clock_;
  Wake wake_;

  bool active_ = false;
  std::uint32_t first_ = 0;
  std::uint32_t count_ = 0;
  Finished finished_;
  std::vector<SortDecision> decisions_;
  SortOutcome outcome_;
  std::thread worker_;
  std::atomic<bool> workerDone_{false};
};

}  // namespace zorvik::sorting
