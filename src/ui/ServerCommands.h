/// \file
/// The main window's commands that talk to the mail servers or run long
/// store work in a dialog: send/receive (with its progress dialog, or on
/// the window's worker when a timer or another instance asks), send,
/// receive, the mail-server tray's dialogs, send/receive in every running
/// instance, the periodic new-mail check and the automatic send, the
/// backup/import/export dialogs and the sorting log. While one runs the
/// timers wait; afterwards the window shows what arrived.
#pragma once

namespace zorvik::ui {

class MainWindow;

class ServerCommands {
public:
  explicit ServerCommands(MainWindow& window) : window_(window) {}

  void sendReceive(bool withDialog);
  void sendOnly();
  void receive();
  void headerReceive();
  /// The mail-server tray's dialog for `work` (a ServerTrayWork).
  void runServerDialog(int work);
  void sendReceiveAll();
  /// Timer 1 and timer 2.
  void checkForNewMail();
  void autoSend();
  /// The backup, import or export dialog (a view::TransferKind).
  void transferDialog(int kind);
  void showSortingLog();

private:
  MainWindow& window_;
};

}  // namespace zorvik::ui
