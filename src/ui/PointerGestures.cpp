#include "ui/PointerGestures.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDrag>
#include <QItemSelectionModel>
#include <QMouseEvent>

namespace zorvik::ui {

PointerGestures::PointerGestures(QAbstractItemView& view, std::function<std::optional<ClipPayload>()> payload)
    : QObject(&view), view_(view), payload_(std::move(payload)) {
  view_.viewport()->installEventFilter(this);
  view_.installEventFilter(this);  // the menu key arrives at the view itself
}

bool PointerGestures::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      const QModelIndex index = view_.indexAt(mouse->position().toPoint());
      pressed_ = mouse->button();
      pressAt_ = mouse->position().toPoint();
      if (pressed_ == Qt::RightButton) {
        // A right press selects the item under it unless it is selected already.
        if (index.isValid() && !view_.selectionModel()->isSelected(index))
          view_.selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        else if (index.isValid())
          view_.selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        onSelection_ = index.isValid();
        return true;
      }
      onSelection_ = index.isValid() && view_.selectionModel()->isSelected(index);
      return false;
    }
    case QEvent::MouseMove: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      if (pressed_ == Qt::NoButton || !onSelection_ || !(mouse->buttons() & pressed_)) return false;
      if ((mouse->position().toPoint() - pressAt_).manhattanLength() < QApplication::startDragDistance())
        return pressed_ == Qt::RightButton;
      const bool right = pressed_ == Qt::RightButton;
      pressed_ = Qt::NoButton;
      startDrag(right);
      return true;
    }
    case QEvent::MouseButtonRelease: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      const bool rightClick = pressed_ == Qt::RightButton && mouse->button() == Qt::RightButton;
      pressed_ = Qt::NoButton;
      if (!rightClick) return false;
      emit contextMenuAt(mouse->position().toPoint());
      return true;
    }
    case QEvent::ContextMenu: {
      // A mouse press already asked (on release); only the keyboard's reaches here.
      const auto* menu = static_cast<QContextMenuEvent*>(event);
      if (menu->reason() == QContextMenuEvent::Mouse) return true;
      const QRect item = view_.visualRect(view_.currentIndex());
      emit contextMenuAt(item.isValid() ? item.center() : QPoint(0, 0));
      return true;
    }
    default: return QObject::eventFilter(watched, event);
  }
}

void PointerGestures::startDrag(bool rightButton) {
  auto payload = payload_();
  if (!payload) return;
  payload->rightButton = rightButton;
  auto* drag = new QDrag(&view_);
  drag->setMimeData(payload->toMimeData());
  drag->exec(Qt::MoveAction | Qt::CopyAction | Qt::LinkAction, Qt::MoveAction);
}

}  // namespace zorvik::ui
