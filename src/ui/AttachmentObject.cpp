#include "ui/AttachmentObject.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QStyle>
#include <QTextDocument>

namespace zorvik::ui {

namespace {

constexpr int kPathProperty = QTextFormat::UserProperty + 20;
constexpr int kIconSize = 16;
constexpr int kGap = 4;

QString nameOf(const QTextFormat& format) { return QFileInfo(format.stringProperty(kPathProperty)).fileName(); }

}  // namespace

void AttachmentObject::install(QTextDocument* document) {
  document->documentLayout()->registerHandler(kType, new AttachmentObject(document));
}

QTextCharFormat AttachmentObject::format(const QString& path) {
  QTextCharFormat format;
  format.setObjectType(kType);
  format.setProperty(kPathProperty, path);
  format.setToolTip(path);
  return format;
}

std::optional<QString> AttachmentObject::pathOf(const QTextFormat& format) {
  if (format.objectType() != kType) return std::nullopt;
  return format.stringProperty(kPathProperty);
}

QSizeF AttachmentObject::intrinsicSize(QTextDocument* document, int, const QTextFormat& format) {
  const QFontMetricsF metrics(document->defaultFont());
  return {kIconSize + kGap + metrics.horizontalAdvance(nameOf(format)) + kGap,
          std::max<qreal>(kIconSize, metrics.height())};
}

void AttachmentObject::drawObject(QPainter* painter, const QRectF& rect, QTextDocument* document, int,
                                  const QTextFormat& format) {
  const QIcon icon = QApplication::style()->standardIcon(QStyle::SP_FileIcon);
  const qreal iconTop = rect.top() + (rect.height() - kIconSize) / 2;
  icon.paint(painter, QRect(QPoint(static_cast<int>(rect.left()), static_cast<int>(iconTop)), QSize(kIconSize, kIconSize)));
  painter->save();
  painter->setFont(document->defaultFont());
  painter->drawText(rect.adjusted(kIconSize + kGap, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, nameOf(format));
  painter->drawRect(rect.adjusted(0, 0, -1, -1));
  painter->restore();
}

}  // namespace zorvik::ui
