/// \file
/// What the user does to cabinets and trays in the tree: create them (with
/// the free-name rule or by exact path), rename them, delete them by the
/// tree's rules, move them into another cabinet, clear their links, change
/// the read state of all their mails and compact trays. Names are paths
/// relative to the top cabinet; "" is the top cabinet, which is never
/// renamed, moved or deleted.
///
/// These are the commands' flows: they ask the numbered questions and show
/// the numbered errors through `messages`, and return whether the work was
/// done. Every rename and move keeps the store's links pointing at their
/// mails; a tray whose links could not be updated (another operation held
/// it) is named in a status for the caller (see missedTrays()).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ItemValues.h"
#include "core/Messages.h"
#include "store/LinkMaintenance.h"
#include "store/MailOperations.h"
#include "store/TrayName.h"

namespace zorvik::store {

enum class ReadState { Opened, Unread, OpenedClearLinks };

/// What deleting a tray did, for the command to say: how many mails went to
/// the trash (or, from the trash itself, were deleted for good) and whether
/// the tray's files went too.
struct TrayRemoval {
  std::string tray;
  std::size_t mails = 0;
  bool forGood = false;
  bool trayRemoved = false;
  bool operator==(const TrayRemoval&) const = default;
};

class TreeOperations {
public:
  TreeOperations(StoreLocation store, const core::ItemValues& settings, core::Messages& messages);

  /// A new cabinet or tray in `cabinet` named by the free-name rule from
  /// settings item 207 or 208; its path, or empty after an error (40210 or
  /// 40212 when `cabinet` is no cabinet, 40211 or 40213 when the creation
  /// failed). A new tray inherits from the nearest ".Default" tray.
  std::optional<std::string> newCabinet(std::string_view cabinet);
  std::optional<std::string> newTray(std::string_view cabinet);
  /// Creates exactly `path`; its parent cabinet must exist, the name must
  /// be free and valid.
  bool createCabinet(std::string_view path);
  bool createTray(std::string_view path);

  /// Renames a cabinet or tray in its cabinet; links follow.
  bool rename(std::string_view path, std::string_view newName);
  /// Deletes a cabinet or tray by the tree's rules, asking first. A tray's
  /// mails go to the trash as the delete command sends them (for good only
  /// from the trash itself); its files go after them when its flags allow
  /// it, and not at all while a mail could not be moved.
  bool remove(std::string_view path);
  /// What the last remove() of a tray did (empty tray name otherwise).
  const TrayRemoval& lastTrayRemoval() const { return removal_; }
  /// Moves a tray or cabinet into `cabinet`; refused (40240) when the name
  /// is taken there or a cabinet would go into itself.
  bool move(std::string_view path, std::string_view cabinet);
  /// Releases the link rows of a tray, or (after question 40121) of every
  /// tray below a cabinet; returns how many.
  std::size_t clearLinks(std::string_view path);
  /// Changes every mail of a tray or of every tray below a cabinet, after
  /// question 40127 or 40128. The mail server tray is left alone.
  bool setReadState(std::string_view path, ReadState state);
  /// Compacts a tray, links following the moved mails.
  bool compact(std::string_view tray);
  /// Removes a tray without asking: its links and the links into it are
  /// released, its mails and attachment folders go, then its files.
  bool discardTray(std::string_view tray);
  /// Empties a tray without asking: its link rows are released, then every
  /// mail it holds is deleted for good, and after that the links that
  /// pointed at it and the attachment folders no other mail names go.
  bool emptyTray(std::string_view tray);

  /// Trays whose links the last rename, move or compaction could not update.
  const std::vector<std::string>& missedTrays() const { return missed_; }
  /// The trays below `cabinet` (all levels).
  std::vector<std::string> traysBelow(std::string_view cabinet) const;
  /// True when `path` names an existing tray; false for cabinets.
  bool isTray(std::string_view path) const;

private:
  std::optional<std::string> newEntry(std::string_view cabinet, bool tray);
  bool deleteCabinet(std::string_view path);
  bool deleteTray(std::string_view path);
  /// Sends every mail of `tray` to the trash (for good from the trash) and
  /// releases its link rows; false when a mail stayed.
  bool trashMails(std::string_view tray);
  /// Removes the files of `tray`, the index first.
  bool removeTrayFiles(std::string_view tray) const;
  bool relocate(std::string_view path, const std::string& target);
  std::string displayName(std::string_view path) const;

  StoreLocation store_;
  const core::ItemValues& settings_;
  core::Messages& messages_;
  LinkMaintenance links_;
  MailOperations mails_;
  std::vector<std::string> missed_;
  TrayRemoval removal_;
};

}  // namespace zorvik::store
