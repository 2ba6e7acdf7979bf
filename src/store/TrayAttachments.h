/// \file
/// Finds and removes the attachment folder of a stored mail. The folder is
/// named by the mail's "X-Zorvik-AttachDir: " header line and lies in the
/// attachment root: ".inc" in the top cabinet for a tray of the store; for a
/// tray outside it, the first "<level>/.inc" directory that exists along the
/// tray's path, from the root down, else the tray's own path.
///
/// The folder name comes from mail text, so it is trusted only when it is a
/// single plain name: a damaged or forged line such as "../../home" must
/// never lead to removing anything outside the attachment root.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "store/TrayName.h"

namespace zorvik::store {

class TrayAttachments {
public:
  /// The folder name of a header block (lines joined with CR LF), when it
  /// has an attachment line naming a usable folder.
  static std::optional<std::string> folderName(std::string_view header);
  /// The folder of a mail stored before folders were named in the header:
  /// its Message-Id without the angle brackets, when that is a usable name.
  static std::optional<std::string> messageIdFolderName(std::string_view header);

  /// The attachment root for the tray `trayName`.
  static std::string root(const StoreLocation& store, std::string_view trayName);

  /// Removes the folder `folder` of tray `trayName` with its content; true
  /// when it is gone afterwards.
  static bool removeFolder(const StoreLocation& store, std::string_view trayName,
                           std::string_view folder);
};

}  // namespace zorvik::store
