/// \file
/// The search bar of the main window without its widgets: the string, the
/// six switches kept in the layout store (FWYCAB search the focused cabinet
/// and below, FWYHEAD every header line, FWYTEXT the body, FWYTOP only at a
/// line's start, FWYCASE letter case counts, FWYREGU full-width and
/// half-width letters and hiragana and katakana count as the same), and
/// whether the bar is shown.
///
/// "検索(&F)" with the bar hidden only shows it, empty, for the string to be
/// typed. A search that reaches the end hides the bar again if it was shown
/// that way.
#pragma once

#include <array>
#include <string>

#include "search/SearchQuery.h"
#include "search/SearchScope.h"

namespace zorvik::view {

struct SearchSwitches {
  bool cabinet = false;
  bool headers = true;
  bool body = true;
  bool lineStart = false;
  bool matchCase = false;
  bool loose = false;

  /// From and to the layout values FWYCAB .. FWYREGU (non-zero is on).
  static SearchSwitches fromLayout(const std::array<int, 6>& values);
  std::array<int, 6> toLayout() const;
  bool operator==(const SearchSwitches&) const = default;
};

/// Where the focus of the tray tree is.
struct TreeFocus {
  std::string node;  // tray or cabinet name
  bool cabinet = false;
};

class SearchBarState {
public:
  enum class Start { ShowBar, Search };

  explicit SearchBarState(SearchSwitches switches = {}, bool visible = false)
      : switches_(switches), visible_(visible) {}

  SearchSwitches& switches() { return switches_; }
  const SearchSwitches& switches() const { return switches_; }
  /// The string, Shift_JIS.
  const std::string& text() const { return text_; }
  void setText(std::string text) { text_ = std::move(text); }
  bool visible() const { return visible_; }
  void setVisible(bool visible);

  /// "検索(&F)": shows a hidden bar (ShowBar: nothing is searched) or says
  /// to search.
  Start begin();
  /// A run reached the end: the bar goes back to how it was before
  /// "検索(&F)" showed it.
  void finished();

  /// The query of the bar's string and switches.
  search::SearchQuery query() const;
  /// The current tray alone, or with the cabinet switch the tree's focus
  /// (a cabinet and everything below it, or the focused tray).
  search::SearchScope scope(const std::string& currentTray, const TreeFocus& focus) const;

private:
  SearchSwitches switches_;
  std::string text_;
  bool visible_ = false;
  bool shownForSearch_ = false;
};

}  // namespace zorvik::view
