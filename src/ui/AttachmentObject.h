/// \file
/// An attachment embedded in the compose editor's text: the line
/// "@#MIME "path"" shown as one object character, drawn as a file icon and
/// the file's name (the full path is its tool tip). The character format
/// carries the path; the editor writes the object back as the same line.
///
/// Register one handler per document with install(); format() makes the
/// character format of an object, pathAt() reads it back.
#pragma once

#include <QObject>
#include <QTextFormat>
#include <QTextObjectInterface>

#include <optional>

class QTextDocument;

namespace zorvik::ui {

class AttachmentObject : public QObject, public QTextObjectInterface {
  Q_OBJECT
  Q_INTERFACES(QTextObjectInterface)

public:
  static constexpr int kType = QTextFormat::UserObject + 1;

  /// Draws the attachments of `document` from now on.
  static void install(QTextDocument* document);
  /// The character format of the object for `path`.
  static QTextCharFormat format(const QString& path);
  /// The path of the object whose character format is `format`; none when
  /// it is not one.
  static std::optional<QString> pathOf(const QTextFormat& format);

  QSizeF intrinsicSize(QTextDocument* document, int position, const QTextFormat& format) override;
  void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* document, int position,
                  const QTextFormat& format) override;

private:
  explicit AttachmentObject(QObject* parent) : QObject(parent) {}
};

}  // namespace zorvik::ui
