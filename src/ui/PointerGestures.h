/// \file
/// Drags and context menus of the item views, by either mouse button.
/// Installed on a view's viewport: a press on a selected item followed by a
/// move beyond the drag distance starts a drag with the payload the owner
/// makes (with the left button, or the right one, after which the drop
/// offers the drop menu); a right click without a drag asks for the context
/// menu at that point, as does the menu key (the owner handles that).
#pragma once

#include <QObject>
#include <QPoint>

#include <functional>
#include <optional>

#include "ui/ClipPayload.h"

class QAbstractItemView;

namespace zorvik::ui {

class PointerGestures : public QObject {
  Q_OBJECT

public:
  /// `payload` makes the drag data for the current selection; empty when
  /// there is nothing to drag.
  PointerGestures(QAbstractItemView& view, std::function<std::optional<ClipPayload>()> payload);

signals:
  /// A right click at `position` (viewport coordinates) without a drag.
  void contextMenuAt(const QPoint& position);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void startDrag(bool rightButton);

  QAbstractItemView& view_;
  std::function<std::optional<ClipPayload>()> payload_;
  Qt::MouseButton pressed_ = Qt::NoButton;
  QPoint pressAt_;
  bool onSelection_ = false;
};

}  // namespace zorvik::ui
