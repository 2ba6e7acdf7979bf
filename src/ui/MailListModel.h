/// \file
/// The mail list as a Qt table model over view::MailList: five columns,
/// texts converted from Shift_JIS only for the rows a view paints, the
/// picture of each row (state image, icon and overlay), the unread colour
/// and the background of the settings. Cabinet and tray rows can be renamed
/// in place.
///
/// Showing a tray resets the model; a tray of 100,000 mails is read in one
/// pass over its index and the views ask only for the rows they show.
#pragma once

#include <QAbstractTableModel>
#include <QColor>

#include <optional>
#include <string>
#include <vector>

#include "core/Messages.h"
#include "mailflow/Document.h"
#include "view/MailList.h"

namespace zorvik::ui {

class MailListModel : public QAbstractTableModel {
  Q_OBJECT

public:
  enum Role { MailIndexRole = Qt::UserRole + 1, PathRole, IsMailRole };

  MailListModel(const mailflow::Document& document, core::Messages& messages, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

  const view::MailList& list() const { return list_; }
  /// Shows a tray or a cabinet (the tray's own sort order applied).
  bool showTray(const std::string& tray);
  void showCabinet(const std::string& cabinet);
  void clear();
  /// Reads the shown tray or cabinet again, keeping the sort state.
  void reload();
  /// Orders by `state`.
  void setSortState(const view::ListSortState& state);
  /// A row's mail changed in the tray: its flags are re-read for display.
  void setOpened(std::uint32_t mailIndex, bool opened);
  void setMark(std::uint32_t mailIndex, int mark);
  /// The size of the row pictures (16 in the lists, 32 for large icons).
  void setIconSize(int pixels);
  /// The colours and formats of the settings changed.
  void settingsChanged();

signals:
  /// A cabinet or tray row was renamed (Shift_JIS paths).
  void renamed(const QByteArray& oldPath, const QByteArray& newPath);

private:
  void rowChanged(std::uint32_t mailIndex);

  const mailflow::Document& document_;
  core::Messages& messages_;
  view::MailList list_;
  int iconSize_ = 16;
  QColor foreground_;
  QColor unread_;
  QColor background_;
};

}  // namespace zorvik::ui
