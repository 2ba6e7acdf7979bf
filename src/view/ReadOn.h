/// \file
/// The read-on command and "next unread mail": where the reading goes next.
///
/// Read-on with the text pane focused pages the text down; at the end of
/// the text it continues as from the list, marking the mail that was being
/// read as opened first. From the list it moves to the text of the focused
/// mail. Next unread (and read-on past the end of a text) selects the next
/// mail after the focused row that is not opened; with none left in the
/// tray it goes to the next tray of the tree and focuses its first row.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace zorvik::view {

struct ReadOnStep {
  enum class Action {
    ScrollText,    // page the text pane down
    FocusText,     // show the focused mail in the text pane and focus it
    SelectRow,     // select and show `row` of the current list
    SelectTray,    // select `tray` in the tree and focus its first row
    Nothing,       // no unread mail and no tray after this one
  };
  Action action = Action::Nothing;
  bool markCurrentOpened = false;  // first mark the mail that was read
  std::size_t row = 0;
  std::string tray;
};

struct ReadOnPlace {
  bool textFocused = false;
  bool textAtEnd = false;            // the text pane cannot scroll further
  std::optional<std::size_t> focusedRow;
  bool focusedRowIsMail = false;
  std::optional<std::size_t> nextUnreadRow;  // after the focused row
  std::string currentTray;
  /// Every tray in tree order (see traysInTreeOrder).
  std::vector<std::string> traysInTreeOrder;
};

/// The read-on command.
ReadOnStep readOn(const ReadOnPlace& place);
/// Next unread mail: the next unread row, or the next tray.
ReadOnStep nextUnread(const ReadOnPlace& place);

}  // namespace zorvik::view
