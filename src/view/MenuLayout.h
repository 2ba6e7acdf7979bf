/// \file
/// The arrangement of the main window's menus: the normal menu bar, the
/// shorter Brisko menu bar (the same command numbers, texts with their
/// shortcut keys), the context menus chosen by the focused pane and the
/// item under the pointer, and the menu that ends a drag with the right
/// button. Entries name commands of the CommandTable; an entry's own text,
/// when given, replaces the table's text in that menu.
#pragma once

#include <string>
#include <vector>

#include "view/KeyStroke.h"

namespace zorvik::view {

struct MenuEntry {
  enum class Kind { Command, Separator, Submenu };

  Kind kind = Kind::Command;
  int command = 0;
  std::string text;  // Shift_JIS; a submenu's title, or a command's own text
  std::vector<MenuEntry> children;
};

enum class MenuSet { Normal, Brisko };

enum class ContextMenu { Text, Cabinet, Tray, Mail, Server };

/// The choices of the menu after a right-button drag.
enum DropMenuChoice : int { kDropCancel = 0, kDropMove = 1, kDropLink = 2 };

/// One accelerator: a stroke that runs a command wherever the focused pane
/// does not use the stroke itself.
struct Accelerator {
  KeyStroke stroke;
  int command = 0;
};

/// The menu bar of a set.
std::vector<MenuEntry> menuBar(MenuSet set);
/// A context menu.
std::vector<MenuEntry> contextMenu(ContextMenu menu);
/// "ここに移動(&M)", "リンクをここに作成(&L)", "キャンセル" (DropMenuChoice numbers).
std::vector<MenuEntry> dropMenu();
/// The accelerators of a set.
const std::vector<Accelerator>& accelerators(MenuSet set);

/// The commands an entry list names, submenus included, in order.
std::vector<int> commandsOf(const std::vector<MenuEntry>& entries);

}  // namespace zorvik::view
