#include "view/SearchBarState.h"

namespace zorvik::view {

SearchSwitches SearchSwitches::fromLayout(const std::array<int, 6>& values) {
  return {values[0] != 0, values[1] != 0, values[2] != 0, values[3] != 0, values[4] != 0, values[5] != 0};
}

std::array<int, 6> SearchSwitches::toLayout() const {
  return {cabinet ? 1 : 0, headers ? 1 : 0, body ? 1 : 0, lineStart ? 1 : 0, matchCase ? 1 : 0, loose ? 1 : 0};
}

void SearchBarState::setVisible(bool visible) {
  visible_ = visible;
  shownForSearch_ = false;
}

SearchBarState::Start SearchBarState::begin() {
  if (visible_) return Start::Search;
  visible_ = true;
  shownForSearch_ = true;
  text_.clear();
  return Start::ShowBar;
}

void SearchBarState::finished() {
  if (shownForSearch_) visible_ = false;
  shownForSearch_ = false;
}

search::SearchQuery SearchBarState::query() const {
  search::SearchQuery query;
  query.parameters.text = text_;
  query.parameters.allHeaders = switches_.headers;
  query.parameters.body = switches_.body;
  query.parameters.lineStart = switches_.lineStart;
  query.parameters.matchCase = switches_.matchCase;
  query.parameters.ignoreWidth = switches_.loose;
  query.parameters.ignoreKana = switches_.loose;
  return query;
}

search::SearchScope SearchBarState::scope(const std::string& currentTray, const TreeFocus& focus) const {
  if (!switches_.cabinet) return search::SearchScope::oneTray(currentTray);
  // The top cabinet is named "".
  if (focus.cabinet) return search::SearchScope::wholeCabinet(focus.node);
  return search::SearchScope::oneTray(focus.node.empty() ? currentTray : focus.node);
}

}  // namespace zorvik::view
