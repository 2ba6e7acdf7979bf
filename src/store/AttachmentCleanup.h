/// \file
/// Finds the entries of the attachment root (".inc" in the top cabinet)
/// that no mail of the store refers to, and removes them on request; and
/// lets go of the folders of deleted mails. A mail with attachments refers
/// to the folder of its "X-Zorvik-AttachDir: " line, or, in mails stored
/// before that line existed, to the folder named by its Message-Id. Every
/// tray is read, the holding cabinets ".Xcut" and ".Xcopy" included, and the
/// new-mail work file, whose mails wait there after a receive that did not
/// finish: a folder is only ever called unreferenced when nothing that
/// could show its mail names it.
///
/// Two live mails can name one folder (the copy and the original of a move
/// whose original could not be marked deleted): a deleted mail's folder
/// therefore goes only when no live mail of the store names it any more.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "store/TrayName.h"

namespace zorvik::store {

class AttachmentCleanup {
public:
  /// `workFile` is the new-mail work file (a tray name, as the working
  /// directories give it); empty when there is none to look at.
  explicit AttachmentCleanup(StoreLocation store, std::string workFile = {})
      : store_(std::move(store)), workFile_(std::move(workFile)) {}

  /// The folder names that mails of `tray` refer to (their attachment flag
  /// set), whether the folders exist or not.
  std::set<std::string> referencedBy(const std::string& tray) const;
  /// Every folder name the store and the work file refer to; empty when a
  /// tray could not be read (then no folder may be called unreferenced).
  std::optional<std::set<std::string>> referenced() const;
  /// The names in the attachment root that no mail refers to, sorted; none
  /// when a tray could not be read.
  std::vector<std::string> unreferenced() const;
  /// Removes those of `folders` (of the attachment root of `tray`, whose
  /// mails naming them were just deleted) that no live mail names any more:
  /// in the store, every tray is asked; outside it (a backup tree) the tray
  /// itself. Returns how many went.
  std::size_t release(std::string_view tray, const std::vector<std::string>& folders) const;
  /// Removes the named entries of the attachment root (folders with their
  /// content, files); returns how many went.
  std::size_t remove(const std::vector<std::string>& names) const;

  /// "参照されていない添付ファイルはありません．" (Shift_JIS).
  static const std::string& noneText();
  /// The question listing `names`, one a line (Shift_JIS).
  static std::string questionText(const std::vector<std::string>& names);

private:
  std::string root() const;
  /// Adds the folders `tray` refers to; false when it cannot be read.
  bool collect(const std::string& tray, std::set<std::string>& folders) const;
  /// Adds the folders named in the header of a mail in the work file.
  void collectWorkFile(std::set<std::string>& folders) const;

  StoreLocation store_;
  std::string workFile_;
};

}  // namespace zorvik::store
