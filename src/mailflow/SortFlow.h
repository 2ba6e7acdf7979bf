/// \file
/// Sorting as the front ends start it: after mails arrived in the new-mail
/// tray (by a receive, a delivery or a fetch from the mail-server tray),
/// over a range of the new-mail tray as a receive would (zorvik-cli
/// `sort --auto`), and the user's sorting of a tray or one mail. Every run
/// works on the document's store, so each move passes the free-space check.
///
/// After an intake the caller already holds the store's lock; the other two
/// take it (44202 while another writer works).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "mailflow/FrontEnd.h"
#include "sorting/SortApplier.h"

namespace zorvik::mailflow {

class Document;
struct Intake;

class SortFlow {
public:
  /// Sorts what `intake` put into the new-mail tray when the settings ask
  /// for sorting after a receive (item 707). Empty when nothing was sorted.
  static std::optional<sorting::SortOutcome> afterIntake(const Document& document, FrontEnd& front,
                                                         const Intake& intake);
  /// Sorts records [first, first + count) of the new-mail tray as after a
  /// receive, whatever item 707 says. Empty when the store is busy.
  static std::optional<sorting::SortOutcome> newMail(const Document& document, FrontEnd& front,
                                                     std::uint32_t first, std::uint32_t count);
  /// The user's sorting of mail `index` of `tray`, or of every mail of it.
  /// Empty when the store is busy.
  static std::optional<sorting::SortOutcome> tray(const Document& document, FrontEnd& front,
                                                  const std::string& tray, std::optional<std::uint32_t> index,
                                                  sorting::SortApplier::SameTrayNotice notice);
};

}  // namespace zorvik::mailflow
