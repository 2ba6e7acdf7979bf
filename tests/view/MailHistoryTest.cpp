// The mail history ring: recording after the newest entry, wrapping, the
// suppress flag, and what back and forward may reach.
#include <gtest/gtest.h>

#include <string>

#include "view/MailHistory.h"

namespace zorvik::view {
namespace {

int backSteps(MailHistory& history) {
  int steps = 0;
  while (history.back()) {
    history.record("unused", 0);  // a selection made by back is not recorded
    ++steps;
  }
  return steps;
}

TEST(MailHistory, RingWrapsAfter32Slots) {
  MailHistory history;
  for (std::uint32_t i = 1; i <= 33; ++i) history.record("A", i);
  // One slot always stays empty after the newest entry: 31 entries, 30 steps back.
  EXPECT_EQ(backSteps(history), 30);
  EXPECT_FALSE(history.canGoBack());
  // Back from the newest walked down to the oldest kept: mail 3.
  MailHistory again;
  for (std::uint32_t i = 1; i <= 33; ++i) again.record("A", i);
  std::optional<HistoryEntry> last;
  while (auto entry = again.back()) {
    last = entry;
    again.record("unused", 0);
  }
  ASSERT_TRUE(last);
  EXPECT_EQ(last->index, 3);
}

TEST(MailHistory, BackTwiceThenSelectAppendsAfterTheNewest) {
  MailHistory history;
  history.record("A", 1);
  history.record("A", 2);
  history.record("A", 3);
  ASSERT_EQ(history.back()->index, 2);
  history.record("A", 2);  // the selection the move made: suppressed
  ASSERT_EQ(history.back()->index, 1);
  history.record("A", 1);
  EXPECT_TRUE(history.canGoForward());
  history.record("B", 7);  // a new selection by the user
  EXPECT_FALSE(history.canGoForward());
  const auto back = history.back();
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, (HistoryEntry{"A", 3}));
}

TEST(MailHistory, SameMailOnceAndEmptyStart) {
  MailHistory history;
  EXPECT_FALSE(history.canGoBack());
  EXPECT_FALSE(history.canGoForward());
  EXPECT_FALSE(history.back());
  history.record("A", 1);
  history.record("A", 1);
  EXPECT_FALSE(history.canGoBack());
  history.record("B", 1);  // same index, other tray: a new entry
  EXPECT_TRUE(history.canGoBack());
  EXPECT_EQ(history.back()->tray, "A");
  EXPECT_EQ(history.forward()->tray, "B");
  EXPECT_FALSE(history.forward());
}

TEST(MailHistory, ForgottenTrayStopsTheWalk) {
  MailHistory history;
  history.record("Old", 1);
  history.record("New", 2);
  history.forgetTray("Old");
  EXPECT_FALSE(history.canGoBack());
}

}  // namespace
}  // namespace zorvik::view
