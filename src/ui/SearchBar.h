/// \file
/// The search bar of the main window: the string, the six switches (the
/// cabinet from the tree's focus down, every header, the body, line start
/// only, letter case, width and kana alike) and the buttons "検索(&F)",
/// "次を検索(&I)", "まとめて検索(&S)", "絞り込み検索...", "未読ﾒｰﾙへ移動(&G)"
/// and "検索停止". It holds view::SearchBarState and says what the user
/// asked for; SearchCommands runs the searches. Each control's status tip
/// is its prompt.
#pragma once

#include <QToolBar>

#include "view/SearchBarState.h"

class QAction;
class QLineEdit;

namespace zorvik::ui {

class SearchBar : public QToolBar {
  Q_OBJECT

public:
  explicit SearchBar(view::SearchSwitches switches, QWidget* parent = nullptr);

  view::SearchBarState& state() { return state_; }
  /// The state with the string as typed.
  const view::SearchBarState& readState();
  /// Shows or hides the bar as the state says, putting the focus in the
  /// string when it was shown for a search.
  void syncVisibility();
  /// A run under way: every control but "検索停止" is disabled.
  void setRunning(bool running);
  QLineEdit& textField() const { return *text_; }

signals:
  void findRequested();
  void findNextRequested();
  void collectRequested();
  void refinedRequested();
  void nextUnreadRequested();
  void stopRequested();

private:
  QAction* addSwitch(const char* text, const char* prompt, bool view::SearchSwitches::*member);

  view::SearchBarState state_;
  QLineEdit* text_;
  QAction* stop_;
};

}  // namespace zorvik::ui
