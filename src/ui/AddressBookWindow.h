/// \file
/// Zorvik's own address book window over the vCard file of the document
/// (what "アドレス帳(&B)" opens): every entry with its name, nickname, first
/// address and company; a search field narrowing the list as the user
/// types (name, nickname, reading or address beginning with the text, as
/// completion matches); "新規" to add an entry in the entry window,
/// "削除" to remove the selected one, "プロパティ" (or a double click) to
/// change the selected one in the entry window, and "宛先に追加" handing
/// the selected addresses to a compose window.
#pragma once

#include <QMainWindow>

#include <memory>
#include <vector>

#include "addressbook/AddressEntry.h"

class QLineEdit;
class QTreeWidget;

namespace zorvik::addressbook {
class VCardAddressBook;
}

namespace zorvik::ui {

class AddressBookWindow : public QMainWindow {
  Q_OBJECT

public:
  /// A window over the book at `path` (Shift_JIS), created when missing.
  explicit AddressBookWindow(const std::string& path, QWidget* parent = nullptr);
  ~AddressBookWindow() override;

  /// Narrows the list to entries matching `text` (empty: all).
  void search(const QString& text);
  /// Adds an entry; false when it could not be written.
  bool addEntry(const QString& name, const QString& address);
  int rowCount() const;
  /// Reads the book again (after a change made elsewhere).
  void reload();
  QTreeWidget& list() const { return *list_; }

signals:
  /// "宛先に追加": the selected entries as "name <address>" (Unicode).
  void addressesChosen(const QStringList& addresses);

private:
  void showSelected();
  void removeSelected();
  void newEntry();

  std::unique_ptr<addressbook::VCardAddressBook> book_;
  std::vector<addressbook::AddressEntry> entries_;
  QLineEdit* search_ = nullptr;
  QTreeWidget* list_ = nullptr;
};

}  // namespace zorvik::ui
