/// \file
/// The entry window of the address book: one entry's display name,
/// nickname, addresses, title, company, department, office and note, as the
/// vCard file holds them, shown for reading (what "WAB登録" and the address
/// book window open).
#pragma once

#include <QDialog>

#include "addressbook/AddressEntry.h"

namespace zorvik::ui {

class AddressEntryWindow : public QDialog {
  Q_OBJECT

public:
  AddressEntryWindow(const addressbook::AddressEntry& entry, QWidget* parent = nullptr);
  /// Shows the window for `entry` and waits until it is closed (logged to UiLog).
  static void show(const addressbook::AddressEntry& entry, QWidget* parent);
};

}  // namespace zorvik::ui
