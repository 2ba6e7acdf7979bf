/// \file
/// What the user does to mails: copy, move and link them into other trays,
/// delete them (into the trash or for good), release link rows, change
/// their read state and marks. Mails are addressed by tray name and record
/// index; a batch of indices is handled with few openings of the files, so
/// moving ten thousand mails costs about as much as copying their bytes.
///
/// Order of the steps, so that a process killed half way loses no mail: the
/// new copy is written (text before record) before the original is marked
/// deleted. A kill in between leaves the mail in both trays, never in none.
///
/// Links follow their mail: a moved mail keeps its reference count and the
/// links that pointed at it point at its new place; a mail that goes to the
/// trash or is deleted for good has its links released first, and its copy
/// in the trash starts with no references. A copy is a new mail with no
/// links and, when it has attachments, a folder of its own.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/LinkMaintenance.h"
#include "store/MailCopy.h"
#include "store/TrayFile.h"

namespace zorvik::store {

class MailOperations {
public:
  /// For each requested index, where the mail now is in the destination;
  /// empty for a mail that was not readable or could not be written.
  using Placed = std::vector<std::optional<std::uint32_t>>;

  /// `trashTray` is the trash (settings item 206); `zoneHours` names new
  /// attachment folders by the user's date; `serverTray` (item 212) holds
  /// the server's list, whose rows are never deleted or changed here (the
  /// server operations do that).
  MailOperations(StoreLocation store, std::string trashTray, int zoneHours = MailCopy::kDefaultZoneHours,
                 std::string serverTray = {});

  /// Copies live mails of `from` to the end of `to`; a link row copies the
  /// mail it points at. The copies have no references; with `linksFollow`
  /// a copy keeps the original's count and the links that pointed at the
  /// original point at the copy (a merge that keeps the references).
  Placed copy(std::string_view from, const std::vector<std::uint32_t>& indices, std::string_view to,
              bool linksFollow = false) const;
  /// What a move did: where each mail now is, as for a copy, and the
  /// indices in the source tray of the originals that were copied but could
  /// not be marked deleted (the source's index held by another operation
  /// past the retries, a failed write): those mails are now in both trays.
  struct MoveResult {
    Placed placed;
    std::vector<std::uint32_t> notRemoved;
  };

  /// Moves mails: the copy, then the original marked deleted (its
  /// attachment folder goes with the mail). A link row moves as a link.
  MoveResult move(std::string_view from, const std::vector<std::uint32_t>& indices, std::string_view to) const;
  /// Links mail `index` of `from` into `to` (see TrayFile::linkInto); a link
  /// row is never linked again and fails.
  LinkResult link(std::string_view from, std::uint32_t index, std::string_view to,
                  std::uint32_t* newIndex = nullptr) const;

  /// Puts mail `newIndex` of `tray` in the place of mail `oldIndex` of the
  /// same tray (a rewritten form of it, appended): the new mail takes the
  /// old one's read state, mark, replied mark and references, the links to
  /// the old mail point at the new one, and the old mail goes to the trash
  /// (for good when `tray` is the trash). False, both mails left as they
  /// are, when either is not a live stored mail or its record cannot be
  /// written; false too when the old mail could not be removed (then both
  /// stay, the links on the new one).
  bool replace(std::string_view tray, std::uint32_t oldIndex, std::uint32_t newIndex) const;

  /// Deletes mails: a link row is released; a mail goes to the trash, or is
  /// deleted for good (attachment folder too) with `forGood` or when `tray`
  /// is the trash. Returns how many rows went; false results are counted out.
  std::size_t remove(std::string_view tray, const std::vector<std::uint32_t>& indices, bool forGood) const;
  /// Releases the rows of `indices` that are links; returns how many.
  std::size_t releaseLinks(std::string_view tray, const std::vector<std::uint32_t>& indices) const;
  /// Releases every link row of `tray`; returns how many.
  std::size_t releaseAllLinks(std::string_view tray) const;

  /// Sets or clears the opened bit of each mail (a link's on the mail it
  /// points at); with `thenReleaseLinks`, link rows are released afterwards.
  bool setOpened(std::string_view tray, const std::vector<std::uint32_t>& indices, bool opened,
                 bool thenReleaseLinks = false) const;
  /// The same for every live record of `tray`.
  bool setTrayOpened(std::string_view tray, bool opened, bool thenReleaseLinks = false) const;
  /// Sets the mark (0 clears, 1-5) of one mail, a link's on its mail.
  bool setMark(std::string_view tray, std::uint32_t index, int mark) const;

  /// The live indices of `tray`, links included.
  std::vector<std::uint32_t> liveIndices(std::string_view tray) const;

private:
  enum class Transfer { Copy, CopyFollowed, Move, ToTrash };
  MoveResult transfer(std::string_view from, const std::vector<std::uint32_t>& indices, std::string_view to,
                      Transfer kind) const;
  /// Marks records deleted (then a stored mail's separator overwritten)
  /// with one opening of the files; empties the tray when nothing is left.
  /// Returns the indices whose deleted bit could not be written.
  std::vector<std::uint32_t> deleteRecords(std::string_view tray, const std::vector<std::uint32_t>& indices) const;
  /// Returns how many of `mails` were deleted.
  std::size_t deleteForGood(std::string_view tray, const std::vector<TrayRecord>& mails) const;

  StoreLocation store_;
  std::string trash_;
  int zoneHours_;
  std::string server_;
  LinkMaintenance links_;
};

}  // namespace zorvik::store
