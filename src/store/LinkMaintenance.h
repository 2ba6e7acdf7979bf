/// \file
/// Keeps the links of the store pointing at their mails when the mails
/// change place: after a tray or cabinet is renamed or moved, after a tray is
/// compacted, after a mail is moved, and when a mail goes away (its links
/// are released, so they neither dangle nor point at whatever record takes
/// the place later).
///
/// Links are found by walking every tray of the store: the visible tree and
/// the holding cabinets ".Xcut" and ".Xcopy". One pass serves a whole batch
/// of changes, so compacting a tray with thousands of referenced mails reads
/// every other index once, not once per mail.
///
/// A tray that another operation holds past the lock retries (a compaction
/// of a large tray, say) is tried again after the rest of the store; trays
/// still out of reach after that are returned, so the command can say that
/// their links may read as broken.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/LinkRecord.h"
#include "store/TrayName.h"

namespace zorvik::store {

/// A mail (or a link record) by tray name and record index.
struct MailPlace {
  std::string tray;
  std::uint32_t index = 0;
  auto operator<=>(const MailPlace&) const = default;
};

class LinkMaintenance {
public:
  /// How many links to one mail are looked for at most: the count field
  /// allows 15, and one more shows a count that was already wrong.
  static constexpr std::size_t kMostLinksFound = 16;

  explicit LinkMaintenance(StoreLocation store) : store_(std::move(store)) {}

  /// The live link records that point at `mail` (at most kMostLinksFound).
  std::vector<MailPlace> linksTo(const MailPlace& mail) const;

  /// After tray `oldName` became `newName` (or, with `cabinet`, every tray
  /// below cabinet `oldName` moved below `newName`): every link naming an old
  /// tray names the new one, same index. Returns the trays not updated.
  std::vector<std::string> followRename(std::string_view oldName, std::string_view newName, bool cabinet) const;

  /// After mails changed place: every link pointing at a key of `moves`
  /// points at its value. Returns the trays not updated.
  std::vector<std::string> followMoves(const std::map<MailPlace, MailPlace>& moves) const;

  /// Releases every link that points at `mail`: each link is marked deleted
  /// and the mail's count goes down with it. Returns how many were released.
  std::size_t releaseLinksTo(const MailPlace& mail) const;

  /// Compacts tray `name` and then moves the links that pointed at its
  /// moved mails. False when compaction failed (nothing was changed then);
  /// trays whose links could not be updated are added to `missed`.
  bool compact(std::string_view name, std::vector<std::string>* missed = nullptr) const;

  /// Every tray of the store, visible or held in ".Xcut" and ".Xcopy".
  std::vector<std::string> allTrays() const;

private:
  /// The new form of a live link, or nothing to leave it as it is.
  using LinkChange = std::function<std::optional<LinkRecord>(const LinkRecord&)>;
  /// Applies `change` to the links of every tray but `skipped`.
  std::vector<std::string> rewriteLinks(const LinkChange& change, std::string_view skipped = {}) const;
  bool rewriteTray(const std::string& tray, const LinkChange& change) const;

  StoreLocation store_;
};

}  // namespace zorvik::store
