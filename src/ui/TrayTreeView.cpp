#include "ui/TrayTreeView.h"

#include <QCursor>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMenu>
#include <QPainter>

#include "ui/QtText.h"
#include "ui/TrayTreeModel.h"
#include "view/MenuLayout.h"

namespace zorvik::ui {

TrayTreeView::TrayTreeView(QWidget* parent) : QTreeView(parent) {
  setHeaderHidden(true);
  setAcceptDrops(true);
  setDragEnabled(false);  // drags start in PointerGestures, with either button
  setDropIndicatorShown(false);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setUniformRowHeights(true);
  expandTimer_.setSingleShot(true);
  expandTimer_.setInterval(kExpandDelayMs);
  connect(&expandTimer_, &QTimer::timeout, this, [this] {
    if (expandCandidate_.isValid()) expand(expandCandidate_);
  });
}

TrayTreeModel* TrayTreeView::trayModel() const { return qobject_cast<TrayTreeModel*>(model()); }

std::string TrayTreeView::pathOf(const QModelIndex& index) {
  return index.data(TrayTreeModel::PathRole).toByteArray().toStdString();
}

view::DropOperation TrayTreeView::effectAt(const QPoint& position, const ClipPayload& payload,
                                           Qt::KeyboardModifiers keys, QModelIndex* target) const {
  const QModelIndex index = indexAt(position);
  if (target) *target = index;
  if (!index.isValid()) return view::DropOperation::None;
  const view::DropTarget over{pathOf(index), index.data(TrayTreeModel::IsCabinetRole).toBool(),
                              index.data(TrayTreeModel::TrayKindRole).toInt()};
  const view::DragKeys held{keys.testFlag(Qt::ControlModifier), keys.testFlag(Qt::ShiftModifier),
                            keys.testFlag(Qt::AltModifier), payload.rightButton};
  return view::dragEffect(payload.item, over, held);
}

void TrayTreeView::setDropTarget(const QModelIndex& index) {
  if (QPersistentModelIndex(index) == dropTarget_) return;
  const QModelIndex old = dropTarget_;
  dropTarget_ = index;
  if (old.isValid()) update(visualRect(old));
  if (index.isValid()) update(visualRect(index));
}

void TrayTreeView::dragEnterEvent(QDragEnterEvent* event) {
  if (ClipPayload::fromMimeData(event->mimeData())) {
    event->acceptProposedAction();
    return;
  }
  event->ignore();
}

void TrayTreeView::dragMoveEvent(QDragMoveEvent* event) {
  const auto payload = ClipPayload::fromMimeData(event->mimeData());
  if (!payload) {
    event->ignore();
    return;
  }
  QModelIndex target;
  const auto effect = effectAt(event->position().toPoint(), *payload, event->modifiers(), &target);
  // A collapsed cabinet opens after a second over it; moving on cancels.
  if (QPersistentModelIndex(target) != expandCandidate_) {
    expandTimer_.stop();
    expandCandidate_ = target;
    if (target.isValid() && target.data(TrayTreeModel::IsCabinetRole).toBool() && !isExpanded(target))
      expandTimer_.start();
  }
  if (effect == view::DropOperation::None) {
    setDropTarget({});
    event->ignore(visualRect(target));
    return;
  }
  setDropTarget(target);
  switch (effect) {
    case view::DropOperation::Copy: event->setDropAction(Qt::CopyAction); break;
    case view::DropOperation::Link: event->setDropAction(Qt::LinkAction); break;
    default: event->setDropAction(Qt::MoveAction); break;
  }
  event->accept();
}

void TrayTreeView::dragLeaveEvent(QDragLeaveEvent* event) {
  setDropTarget({});
  expandTimer_.stop();
  expandCandidate_ = QPersistentModelIndex();
  QTreeView::dragLeaveEvent(event);
}

void TrayTreeView::dropEvent(QDropEvent* event) {
  setDropTarget({});
  expandTimer_.stop();
  const auto payload = ClipPayload::fromMimeData(event->mimeData());
  if (!payload) return;
  QModelIndex target;
  auto operation = effectAt(event->position().toPoint(), *payload, event->modifiers(), &target);
  if (operation == view::DropOperation::None) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  if (operation == view::DropOperation::AskWithMenu) {
    QMenu menu(this);
    QAction* move = nullptr;
    QAction* link = nullptr;
    for (const view::MenuEntry& entry : view::dropMenu()) {
      if (entry.kind == view::MenuEntry::Kind::Separator) {
        menu.addSeparator();
        continue;
      }
      QAction* action = menu.addAction(fromSjis(entry.text));
      if (entry.command == view::kDropMove) move = action;
      if (entry.command == view::kDropLink) link = action;
    }
    QAction* chosen = menu.exec(QCursor::pos());
    if (!chosen || (chosen != move && chosen != link)) return;
    operation = chosen == move ? view::DropOperation::Move : view::DropOperation::Link;
  }
  emit dropped(*payload, QByteArray::fromStdString(pathOf(target)), operation);
}

void TrayTreeView::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  if (dropTarget_.isValid() && QPersistentModelIndex(index) == dropTarget_) {
    painter->fillRect(option.rect, palette().highlight().color().lighter(160));
  }
  QTreeView::drawRow(painter, option, index);
}

}  // namespace zorvik::ui
