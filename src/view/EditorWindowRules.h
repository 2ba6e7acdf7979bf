/// \file
/// How Zorvik finds the external editor's window and makes it save, where
/// an X display and xdotool are there to do it.
///
/// The title looked for is settings item 111 with "%s" replaced by the
/// draft's file name, or by its full path when item 112 is on (every "%s";
/// "%%" stands for one "%"). xdotool matches titles with a regular
/// expression, so the title is escaped and anchored to match whole.
///
/// The save keys come from item 107. Its classic form names menu letters:
/// the first is pressed with Alt, the rest alone ("FS" is Alt+F, then S),
/// letters in either case. A user whose editor saves with a shortcut may
/// write strokes in the key-definition notation instead, separated by ","
/// ("^83" is Ctrl+S, "#70,83" Alt+F then S). Characters xdotool has no key
/// for are skipped; at most ten strokes are sent.
#pragma once

#include <string>
#include <vector>

namespace zorvik::view {

class EditorWindowRules {
public:
  /// The window title to look for (UTF-8 in, UTF-8 out).
  static std::string title(const std::string& item111, const std::string& filePath, bool fullPath);
  /// `title` as an xdotool search pattern matching exactly that title.
  static std::string titlePattern(const std::string& title);
  /// The xdotool key arguments for item 107 ("alt+f", "s"); empty: none.
  static std::vector<std::string> saveKeys(const std::string& item107);

  static constexpr std::size_t kMaxStrokes = 10;
};

}  // namespace zorvik::view
