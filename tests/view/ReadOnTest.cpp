// Read-on and next unread: paging, moving on to the list and to the next
// tray of the tree.
#include <gtest/gtest.h>

#include "view/ReadOn.h"

namespace zorvik::view {
namespace {

using Action = ReadOnStep::Action;

TEST(ReadOn, Steps) {
  ReadOnPlace reading;
  reading.textFocused = true;
  reading.focusedRow = 4;
  reading.focusedRowIsMail = true;
  reading.nextUnreadRow = 7;
  reading.currentTray = "inbox";
  reading.traysInTreeOrder = {"inbox", "A/work", "trash"};

  EXPECT_EQ(readOn(reading).action, Action::ScrollText);

  ReadOnPlace atEnd = reading;
  atEnd.textAtEnd = true;
  const ReadOnStep next = readOn(atEnd);
  EXPECT_EQ(next.action, Action::SelectRow);
  EXPECT_EQ(next.row, 7U);
  EXPECT_TRUE(next.markCurrentOpened);

  // The last unread mail of the tray read to its end: on to the next tray.
  ReadOnPlace lastUnread = atEnd;
  lastUnread.nextUnreadRow.reset();
  const ReadOnStep nextTray = readOn(lastUnread);
  EXPECT_EQ(nextTray.action, Action::SelectTray);
  EXPECT_EQ(nextTray.tray, "A/work");
  EXPECT_TRUE(nextTray.markCurrentOpened);

  // ... and after the last tray of the tree there is nowhere to go.
  ReadOnPlace lastTray = lastUnread;
  lastTray.currentTray = "trash";
  EXPECT_EQ(readOn(lastTray).action, Action::Nothing);

  // From the list, read-on shows the focused mail's text.
  ReadOnPlace inList = reading;
  inList.textFocused = false;
  EXPECT_EQ(readOn(inList).action, Action::FocusText);
  EXPECT_EQ(readOn(inList).row, 4U);
  // Next unread never marks anything.
  EXPECT_FALSE(nextUnread(inList).markCurrentOpened);
  EXPECT_EQ(nextUnread(inList).row, 7U);
  // A cabinet in the list: the first tray is next.
  ReadOnPlace cabinet = inList;
  cabinet.focusedRow.reset();
  cabinet.nextUnreadRow.reset();
  cabinet.currentTray = "A";
  EXPECT_EQ(nextUnread(cabinet).tray, "inbox");
}

}  // namespace
}  // namespace zorvik::view
