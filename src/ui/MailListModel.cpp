#include "ui/MailListModel.h"

#include "core/SettingsItemTable.h"
#include "store/TrayNameRule.h"
#include "store/TreeOperations.h"
#include "ui/MailIcons.h"
#include "ui/QtText.h"

namespace zorvik::ui {

MailListModel::MailListModel(const mailflow::Document& document, core::Messages& messages, QObject* parent)
    : QAbstractTableModel(parent), document_(document), messages_(messages) {
  settingsChanged();
}

void MailListModel::settingsChanged() {
  const auto& settings = document_.settings();
  list_.setAppearance(view::ListAppearance::fromSettings(settings, settings.timeZoneOffsetHours()));
  foreground_ = fromColorRef(settings.number(core::item::kListForegroundColour));
  unread_ = fromColorRef(settings.number(core::item::kListUnreadColour));
  background_ = fromColorRef(settings.number(core::item::kListBackgroundColour));
  if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, view::MailList::kColumns - 1));
}

int MailListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(list_.rowCount());
}

int MailListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : view::MailList::kColumns;
}

QVariant MailListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const auto row = static_cast<std::size_t>(index.row());
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return fromSjis(list_.text(row, index.column()));
    case Qt::DecorationRole:
      if (index.column() != 0) return {};
      return MailIcons::item(list_.icon(row), list_.stateImage(row), list_.overlay(row), iconSize_,
                             list_.showsTray());
    case Qt::ForegroundRole: return list_.unread(row) ? unread_ : foreground_;
    case Qt::BackgroundRole: return background_;
    case Qt::TextAlignmentRole:
      return index.column() == view::MailList::kLines ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    case MailIndexRole: {
      const auto mail = list_.mailIndex(row);
      return mail ? QVariant(static_cast<qulonglong>(*mail)) : QVariant();
    }
    case PathRole: {
      const view::TreeNode* node = list_.node(row);
      return node ? QVariant(QByteArray::fromStdString(node->path)) : QVariant();
    }
    case IsMailRole: return list_.rowClass(row) == view::MailList::RowClass::Mail;
    default: return {};
  }
}

QVariant MailListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  return fromSjis(list_.columnTitle(section));
}

Qt::ItemFlags MailListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled;
  const view::TreeNode* node = list_.node(static_cast<std::size_t>(index.row()));
  if (node && index.column() == 0 && !node->isSystemTray()) flags |= Qt::ItemIsEditable;
  return flags;
}

bool MailListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  const view::TreeNode* node = list_.node(static_cast<std::size_t>(index.row()));
  if (!node) return false;
  const std::string name = toSjis(value.toString());
  if (name == node->name) return true;
  // The list's own message numbers for what the store would refuse.
  if (!store::acceptName(name, messages_, core::MessageNumber::ListNameEmpty)) return false;
  const std::string oldPath = node->path;
  store::TreeOperations tree(document_.store(), document_.settings(), messages_);
  if (!tree.rename(oldPath, name)) return false;
  const std::string newPath = view::childPath(view::parentOf(oldPath), name);
  reload();
  emit renamed(QByteArray::fromStdString(oldPath), QByteArray::fromStdString(newPath));
  return true;
}

bool MailListModel::showTray(const std::string& tray) {
  beginResetModel();
  const bool shown = list_.showTray(document_.store(), document_.settings(), tray);
  endResetModel();
  return shown;
}

void MailListModel::showCabinet(const std::string& cabinet) {
  beginResetModel();
  list_.showCabinet(document_.store(), document_.settings(), cabinet);
  endResetModel();
}

void MailListModel::clear() {
  beginResetModel();
  list_.clear();
  endResetModel();
}

void MailListModel::reload() {
  const std::string path = list_.path();
  const bool tray = list_.showsTray();
  const view::ListSortState state = list_.sortState();
  beginResetModel();
  if (tray) {
    list_.showTray(document_.store(), document_.settings(), path);
    list_.setSortState(state);
  } else {
    list_.showCabinet(document_.store(), document_.settings(), path);
  }
  endResetModel();
}

void MailListModel::setSortState(const view::ListSortState& state) {
  emit layoutAboutToBeChanged();
  const QModelIndexList before = persistentIndexList();
  std::vector<std::optional<std::uint32_t>> mails;
  mails.reserve(static_cast<std::size_t>(before.size()));
  for (const QModelIndex& index : before) mails.push_back(list_.mailIndex(static_cast<std::size_t>(index.row())));
  list_.setSortState(state);
  // Selection and focus follow their mails, not their rows.
  QModelIndexList after;
  after.reserve(before.size());
  for (qsizetype i = 0; i < before.size(); ++i) {
    const auto& mail = mails[static_cast<std::size_t>(i)];
    const auto row = mail ? list_.rowOfMail(*mail) : std::nullopt;
    after.push_back(row ? index(static_cast<int>(*row), before[i].column()) : QModelIndex());
  }
  changePersistentIndexList(before, after);
  emit layoutChanged();
}

void MailListModel::rowChanged(std::uint32_t mailIndex) {
  const auto row = list_.rowOfMail(mailIndex);
  if (!row) return;
  emit dataChanged(index(static_cast<int>(*row), 0), index(static_cast<int>(*row), view::MailList::kColumns - 1));
}

void MailListModel::setOpened(std::uint32_t mailIndex, bool opened) {
  list_.setOpened(mailIndex, opened);
  rowChanged(mailIndex);
}

void MailListModel::setMark(std::uint32_t mailIndex, int mark) {
  list_.setMark(mailIndex, mark);
  rowChanged(mailIndex);
}

void MailListModel::setIconSize(int pixels) {
  if (pixels == iconSize_) return;
  iconSize_ = pixels;
  if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DecorationRole});
}

}  // namespace zorvik::ui
