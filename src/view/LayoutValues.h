/// \file
/// The window layout values of one account, as the layout store keeps them
/// under the sections "<settings name>-xm9" and "<settings name>-VWitem":
/// the main, compose and text window rectangles, the compose editor height,
/// the list's sort column and direction, the tree node selected at exit,
/// the search bar switches, the pane sizes, the list's view mode and column
/// widths, and the tool bar arrangement. A value that is missing (or out of
/// range, as a hand-edited file may have) reads as its default.
///
/// The tool bar arrangement (the window's saved state, "CtrlBarA") is used
/// only when the bar layout version says it was written by this program
/// (1500) and the start did not ask for the initial layout; otherwise the
/// window builds its default arrangement.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "view/LayoutStore.h"

namespace zorvik::view {

struct WindowRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const WindowRect&) const = default;
};

struct LayoutValues {
  static constexpr int kBarLayoutVersion = 1500;
  static constexpr int kColumns = 5;

  WindowRect frame{1, 1, 638, 440};
  WindowRect compose{100, 1, 638, 440};
  int composeEditorHeight = 250;
  WindowRect textWindow{100, 1, 638, 440};
  int sortColumn = 3;     // 0-4; 5 and above: the date column with threads
  int sortDirection = 1;  // 1 = descending
  std::string selectedNode;  // tray or cabinet path (Shift_JIS)
  int barLayoutVersion = 0;
  std::array<int, 6> searchSwitches{0, 1, 1, 0, 0, 0};  // FWYCAB .. FWYREGU
  int treeWidth = 181;
  int treeHeight = 390;
  int listHeight = 166;
  int viewMode = 1;  // 0 large icons, 1 details, 2 small icons, 3 list
  std::array<int, kColumns> columnWidths{142, 1, 202, 105, 51};
  /// The saved tool bar state (base64) and its summary.
  std::string barState;
  int barCount = 0;
  int screenWidth = 0;
  int screenHeight = 0;

  /// The values of account `settingsName`.
  static LayoutValues read(const LayoutStore& store, const std::string& settingsName);
  /// Writes every value (TBARVER as 1500: this program wrote the bars).
  void write(LayoutStore& store, const std::string& settingsName) const;

  /// Whether the saved bar state may be applied.
  bool barStateUsable(bool initialLayoutAsked) const {
    return barLayoutVersion == kBarLayoutVersion && !initialLayoutAsked && !barState.empty();
  }

  /// The section names of an account.
  static std::string windowSection(const std::string& settingsName);
  static std::string paneSection(const std::string& settingsName);
  static std::string barSection(const std::string& settingsName);
  static std::string barSummarySection(const std::string& settingsName);

  bool operator==(const LayoutValues&) const = default;
};

}  // namespace zorvik::view
