/// \file
/// The entry window of the address book: one entry's display name, its
/// reading, nickname, addresses (one a line), title, company, department,
/// office and note, for the user to confirm or change (what "WAB登録",
/// registering a tray's send groups and the address book window open).
/// "OK" stays disabled while no address is given: an entry without one
/// could never be found again. The fields are named after the entry's
/// members ("name", "reading", "addresses", ...).
#pragma once

#include <QDialog>

#include <optional>

#include "addressbook/AddressEntry.h"

class QPlainTextEdit;
class QPushButton;

namespace zorvik::ui {

class AddressEntryWindow : public QDialog {
  Q_OBJECT

public:
  AddressEntryWindow(const addressbook::AddressEntry& entry, QWidget* parent = nullptr);

  /// The entry as the fields hold it now (Shift_JIS, trimmed; blank
  /// address lines dropped).
  addressbook::AddressEntry entry() const;

  /// Shows the window for `entry` and waits: the entry as the user left it
  /// after "OK", none when cancelled. With ZORVIK_ANSWER set the window is
  /// not shown: "yes" takes the entry as it is, "no" cancels. Logged to
  /// UiLog.
  static std::optional<addressbook::AddressEntry> edit(const addressbook::AddressEntry& entry, QWidget* parent);

private:
  QPlainTextEdit* addresses_ = nullptr;
  QPushButton* ok_ = nullptr;
};

}  // namespace zorvik::ui
