/// \file
/// The desktop shortcut a first start leaves for the new account: a
/// ".desktop" launcher named "Zorvik(<account>).desktop" in the user's
/// desktop folder that starts the client with the new settings file.
#pragma once

#include <string>
#include <string_view>

namespace zorvik::platform {

/// The user's desktop folder (Shift_JIS): XDG_DESKTOP_DIR of
/// "$XDG_CONFIG_HOME/user-dirs.dirs" (what `xdg-user-dir DESKTOP` reads),
/// else "$HOME/Desktop". Empty without a home directory.
std::string desktopDirectory();

/// A desktop entry argument in double quotes (UTF-8), with the escapes
/// that keep blanks, quotes, "$", "\\" and "%" literal in an Exec line.
std::string desktopEntryArgument(std::string_view text);

/// The launcher's text (UTF-8, as desktop entries are): Exec quotes both
/// paths so blanks, quotes, "$" and "%" in them stay literal.
std::string desktopLauncherText(std::string_view accountName, std::string_view programFile,
                                std::string_view settingsPath);

/// Writes the launcher into `desktop`, an existing folder; a missing desktop
/// folder is not created. False when it cannot be written.
bool createDesktopLauncher(std::string_view desktop, std::string_view accountName,
                           std::string_view programFile, std::string_view settingsPath);

}  // namespace zorvik::platform
