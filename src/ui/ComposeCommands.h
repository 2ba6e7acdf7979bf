/// \file
/// The main window's commands that open compose and address book windows:
/// new mail, reply (to all, or an addition to the user's own mail), reply
/// to the sender, forward, the correction of a stored draft opened from its
/// tray, a "mailto:" link from the command line or a second start (a "新規"
/// window with the link's fields), the address book window and the
/// registration of a tray's send groups. Any number of compose windows may
/// be open; each stores through mailflow::DraftFlow, and the window's
/// rectangle and editor height are kept for the next one.
#pragma once

#include <QObject>
#include <QPointer>

#include <optional>
#include <string>
#include <vector>

#include "compose/DraftKind.h"
#include "mailflow/DraftFlow.h"
#include "ui/AddressBookWindow.h"

namespace zorvik::ui {

class ComposeWindow;
class MainWindow;

class ComposeCommands : public QObject {
  Q_OBJECT

public:
  explicit ComposeCommands(MainWindow& window);

  /// A window of `kind` for the selected mails of the tray shown (none for
  /// a new mail); null when the draft could not be prepared.
  ComposeWindow* open(compose::DraftKind kind);
  /// The selected mail of the tray shown taken up again as a draft.
  ComposeWindow* reopenSelected();
  /// A "新規" window filled from a mailto link.
  ComposeWindow* openMailto(const QString& link);
  void openAddressBook();
  /// Registers the send groups of the selected tray in the address book.
  void registerTray();

  /// Closes every compose window (each asks whether to keep its draft) and
  /// the address book window, as the program ends. False when a window
  /// stays open because its draft could not be stored.
  bool closeAll();

  /// The compose windows open now, oldest first.
  std::vector<ComposeWindow*> windows() const;
  AddressBookWindow* addressBook() const { return addressBook_; }

private:
  ComposeWindow* show(mailflow::OpenDraft draft);
  std::string trayForNewMail() const;

  MainWindow& window_;
  std::vector<QPointer<ComposeWindow>> windows_;
  QPointer<AddressBookWindow> addressBook_;
};

}  // namespace zorvik::ui
