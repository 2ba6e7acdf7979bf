#include "ui/MailIcons.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>

namespace zorvik::ui {
namespace {

constexpr int kBase = 32;  // pictures are drawn at 32 pixels and scaled

void drawEnvelope(QPainter& painter, const QColor& colour, bool opened) {
  const QRectF body(3, 9, 26, 18);
  painter.setPen(QPen(QColor(60, 60, 60), 1.5));
  painter.setBrush(opened ? QColor(250, 250, 250) : colour);
  if (opened) {
    QPainterPath flap;
    flap.moveTo(3, 12);
    flap.lineTo(16, 3);
    flap.lineTo(29, 12);
    painter.drawPath(flap);
  }
  painter.drawRect(body);
  painter.drawLine(QPointF(3, opened ? 12 : 9), QPointF(16, 19));
  painter.drawLine(QPointF(29, opened ? 12 : 9), QPointF(16, 19));
  if (opened) {
    painter.setPen(QPen(colour.darker(130), 3));
    painter.drawLine(QPointF(6, 25), QPointF(26, 25));
  }
}

void drawCabinet(QPainter& painter) {
  painter.setPen(QPen(QColor(110, 80, 30), 1.5));
  painter.setBrush(QColor(235, 190, 90));
  painter.drawRect(QRectF(3, 5, 26, 23));
  painter.drawLine(QPointF(3, 16), QPointF(29, 16));
  painter.setBrush(QColor(120, 90, 40));
  painter.drawRect(QRectF(12, 9, 8, 3));
  painter.drawRect(QRectF(12, 20, 8, 3));
}

// A tray: a shallow box, with a sign for each system tray.
void drawTray(QPainter& painter, int kind) {
  static const QColor kColours[] = {QColor(120, 160, 220), QColor(140, 140, 140), QColor(90, 170, 90),
                                    QColor(220, 150, 60),  QColor(100, 140, 200), QColor(190, 170, 120),
                                    QColor(150, 110, 200), QColor(150, 150, 150)};
  const QColor colour = kColours[kind & 7];
  painter.setPen(QPen(colour.darker(170), 1.5));
  painter.setBrush(colour.lighter(150));
  QPainterPath box;
  box.moveTo(2, 14);
  box.lineTo(8, 26);
  box.lineTo(24, 26);
  box.lineTo(30, 14);
  box.lineTo(22, 14);
  box.lineTo(20, 18);
  box.lineTo(12, 18);
  box.lineTo(10, 14);
  box.closeSubpath();
  painter.drawPath(box);
  painter.setPen(QPen(colour.darker(200), 2.5));
  switch (kind) {
    case 1:  // mail server: a tower
      painter.setBrush(colour);
      painter.drawRect(QRectF(11, 2, 10, 12));
      break;
    case 2:  // new mail: an arrow in
    case 3:  // unsent: an arrow out
    case 4:  // sent: a tick
      if (kind == 4) {
        painter.drawPolyline(QPolygonF({QPointF(9, 8), QPointF(14, 12), QPointF(23, 3)}));
      } else {
        const bool in = kind == 2;
        painter.drawLine(QPointF(16, 2), QPointF(16, 12));
        painter.drawPolyline(in ? QPolygonF({QPointF(11, 8), QPointF(16, 13), QPointF(21, 8)})
                                : QPolygonF({QPointF(11, 6), QPointF(16, 1), QPointF(21, 6)}));
      }
      break;
    case 5:  // drafts: a pencil
      painter.drawLine(QPointF(10, 12), QPointF(22, 2));
      break;
    case 6:  // search results: a lens
      painter.setBrush(Qt::NoBrush);
      painter.drawEllipse(QRectF(10, 1, 9, 9));
      painter.drawLine(QPointF(18, 9), QPointF(23, 13));
      break;
    case 7:  // trash: a lid
      painter.drawLine(QPointF(9, 10), QPointF(23, 10));
      painter.drawLine(QPointF(14, 7), QPointF(18, 7));
      break;
    default:
      break;
  }
}

QPixmap drawIcon(int icon) {
  QPixmap pixmap(kBase, kBase);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  if (icon == 0) {
    drawCabinet(painter);
  } else if (icon >= 2 && icon <= 7) {
    static const QColor kKinds[] = {QColor(120, 170, 240), QColor(130, 200, 120), QColor(250, 215, 110)};
    drawEnvelope(painter, kKinds[(icon - 2) / 2], icon % 2 == 1);
  } else if (icon >= 8) {
    drawTray(painter, icon - 8);
  }
  return pixmap;
}

void drawOverlay(QPainter& painter, int overlay) {
  if (overlay == 0) return;
  const QRectF corner(0, 16, 16, 16);
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(Qt::white);
  painter.drawRect(corner.adjusted(1, 1, -1, -1));
  if (overlay == 3) {
    painter.setPen(QPen(QColor(210, 30, 30), 3));
    painter.drawLine(QPointF(4, 20), QPointF(12, 28));
    painter.drawLine(QPointF(12, 20), QPointF(4, 28));
    return;
  }
  painter.setPen(QPen(overlay == 1 ? QColor(20, 90, 200) : QColor(20, 140, 60), 2.5));
  painter.drawLine(QPointF(4, 28), QPointF(12, 20));
  painter.drawPolyline(QPolygonF({QPointF(7, 20), QPointF(12, 20), QPointF(12, 25)}));
}

QPixmap drawState(int state) {
  QPixmap pixmap(kBase, kBase);
  pixmap.fill(Qt::transparent);
  if (state <= 0) return pixmap;
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const int mark = state >= 6 && state < 12 ? state - 6 : (state < 6 ? state : 0);
  if (state >= 6 && state < 12) {  // a paper clip
    painter.setPen(QPen(QColor(90, 90, 90), 2.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(20, 3, 8, 24), 4, 4);
    painter.drawLine(QPointF(24, 8), QPointF(24, 22));
  }
  if (state == 12) {
    painter.setBrush(QColor(220, 60, 60));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QRectF(8, 8, 16, 16));
  }
  if (mark > 0) {
    static const QColor kMarks[] = {QColor(220, 50, 50), QColor(240, 150, 20), QColor(40, 160, 60),
                                    QColor(40, 100, 220), QColor(150, 60, 200)};
    painter.setPen(Qt::NoPen);
    painter.setBrush(kMarks[(mark - 1) % 5]);
    painter.drawEllipse(QRectF(1, 6, 20, 20));
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPixelSize(15);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRectF(1, 6, 20, 20), Qt::AlignCenter, QString::number(mark));
  }
  return pixmap;
}

}  // namespace

