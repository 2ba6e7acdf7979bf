/// \file
/// The tray tree pane: a QTreeView over TrayTreeModel that accepts drops
/// of mails, trays and cabinets as view::dragEffect decides, highlights
/// the node under the pointer, expands a collapsed cabinet after one second
/// of hovering, and asks with the drop menu after a right-button drag. It
/// performs nothing itself: a decided drop is handed to the window.
#pragma once

#include <QPersistentModelIndex>
#include <QTimer>
#include <QTreeView>

#include "ui/ClipPayload.h"
#include "view/DropDecision.h"

namespace zorvik::ui {

class TrayTreeModel;

class TrayTreeView : public QTreeView {
  Q_OBJECT

public:
  static constexpr int kExpandDelayMs = 1000;

  explicit TrayTreeView(QWidget* parent = nullptr);
  TrayTreeModel* trayModel() const;

  /// The node path of an index (Shift_JIS).
  static std::string pathOf(const QModelIndex& index);

signals:
  /// A drop the user confirmed: `operation` on `payload` into `target`.
  void dropped(const ClipPayload& payload, const QByteArray& target, view::DropOperation operation);

protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
  view::DropOperation effectAt(const QPoint& position, const ClipPayload& payload, Qt::KeyboardModifiers keys,
                               QModelIndex* target) const;
  void setDropTarget(const QModelIndex& index);

  QPersistentModelIndex dropTarget_;
  QPersistentModelIndex expandCandidate_;
  QTimer expandTimer_;
};

}  // namespace zorvik::ui
