/// \file
/// Carries out sorting decisions for the mails of one tray: each mail goes
/// into the tray chosen for it, with a link left behind when that tray asks
/// for one, the tray's arrival sound is sounded, and every decision is
/// written to the sorting log.
///
/// Decisions are made first (in a manual run the user is asked here) and
/// the moves follow, one batch per chosen tray in the order the trays were
/// first chosen, the mails of a batch in their order. Moving a mail one at a
/// time would open and scan the source tray once per mail; a batch does it
/// once per tray, and each batch is made safe against a kill by SortJournal.
///
/// Mails are found again by their record before they are moved: between
/// choosing and applying the user may have deleted or compacted (the
/// threaded levels of automatic sorting), so a mail that is no longer at its
/// index is looked for in the whole tray, and one that is gone is skipped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/Messages.h"
#include "message/MailRecord.h"
#include "platform/Clock.h"
#include "platform/Sound.h"
#include "sorting/SortEnvironment.h"
#include "sorting/SortingLog.h"
#include "sorting/TrayChooser.h"

namespace zorvik::sorting {

/// One mail's choice, kept between choosing and applying.
struct SortDecision {
  std::uint32_t index = 0;   // where the mail was when it was chosen
  std::string identity;      // StoredMailReader::identity of its record
  message::MailRecord mail;  // its record as it was read
  SortChoice choice;
};

struct SortOutcome {
  std::size_t moved = 0;      // into the chosen tray
  std::size_t unmatched = 0;  // no tray was chosen
  std::size_t stayed = 0;     // chosen its own tray, or the user said no
  std::size_t missing = 0;    // gone before it could be moved, or the move failed
  bool traysCreated = false;  // the tray tree changed

  SortOutcome& operator+=(const SortOutcome& other);
};

class SortApplier {
public:
  /// The notice that a mail was sorted into the tray it is already in, in a
  /// manual run; true is the answer "すべて無視" (no more notices in this
  /// command).
  using SameTrayNotice = std::function<bool(const std::string& subject, const std::string& tray)>;

  /// Everything must outlive the applier.
  SortApplier(const SortEnvironment& environment, core::Messages& messages, platform::Sound& sound,
              const platform::Clock& clock, bool manual, SameTrayNotice notice = {});

  /// Applies `decisions` for mails of `sourceTray`.
  SortOutcome apply(const std::string& sourceTray, std::vector<SortDecision> decisions);

  /// Sounds a tray's arrival sound value: nothing when empty, the system
  /// beep for "0x" and a hexadecimal type, otherwise the wave file it names.
  static void soundArrival(platform::Sound& sound, const std::string& value);

private:
  struct Batch;

  bool decide(const std::string& sourceTray, SortDecision& decision, SortOutcome& outcome);
  void move(const std::string& sourceTray, const Batch& batch, SortOutcome& outcome);
  /// Notes a decision for the log; flushLog() writes the noted lines.
  void log(const std::string& sourceTray, const message::MailRecord& mail, const std::string& destination);
  void flushLog();

  const SortEnvironment& environment_;
  core::Messages& messages_;
  platform::Sound& sound_;
  const platform::Clock& clock_;
  bool manual_;
  SameTrayNotice notice_;
  bool noticesIgnored_ = false;
  std::vector<SortingDecision> pendingLog_;
};

}  // namespace zorvik::sorting
