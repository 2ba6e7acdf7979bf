/// \file
/// Every command of the main window in one table: its number, its menu text
/// (Shift_JIS, with the "&" of its access key), a short text for a tool bar
/// button, and the rules that say when it is enabled and when its menu item
/// carries a check mark. Menus, context menus and tool bars are built from
/// this table (see MenuLayout and ToolBarLayout), so a command looks and
/// behaves the same wherever it appears.
///
/// A rule only says whether the command makes sense in the current state; a
/// command also needs a handler in the window to be enabled. Windows that
/// come later (compose, search bar, printing, settings) add their handlers,
/// and commands of their own with add().
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "view/CommandState.h"

namespace zorvik::view {

struct Command {
  using Rule = std::function<bool(const CommandState&)>;

  int id = 0;
  std::string text;        // Shift_JIS menu text
  std::string buttonText;  // Shift_JIS, short; empty: the menu text without "&..."
  Rule enabled;            // empty: always
  Rule checked;            // empty: not a check item
};

class CommandTable {
public:
  /// The main window's commands.
  static CommandTable standard();

  const std::vector<Command>& commands() const { return commands_; }
  const Command* find(int id) const;
  /// Adds a command, or replaces the one with the same number.
  void add(Command command);

  /// The command's own rule (an unknown command is disabled).
  bool enabled(int id, const CommandState& state) const;
  bool checkable(int id) const;
  bool checked(int id, const CommandState& state) const;
  /// The text for a tool bar button.
  std::string buttonText(int id) const;

private:
  std::vector<Command> commands_;
};

}  // namespace zorvik::view
