// The search bar: its switches in the layout store, its query and scope,
// and how "検索(&F)" shows and hides it.
#include "view/SearchBarState.h"

#include <gtest/gtest.h>

namespace zorvik::view {
namespace {

TEST(SearchBarState, SwitchesMakeTheQueryAndSurviveTheLayoutStore) {
  const SearchSwitches defaults = SearchSwitches::fromLayout({0, 1, 1, 0, 0, 0});
  EXPECT_EQ(defaults, SearchSwitches{});
  const SearchSwitches all = SearchSwitches::fromLayout({1, 1, 0, 5, 1, 1});
  EXPECT_EQ(all.toLayout(), (std::array<int, 6>{1, 1, 0, 1, 1, 1}));

  SearchBarState bar(all, true);
  bar.setText("abc");
  const search::SearchQuery query = bar.query();
  EXPECT_EQ(query.parameters.text, "abc");
  EXPECT_TRUE(query.parameters.allHeaders && query.parameters.lineStart && query.parameters.matchCase);
  EXPECT_FALSE(query.parameters.body);
  EXPECT_TRUE(query.parameters.ignoreWidth && query.parameters.ignoreKana);
}

TEST(SearchBarState, TheCabinetSwitchSearchesFromTheTreesFocus) {
  SearchBarState bar;
  const TreeFocus cabinet{"work", true};
  const search::SearchScope current = bar.scope("inbox", cabinet);
  EXPECT_TRUE(current.trayOnly);
  EXPECT_EQ(current.tray, "inbox");

  bar.switches().cabinet = true;
  const search::SearchScope below = bar.scope("inbox", cabinet);
  EXPECT_FALSE(below.trayOnly);
  EXPECT_EQ(below.cabinet, "work");
  const search::SearchScope focusedTray = bar.scope("inbox", TreeFocus{"work/plan", false});
  EXPECT_TRUE(focusedTray.trayOnly);
  EXPECT_EQ(focusedTray.tray, "work/plan");
  EXPECT_EQ(bar.scope("inbox", TreeFocus{"", true}).cabinet, "") << "the top cabinet";
  EXPECT_FALSE(bar.scope("inbox", TreeFocus{"", true}).trayOnly);
}

TEST(SearchBarState, SearchWithTheBarHiddenOnlyShowsItAndTheEndHidesItAgain) {
  SearchBarState bar;
  bar.setText("old");
  EXPECT_EQ(bar.begin(), SearchBarState::Start::ShowBar);
  EXPECT_TRUE(bar.visible());
  EXPECT_EQ(bar.text(), "");
  bar.setText("new");
  EXPECT_EQ(bar.begin(), SearchBarState::Start::Search);
  bar.finished();
  EXPECT_FALSE(bar.visible()) << "shown for the search, hidden at its end";

  bar.setVisible(true);
  EXPECT_EQ(bar.begin(), SearchBarState::Start::Search);
  bar.finished();
  EXPECT_TRUE(bar.visible()) << "shown by the user, it stays";
}

}  // namespace
}  // namespace zorvik::view
