/// \file
/// The user's sorting command on a tray: one selected mail, or every mail of
/// the tray when none is selected. Every tray takes part, whatever its
/// auto-sort switch. The user is told when no tray fits (40131), is asked
/// before a mail leaves without a link behind it (40126), and sees a notice
/// for a mail that belongs where it is, until answering "ignore all".
///
/// Link rows are passed over: their mail lives in another tray, and sorting
/// it is that tray's business.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/Messages.h"
#include "platform/Clock.h"
#include "platform/Sound.h"
#include "sorting/SortApplier.h"
#include "sorting/SortEnvironment.h"

namespace zorvik::sorting {

class ManualSorter {
public:
  /// The references must outlive the sorter.
  ManualSorter(const SortEnvironment& environment, core::Messages& messages, platform::Sound& sound,
               const platform::Clock& clock, SortApplier::SameTrayNotice notice = {});

  /// Sorts mail `index` of `tray`, or every mail of it without an index.
  /// The rule set is built anew and the notice enabled for each call.
  SortOutcome sort(const std::string& tray, std::optional<std::uint32_t> index = std::nullopt);

private:
  const SortEnvironment& environment_;
  core::Messages& messages_;
  platform::Sound& sound_;
  const platform::Clock& clock_;
  SortApplier::SameTrayNotice notice_;
};

}  // namespace zorvik::sorting
