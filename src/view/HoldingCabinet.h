/// \file
/// Cut, copy and paste of mails, trays and cabinets. Cut moves the selected
/// item into the holding cabinet ".Xcut" (mails into its tray "_tmp") at
/// once; copy puts a copy into ".Xcopy" (mails into ".Xcopy/_tmp"); paste
/// moves what is held into the selected cabinet (trays and cabinets) or
/// tray (mails). Held items are on disk, so they survive a restart and
/// paste still finds them.
///
///  - A new copy replaces an earlier copy that was not pasted: the earlier
///    one was only a copy.
///  - Cut items are never dropped: a second cut adds to the first, and a
///    paste brings back everything held, so nothing stays hidden in the
///    holding cabinet where the tree does not show it.
///  - System trays and the top cabinet are not cut or copied (the settings
///    name them where they are).
///  - A paste into a cabinet where a name is taken leaves that item held
///    (the store's 40240 says so) and goes on with the others.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/ItemValues.h"
#include "core/Messages.h"
#include "store/MailOperations.h"
#include "store/StoreLocation.h"

namespace zorvik::view {

class HoldingCabinet {
public:
  static constexpr std::string_view kCut = ".Xcut";
  static constexpr std::string_view kCopy = ".Xcopy";
  static constexpr std::string_view kMailTray = "_tmp";

  /// `zoneHours` names the attachment folders of copied mails by date.
  HoldingCabinet(store::StoreLocation store, const core::ItemValues& settings, core::Messages& messages,
                 int zoneHours);

  /// Holds mails `indices` of `tray`: moved (cut) or copied. False when
  /// nothing could be held.
  bool holdMails(const std::string& tray, const std::vector<std::uint32_t>& indices, bool cut);
  /// Holds the tray or cabinet `path`.
  bool holdNode(const std::string& path, bool cut);

  /// Whether mails, or trays and cabinets, are held.
  bool holdsMails() const;
  bool holdsNodes() const;
  bool filled() const { return holdsMails() || holdsNodes(); }

  /// Moves the held mails into tray `target`; how many went.
  std::size_t pasteMails(const std::string& target);
  /// Moves the held trays and cabinets into cabinet `target`; how many went.
  std::size_t pasteNodes(const std::string& target);

private:
  store::MailOperations mailOperations() const;
  std::string mailTray(std::string_view holding) const;
  std::vector<std::string> heldNodes(std::string_view holding) const;
  bool ensureMailTray(std::string_view holding);
  void dropCopies();
  bool copyNode(const std::string& path, const std::string& target);

  store::StoreLocation store_;
  const core::ItemValues& settings_;
  core::Messages& messages_;
  int zoneHours_;
};

}  // namespace zorvik::view
