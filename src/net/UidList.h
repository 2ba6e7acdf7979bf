/// \file
/// The ".uid" file beside the mail-server tray: which UIDL identifier belongs
/// to which copy in the tray, kept between sessions. One CR LF line per copy,
/// "<tray index> <identifier>". Lines of mails without a copy are not
/// written; a file with no line is not kept at all.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "net/ServerMailEntry.h"

namespace zorvik::net {

class UidList {
public:
  /// Reads `path`; a missing or unreadable file gives an empty list. Lines
  /// without a valid index or identifier are skipped.
  static UidList load(std::string_view path);

  /// The tray index stored for `uid`.
  std::optional<int> find(const std::string& uid) const;

  /// Rewrites `path` whole from `entries` (atomically, so a crash leaves the
  /// old file or the new one). Deletes it when no entry has both an
  /// identifier and a copy. False when the file could not be written; it is
  /// then removed, and the next session matches every mail by its header.
  static bool save(std::string_view path, const std::vector<ServerMailEntry>& entries);
  static bool remove(std::string_view path);
  /// Adds one line for a copy made during a session, at once: a session
  /// that dies before its end (when the whole file is rewritten) leaves the
  /// identifiers of the copies it made, so the mails it fetched are known
  /// for what they are. A later line for the same identifier wins.
  static bool append(std::string_view path, int trayIndex, const std::string& uid);

private:
  std::unordered_map<std::string, int> indexOf_;
};

}  // namespace zorvik::net
