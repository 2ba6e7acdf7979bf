/// \file
/// The main window's commands that change the store: new cabinets and
/// trays, rename, delete, links, read state and marks, cut/copy/paste,
/// save as text, compaction, the trash, the tray upgrade, drops and the
/// user's sorting. Each takes the window's current selection (the tree
/// node, or the mails or rows of the focused list), runs the store's
/// operation (whose questions and refusals are its numbered messages) and
/// brings the panes up to date.
#pragma once

#include <string>

namespace zorvik::ui {

class MainWindow;
struct ClipPayload;

class StoreCommands {
public:
  explicit StoreCommands(MainWindow& window) : window_(window) {}

  void newNode(bool tray);
  void renameSelected();
  /// Mails go to the trash, or for good (Shift held, or in the trash).
  void deleteSelected(bool forGood);
  void clearLinks();
  void setReadState(int command);
  void setMark(int mark);
  /// The mark chosen on the mark bar; a second time clears it.
  void setChosenMark();
  void cutOrCopy(bool cut);
  void paste();
  void saveAsText();
  void copyWholeMail();
  void compactTray();
  void emptyTrash();
  void upgradeTrays();
  /// A drop decided in the tree (operation: a view::DropOperation).
  void handleDrop(const ClipPayload& payload, const std::string& target, int operation);
  void sortIntoTrays();

private:
  MainWindow& window_;
};

}  // namespace zorvik::ui
