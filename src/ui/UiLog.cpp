#include "ui/UiLog.h"

#include <QEvent>
#include <QFile>
#include <QMutexLocker>
#include <QWidget>

namespace zorvik::ui {
namespace {

QString escaped(QString field) {
  field.replace(u'\\', QStringLiteral("\\\\"));
  field.replace(u'\t', QStringLiteral("\\t"));
  field.replace(u'\r', QStringLiteral("\\r"));
  field.replace(u'\n', QStringLiteral("\\n"));
  return field;
}

}  // namespace

UiLog::UiLog() : path_(qEnvironmentVariable("ZORVIK_UI_LOG")) {}

UiLog& UiLog::global() {
  static UiLog log;
  return log;
}

void UiLog::setPath(const QString& path) {
  const QMutexLocker lock(&mutex_);
  path_ = path;
}

bool UiLog::active() const {
  const QMutexLocker lock(&mutex_);
  return !path_.isEmpty();
}

void UiLog::messageBox(int number, const QString& caption, const QString& text, const QString& answer) {
  write({QStringLiteral("box"), QString::number(number), caption, text, answer});
}

void UiLog::windowShown(const QWidget& window) {
  write({QStringLiteral("window"), QStringLiteral("shown"), className(window), window.windowTitle()});
}

void UiLog::windowClosed(const QWidget& window) {
  write({QStringLiteral("window"), QStringLiteral("closed"), className(window), window.windowTitle()});
}

void UiLog::watch(QWidget* window) { window->installEventFilter(this); }

QString UiLog::className(const QWidget& window) {
  const QString name = QString::fromLatin1(window.metaObject()->className());
  const qsizetype at = name.lastIndexOf(QStringLiteral("::"));
  return at < 0 ? name : name.mid(at + 2);
}

bool UiLog::eventFilter(QObject* watched, QEvent* event) {
  auto* const window = qobject_cast<QWidget*>(watched);
  if (window && window->isWindow()) {
    if (event->type() == QEvent::Show) windowShown(*window);
    else if (event->type() == QEvent::Hide && !event->spontaneous()) windowClosed(*window);
  }
  return QObject::eventFilter(watched, event);
}

void UiLog::write(const QStringList& fields) {
  const QMutexLocker lock(&mutex_);
  if (path_.isEmpty()) return;
  QStringList line;
  for (const QString& field : fields) line << escaped(field);
  QFile file(path_);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return;
  file.write((line.join(u'\t') + u'\n').toUtf8());
}

}  // namespace zorvik::ui
