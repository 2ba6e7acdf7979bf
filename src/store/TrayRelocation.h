/// \file
/// Gives a tray a new name, in its own cabinet (rename) or in another one
/// (move): every file of the tray goes, that is every file of its cabinet
/// named like the tray followed by ".xm" and one more character, in any
/// letter case (text, index, and what else the tray keeps beside them).
///
/// The files are first given their new names as hard links, so for a while
/// the tray is complete under both names; only then are the old names
/// removed, the index first. Where no hard link can be made (vfat, exFAT,
/// some network shares, a cabinet on another file system) the new names are
/// whole copies instead, made under the old index's lock in the same order.
/// A process killed at any point leaves at least one complete tray, and the
/// caller rewrites the links of the store while both names are valid, so no
/// link ever points at a missing tray. Running the same relocation again
/// after such a kill finishes it (a copy left behind counts as the tray's
/// own when its bytes are the same).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "store/TrayName.h"

namespace zorvik::store {

enum class RelocationResult {
  Done,
  NoSuchTray,  // the tray has no index file
  NameTaken,   // something of the new name is already there
  Failed,      // a file could not be linked or removed; nothing was changed
};

class TrayRelocation {
public:
  TrayRelocation(StoreLocation store, std::string from, std::string to);

  /// Relocates the tray; `whileBoth` runs when the tray exists under both
  /// names (the place to rewrite links), then the old names are removed.
  RelocationResult run(const std::function<void()>& whileBoth = {}) const;

  /// The full paths of every file of tray `tray` (index and text included).
  static std::vector<std::string> filesOf(const StoreLocation& store, std::string_view tray);

private:
  /// The file names (without directory) of the tray in its cabinet.
  std::vector<std::string> trayFiles() const;
  /// Gives `files` their new names, as hard links or with `copy` as copies;
  /// on failure the names made are taken back.
  bool giveNewNames(const std::vector<std::string>& files, bool copy) const;
  void removeOldNames(const std::vector<std::string>& files) const;
  std::string newFileName(std::string_view oldFileName) const;

  StoreLocation store_;
  std::string from_;
  std::string to_;
  std::string fromDirectory_;
  std::string fromBase_;
  std::string toDirectory_;
  std::string toBase_;
};

}  // namespace zorvik::store
