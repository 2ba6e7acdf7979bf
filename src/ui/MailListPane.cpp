#include "ui/MailListPane.h"

#include <QHeaderView>

#include <algorithm>
#include <QListView>
#include <QTreeView>

#include "ui/MailListModel.h"
#include "ui/PointerGestures.h"

namespace zorvik::ui {
namespace {

std::optional<ClipPayload> payloadOf(const MailListModel& model, const std::vector<std::size_t>& rows) {
  if (rows.empty()) return std::nullopt;
  const view::MailList& list = model.list();
  ClipPayload payload;
  if (list.showsTray()) {
    payload.item = {view::DragItem::Kind::Mails, list.path(), list.trayKind(), false};
    for (const std::size_t row : rows) {
      const auto index = list.mailIndex(row);
      if (!index) continue;
      payload.indices.push_back(*index);
      payload.item.hasLinkRows = payload.item.hasLinkRows || list.linkTarget(row).has_value();
    }
    return payload;
  }
  if (rows.size() > 1) {
    payload.item = {view::DragItem::Kind::SeveralItems, list.path(), 0, false};
    for (const std::size_t row : rows)
      if (const view::TreeNode* node = list.node(row)) payload.paths.push_back(node->path);
    return payload;
  }
  const view::TreeNode* node = list.node(rows.front());
  if (!node) return std::nullopt;
  payload.item = {node->isCabinet ? view::DragItem::Kind::Cabinet : view::DragItem::Kind::Tray, node->path,
                  node->trayKind, false};
  return payload;
}

}  // namespace

MailListPane::MailListPane(MailListModel& model, QWidget* parent)
    : QStackedWidget(parent), model_(model), details_(new QTreeView(this)), icons_(new QListView(this)) {
  details_->setModel(&model_);
  details_->setRootIsDecorated(false);
  details_->setUniformRowHeights(true);
  details_->setAllColumnsShowFocus(true);
  details_->setSelectionBehavior(QAbstractItemView::SelectRows);
  details_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  details_->header()->setSectionsClickable(true);
  details_->header()->setSortIndicatorShown(true);
  details_->header()->setStretchLastSection(false);
  details_->header()->setMinimumSectionSize(1);
  details_->setIconSize(QSize(32, 16));
  details_->setTextElideMode(Qt::ElideRight);
  connect(details_->header(), &QHeaderView::sectionClicked, this, &MailListPane::headerClicked);

  icons_->setModel(&model_);
  icons_->setSelectionModel(details_->selectionModel());
  icons_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  icons_->setUniformItemSizes(true);
  icons_->setWrapping(true);
  icons_->setResizeMode(QListView::Adjust);
  icons_->setModelColumn(0);

  addWidget(details_);
  addWidget(icons_);
  connectView(*details_);
  connectView(*icons_);
  setMode(kDetails);
}

void MailListPane::connectView(QAbstractItemView& view) {
  view.setDragEnabled(false);
  view.setEditTriggers(QAbstractItemView::EditKeyPressed);
  auto* gestures = new PointerGestures(view, [this] { return payloadOf(model_, selectedRows()); });
  connect(gestures, &PointerGestures::contextMenuAt, this,
          [this, &view](const QPoint& at) { emit contextMenuRequested(view.viewport()->mapToGlobal(at)); });
  connect(&view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) { emit opened(index.row()); });
}

void MailListPane::setMouseRename(bool allowed) {
  const auto triggers = allowed ? QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked
                                : QAbstractItemView::EditTriggers(QAbstractItemView::EditKeyPressed);
  details_->setEditTriggers(triggers);
  icons_->setEditTriggers(triggers);
}

QAbstractItemView* MailListPane::currentView() const {
  if (mode_ == kDetails) return details_;
  return icons_;
}

QItemSelectionModel* MailListPane::selectionModel() const { return details_->selectionModel(); }

void MailListPane::setMode(int mode) {
  if (mode < kLargeIcons || mode > kList) mode = kDetails;
  const bool hadFocus = currentView()->hasFocus();
  mode_ = mode;
  switch (mode) {
    case kDetails:
      setCurrentWidget(details_);
      model_.setIconSize(16);
      break;
    case kLargeIcons:
      icons_->setViewMode(QListView::IconMode);
      icons_->setFlow(QListView::LeftToRight);
      icons_->setIconSize(QSize(64, 32));
      icons_->setGridSize(QSize(120, 72));
      icons_->setWordWrap(true);
      icons_->setUniformItemSizes(false);
      model_.setIconSize(32);
      setCurrentWidget(icons_);
      break;
    case kSmallIcons:
    case kList:
      icons_->setViewMode(QListView::ListMode);
      icons_->setFlow(mode == kSmallIcons ? QListView::LeftToRight : QListView::TopToBottom);
      icons_->setIconSize(QSize(32, 16));
      icons_->setGridSize(QSize(mode == kSmallIcons ? 180 : 240, 22));
      icons_->setWordWrap(false);
      icons_->setUniformItemSizes(true);
      model_.setIconSize(16);
      setCurrentWidget(icons_);
      break;
    default: break;
  }
  if (hadFocus) currentView()->setFocus();
}

std::array<int, 5> MailListPane::columnWidths() const {
  std::array<int, 5> widths{};
  for (int column = 0; column < 5; ++column) widths[static_cast<std::size_t>(column)] = details_->columnWidth(column);
  return widths;
}

void MailListPane::setColumnWidths(const std::array<int, 5>& widths) {
  for (int column = 0; column < 5; ++column) details_->setColumnWidth(column, widths[static_cast<std::size_t>(column)]);
}

void MailListPane::showSortIndicator(int column, int direction) {
  if (column < 0) {
    details_->header()->setSortIndicator(-1, Qt::AscendingOrder);
    return;
  }
  details_->header()->setSortIndicator(column, direction == 1 ? Qt::DescendingOrder : Qt::AscendingOrder);
}

std::vector<std::size_t> MailListPane::selectedRows() const {
  std::vector<std::size_t> rows;
  for (const QModelIndex& index : selectionModel()->selectedRows(0)) rows.push_back(static_cast<std::size_t>(index.row()));
  std::sort(rows.begin(), rows.end());
  return rows;
}

std::optional<std::size_t> MailListPane::currentRow() const {
  const QModelIndex current = selectionModel()->currentIndex();
  if (!current.isValid()) return std::nullopt;
  return static_cast<std::size_t>(current.row());
}

void MailListPane::selectRow(std::size_t row) {
  const QModelIndex index = model_.index(static_cast<int>(row), 0);
  if (!index.isValid()) return;
  selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  currentView()->scrollTo(index);
}

void MailListPane::installKeyFilter(QObject* filter) {
  details_->installEventFilter(filter);
  icons_->installEventFilter(filter);
}

}  // namespace zorvik::ui
