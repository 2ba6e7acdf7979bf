/// \file
/// The main window's tool bars: each bar's command number (which is also
/// the command that shows or hides it), its buttons in their built-in order
/// (0 is a separator) and whether it shows in the default arrangement of
/// each menu set. The tool bar editor changes the sequences later; a bar
/// never holds more than 20 entries.
#pragma once

#include <vector>

#include "view/MenuLayout.h"

namespace zorvik::view {

struct ToolBar {
  static constexpr std::size_t kMaxEntries = 20;

  int id = 0;
  std::vector<int> buttons;  // command numbers; 0 a separator
  bool shownNormally = false;
  bool shownInBrisko = false;
};

const std::vector<ToolBar>& toolBars();

}  // namespace zorvik::view
