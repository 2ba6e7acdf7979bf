/// \file
/// The window's QActions, made from the command table: one per command and
/// menu entry (a Brisko menu text with its key differs from the normal
/// one), the menu bar of either set, context menus and tool bars. Updating
/// enables and checks every action by the table's rules and by whether the
/// window has a handler for the command.
#pragma once

#include <QObject>

#include <functional>
#include <map>
#include <vector>

#include "view/CommandTable.h"
#include "view/MenuLayout.h"
#include "view/ToolBarLayout.h"

class QAction;
class QMainWindow;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

namespace zorvik::ui {

class CommandActions : public QObject {
  Q_OBJECT

public:
  /// The table must outlive this.
  CommandActions(const view::CommandTable& table, QWidget* owner);

  /// Fills `bar` with the menus of `set`.
  void buildMenuBar(QMenuBar& bar, view::MenuSet set);
  /// A context menu (the caller owns it).
  QMenu* buildMenu(const std::vector<view::MenuEntry>& entries, QWidget* parent);
  /// A tool bar of `window`, named by its command's text.
  QToolBar* buildToolBar(const view::ToolBar& bar, QMainWindow& window);

  /// Enables and checks every action for `state`; `handled` says whether
  /// the window can run a command.
  void update(const view::CommandState& state, const std::function<bool(int)>& handled);
  /// The first action of a command (for tests and tool tips).
  QAction* action(int id) const;

signals:
  void triggered(int id);

private:
  QAction* make(int id, const std::string& text, QObject* parent);
  void fill(QMenu& menu, const std::vector<view::MenuEntry>& entries);

  const view::CommandTable& table_;
  QWidget* owner_;
  std::multimap<int, QAction*> actions_;
  std::map<int, std::string> keyTexts_;
};

}  // namespace zorvik::ui
