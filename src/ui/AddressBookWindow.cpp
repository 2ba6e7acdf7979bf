#include "ui/AddressBookWindow.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <set>

#include "addressbook/AddressCompleter.h"
#include "addressbook/VCardAddressBook.h"
#include "core/SjisText.h"
#include "ui/AddressEntryWindow.h"
#include "ui/QtText.h"
#include "ui/UiLog.h"

namespace zorvik::ui {

namespace {
QString u(const char* utf8) { return QString::fromUtf8(utf8); }
constexpr int kEntryRole = Qt::UserRole + 1;
}  // namespace

AddressBookWindow::AddressBookWindow(const std::string& path, QWidget* parent)
    : QMainWindow(parent), book_(std::make_unique<addressbook::VCardAddressBook>(path)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(u("アドレス帳 - ") + fromSjis(path));
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  auto* bar = new QHBoxLayout;
  search_ = new QLineEdit(central);
  search_->setPlaceholderText(u("名前またはアドレスを入力"));
  search_->setClearButtonEnabled(true);
  auto* searchLabel = new QLabel(u("検索(&S)："), central);
  searchLabel->setBuddy(search_);
  bar->addWidget(searchLabel);
  bar->addWidget(search_, 1);
  layout->addLayout(bar);
  list_ = new QTreeWidget(central);
  list_->setHeaderLabels({u("名前"), u("ニックネーム"), u("電子メール"), u("会社名")});
  list_->setRootIsDecorated(false);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setSortingEnabled(true);
  list_->header()->setSectionResizeMode(QHeaderView::Interactive);
  list_->setColumnWidth(0, 160);
  list_->setColumnWidth(2, 220);
  layout->addWidget(list_, 1);
  auto* buttons = new QHBoxLayout;
  const auto button = [&](const char* text, auto slot) {
    auto* made = new QPushButton(u(text), central);
    connect(made, &QPushButton::clicked, this, slot);
    buttons->addWidget(made);
  };
  button("新規(&N)...", [this] { newEntry(); });
  button("プロパティ(&R)", [this] { showSelected(); });
  button("削除(&D)", [this] { removeSelected(); });
  buttons->addStretch();
  button("宛先に追加(&T)", [this] {
    QStringList chosen;
    for (QTreeWidgetItem* row : list_->selectedItems()) {
      const auto& entry = entries_.at(row->data(0, kEntryRole).toULongLong());
      if (entry.addresses.empty()) continue;
      chosen << fromSjis(addressbook::AddressCompleter::resolvedForm({entry.addresses.front(), entry.name}));
    }
    if (!chosen.isEmpty()) emit addressesChosen(chosen);
  });
  button("閉じる", [this] { close(); });
  layout->addLayout(buttons);
  setCentralWidget(central);
  connect(search_, &QLineEdit::textChanged, this, &AddressBookWindow::search);
  connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { showSelected(); });
  resize(640, 420);
  UiLog::global().watch(this);
  reload();
}

AddressBookWindow::~AddressBookWindow() = default;

void AddressBookWindow::reload() {
  entries_ = book_->entries();
  search(search_->text());
}

void AddressBookWindow::search(const QString& text) {
  std::set<std::string> matching;
  const std::string query = toSjis(text.trimmed());
  if (!query.empty())
    for (const message::MailAddress& found : book_->resolve(query)) matching.insert(core::asciiLowerCase(found.address));
  list_->setSortingEnabled(false);
  list_->clear();
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const addressbook::AddressEntry& entry = entries_[i];
    const bool shown = query.empty() || std::any_of(entry.addresses.begin(), entry.addresses.end(), [&](const auto& a) {
                         return matching.count(core::asciiLowerCase(a)) > 0;
                       });
    if (!shown) continue;
    auto* row = new QTreeWidgetItem({fromSjis(entry.name), fromSjis(entry.nickname),
                                     entry.addresses.empty() ? QString() : fromSjis(entry.addresses.front()),
                                     fromSjis(entry.company)});
    row->setData(0, kEntryRole, static_cast<qulonglong>(i));
    list_->addTopLevelItem(row);
  }
  list_->setSortingEnabled(true);
}

int AddressBookWindow::rowCount() const { return list_->topLevelItemCount(); }

bool AddressBookWindow::addEntry(const QString& name, const QString& address) {
  if (address.trimmed().isEmpty() || !book_->create(toSjis(name.trimmed()), toSjis(address.trimmed()))) return false;
  reload();
  return true;
}

void AddressBookWindow::showSelected() {
  const auto selected = list_->selectedItems();
  if (selected.isEmpty()) return;
  const addressbook::AddressEntry& entry = entries_.at(selected.front()->data(0, kEntryRole).toULongLong());
  const auto edited = AddressEntryWindow::edit(entry, this);
  if (!edited || *edited == entry) return;
  // An entry is found again by its address: the file may have changed
  // while the window was open.
  if (entry.addresses.empty() || !book_->update(entry.addresses.front(), *edited)) QApplication::beep();
  reload();
}

void AddressBookWindow::removeSelected() {
  for (QTreeWidgetItem* row : list_->selectedItems()) {
    const auto& entry = entries_.at(row->data(0, kEntryRole).toULongLong());
    if (!entry.addresses.empty()) book_->remove(entry.addresses.front());
  }
  reload();
}

void AddressBookWindow::newEntry() {
  const auto entry = AddressEntryWindow::edit({}, this);
  if (!entry) return;
  if (!book_->create(*entry)) QApplication::beep();
  reload();
}

}  // namespace zorvik::ui
