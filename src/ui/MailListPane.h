/// \file
/// The mail list pane: the same model and selection shown as details (a
/// table with the five columns, sorted by clicking a header) or as large
/// icons, small icons or a list. Drags start here with either button; the
/// context menu and opening a row (double click) are reported to the
/// window.
#pragma once

#include <QStackedWidget>

#include <array>
#include <optional>
#include <vector>

class QAbstractItemView;
class QItemSelectionModel;
class QListView;
class QTreeView;

namespace zorvik::ui {

class MailListModel;
class PointerGestures;

class MailListPane : public QStackedWidget {
  Q_OBJECT

public:
  enum Mode : int { kLargeIcons = 0, kDetails = 1, kSmallIcons = 2, kList = 3 };

  explicit MailListPane(MailListModel& model, QWidget* parent = nullptr);

  MailListModel& model() const { return model_; }
  QAbstractItemView* currentView() const;
  QTreeView* details() const { return details_; }
  QListView* icons() const { return icons_; }
  QItemSelectionModel* selectionModel() const;

  void setMode(int mode);
  int mode() const { return mode_; }
  std::array<int, 5> columnWidths() const;
  void setColumnWidths(const std::array<int, 5>& widths);
  /// Shows the sort column and direction in the header.
  void showSortIndicator(int column, int direction);
  /// Lets users start renaming with the mouse (settings item 211).
  void setMouseRename(bool allowed);

  /// Selected rows in ascending order, and the focused row.
  std::vector<std::size_t> selectedRows() const;
  std::optional<std::size_t> currentRow() const;
  /// Selects and focuses `row` alone and scrolls it into view.
  void selectRow(std::size_t row);
  /// Installs a key filter on both views.
  void installKeyFilter(QObject* filter);

signals:
  void headerClicked(int column);
  void opened(int row);
  /// Global position of a context menu request.
  void contextMenuRequested(const QPoint& globalPosition);

private:
  void connectView(QAbstractItemView& view);

  MailListModel& model_;
  QTreeView* details_;
  QListView* icons_;
  int mode_ = kDetails;
};

}  // namespace zorvik::ui
