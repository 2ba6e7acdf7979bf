/// \file
/// Finds the entries of the attachment root (".inc" in the top cabinet)
/// that no mail of the store refers to, and removes them on request. A mail
/// with attachments refers to the folder of its "X-Zorvik-AttachDir: " line,
/// or, in mails stored before that line existed, to the folder named by its
/// Message-Id. Every tray is read, the holding cabinets ".Xcut" and ".Xcopy"
/// included: a folder is only ever called unreferenced when no tray that
/// could show its mail names it.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "store/TrayName.h"

namespace zorvik::store {

class AttachmentCleanup {
public:
  explicit AttachmentCleanup(StoreLocation store) : store_(std::move(store)) {}

  /// The folder names that mails of `tray` refer to (their attachment flag
  /// set), whether the folders exist or not.
  std::set<std::string> referencedBy(const std::string& tray) const;
  /// The names in the attachment root that no mail refers to, sorted.
  std::vector<std::string> unreferenced() const;
  /// Removes the named entries of the attachment root (folders with their
  /// content, files); returns how many went.
  std::size_t remove(const std::vector<std::string>& names) const;

  /// "参照されていない添付ファイルはありません．" (Shift_JIS).
  static const std::string& noneText();
  /// The question listing `names`, one a line (Shift_JIS).
  static std::string questionText(const std::vector<std::string>& names);

private:
  std::string root() const;

  StoreLocation store_;
};

}  // namespace zorvik::store
