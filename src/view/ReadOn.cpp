#include "view/ReadOn.h"

#include <algorithm>

namespace zorvik::view {

ReadOnStep nextUnread(const ReadOnPlace& place) {
  ReadOnStep step;
  if (place.nextUnreadRow) {
    step.action = ReadOnStep::Action::SelectRow;
    step.row = *place.nextUnreadRow;
    return step;
  }
  const auto& trays = place.traysInTreeOrder;
  const auto current = std::find(trays.begin(), trays.end(), place.currentTray);
  // A cabinet shown in the list: the first tray of the tree after it is not
  // known here, so the first tray of all is as good a guess as any.
  const auto next = current == trays.end() ? trays.begin() : current + 1;
  if (next == trays.end()) return step;
  step.action = ReadOnStep::Action::SelectTray;
  step.tray = *next;
  return step;
}

ReadOnStep readOn(const ReadOnPlace& place) {
  if (place.textFocused) {
    if (!place.textAtEnd) return {ReadOnStep::Action::ScrollText, false, 0, {}};
    ReadOnStep step = nextUnread(place);
    step.markCurrentOpened = place.focusedRowIsMail;
    return step;
  }
  if (place.focusedRow && place.focusedRowIsMail) return {ReadOnStep::Action::FocusText, false, *place.focusedRow, {}};
  return nextUnread(place);
}

}  // namespace zorvik::view