QPixmap MailIcons::item(int icon, int stateImage, int overlay, int size, bool stateSlot) {
  static QHash<quint64, QPixmap> cache;
  const quint64 key = static_cast<quint64>(icon) | static_cast<quint64>(stateImage) << 8 |
                      static_cast<quint64>(overlay) << 16 | static_cast<quint64>(size) << 24 |
                      static_cast<quint64>(stateSlot) << 40;
  const auto found = cache.constFind(key);
  if (found != cache.constEnd()) return *found;
  const bool withState = stateImage > 0 || stateSlot;
  QPixmap canvas(withState ? 2 * kBase : kBase, kBase);
  canvas.fill(Qt::transparent);
  {
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    if (withState) painter.drawPixmap(0, 0, drawState(stateImage));
    painter.translate(withState ? kBase : 0, 0);
    painter.drawPixmap(0, 0, drawIcon(icon));
    drawOverlay(painter, overlay);
  }
  const QPixmap scaled = canvas.scaledToHeight(size, Qt::SmoothTransformation);
  cache.insert(key, scaled);
  return scaled;
}

QIcon MailIcons::icon(int icon) { return QIcon(drawIcon(icon)); }

QIcon MailIcons::windowIcon(bool newMail) {
  QPixmap pixmap = drawIcon(3);
  if (newMail) {
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(230, 30, 30));
    painter.drawEllipse(QRectF(19, 0, 13, 13));
  }
  return QIcon(pixmap);
}

}  // namespace zorvik::ui
