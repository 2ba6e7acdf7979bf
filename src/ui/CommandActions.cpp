#include "ui/CommandActions.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QToolBar>

#include "ui/QtText.h"
#include "ui/ToolBarIcons.h"
#include "view/KeyNames.h"

namespace zorvik::ui {

CommandActions::CommandActions(const view::CommandTable& table, QWidget* owner)
    : QObject(owner), table_(table), owner_(owner) {
  // The normal menu shows the keys of its accelerators after the text.
  for (const view::Accelerator& accelerator : view::accelerators(view::MenuSet::Normal))
    keyTexts_.emplace(accelerator.command, view::strokeText(accelerator.stroke));
}

QAction* CommandActions::make(int id, const std::string& text, QObject* parent) {
  auto* action = new QAction(fromSjis(text), parent);
  action->setData(id);
  action->setCheckable(table_.checkable(id));
  connect(action, &QAction::triggered, this, [this, id] { emit triggered(id); });
  actions_.emplace(id, action);
  // An action that goes with its menu leaves the table of actions too.
  connect(action, &QObject::destroyed, this, [this, action] {
    for (auto it = actions_.begin(); it != actions_.end(); ++it) {
      if (it->second != action) continue;
      actions_.erase(it);
      return;
    }
  });
  return action;
}

void CommandActions::fill(QMenu& menu, const std::vector<view::MenuEntry>& entries) {
  for (const view::MenuEntry& entry : entries) {
    switch (entry.kind) {
      case view::MenuEntry::Kind::Separator: menu.addSeparator(); break;
      case view::MenuEntry::Kind::Submenu: fill(*menu.addMenu(fromSjis(entry.text)), entry.children); break;
      case view::MenuEntry::Kind::Command: {
        const view::Command* command = table_.find(entry.command);
        if (!command) break;
        std::string text = entry.text.empty() ? command->text : entry.text;
        const auto key = keyTexts_.find(entry.command);
        if (entry.text.empty() && key != keyTexts_.end()) text += "\t" + key->second;
        menu.addAction(make(entry.command, text, &menu));
        break;
      }
    }
  }
}

void CommandActions::buildMenuBar(QMenuBar& bar, view::MenuSet set) {
  bar.clear();
  for (const view::MenuEntry& top : view::menuBar(set)) fill(*bar.addMenu(fromSjis(top.text)), top.children);
}

QMenu* CommandActions::buildMenu(const std::vector<view::MenuEntry>& entries, QWidget* parent) {
  auto* menu = new QMenu(parent);
  fill(*menu, entries);
  return menu;
}

QToolBar* CommandActions::buildToolBar(const view::ToolBar& bar, QMainWindow& window) {
  const view::Command* command = table_.find(bar.id);
  const QString title = command ? fromSjis(command->text.substr(0, command->text.find("(&"))) : QString();
  auto* toolBar = new QToolBar(title, &window);
  toolBar->setObjectName(QString("ToolBar%1").arg(bar.id));
  toolBar->setToolButtonStyle(Qt::ToolButtonFollowStyle);
  for (const int id : bar.buttons) {
    if (id == 0) {
      toolBar->addSeparator();
      continue;
    }
    const view::Command* button = table_.find(id);
    if (!button) continue;
    QAction* action = make(id, table_.buttonText(id), toolBar);
    action->setToolTip(fromSjis(button->text.substr(0, button->text.find("(&"))));
    action->setIcon(toolBarIcon(id, action->text(), *toolBar));
    toolBar->addAction(action);
  }
  return toolBar;
}

void CommandActions::update(const view::CommandState& state, const std::function<bool(int)>& handled) {
  for (const auto& [id, action] : actions_) {
    action->setEnabled(handled(id) && table_.enabled(id, state));
    if (action->isCheckable()) action->setChecked(table_.checked(id, state));
  }
}

QAction* CommandActions::action(int id) const {
  const auto found = actions_.find(id);
  return found == actions_.end() ? nullptr : found->second;
}

}  // namespace zorvik::ui
