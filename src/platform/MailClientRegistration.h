/// \file
/// Zorvik as the desktop's mail program: with the settings switch on, a
/// desktop entry "zorvik-<settings name>.desktop" in the user's
/// applications folder ("$XDG_DATA_HOME/applications", else
/// "~/.local/share/applications") that opens "mailto:" links with this
/// account, made the default handler of x-scheme-handler/mailto through
/// xdg-mime when it is installed. An existing entry is left as it is (the
/// user may have edited it); with the switch off the entry is removed.
#pragma once

#include <string>
#include <string_view>

namespace zorvik::platform {

class MailClientRegistration {
public:
  /// The entry's path for settings name `settingsName` (Shift_JIS).
  static std::string entryPath(std::string_view settingsName);
  /// The entry's text (UTF-8).
  static std::string entryText(std::string_view settingsName, std::string_view programFile,
                               std::string_view settingsPath);
  /// Writes or removes the entry as `on` says; false when that failed.
  static bool apply(bool on, std::string_view settingsName, std::string_view programFile,
                    std::string_view settingsPath);
};

}  // namespace zorvik::platform
