/// \file
/// The test hook ZORVIK_UI_LOG=FILE: one UTF-8 line per message box and per
/// window shown or closed, appended to FILE, so that a script driving the
/// desktop client can read what the user would have seen. Inert when the
/// variable is unset.
///
/// Lines are fields separated by a tab:
///
///     box     44101   <caption>   <text>   yes
///     window  shown   SendReceiveDialog    ｻｰﾊﾞ送受信
///
/// A box gives its number R (0 for a box without one, such as the bug
/// box), caption, text and the answer ("yes", "no", "ok", or the choice a
/// box of its own offers). A window gives "shown" or "closed", its class
/// (without namespace) and its title. Backslash, tab, CR and LF in a field
/// are written "\\", "\t", "\r" and "\n", so every entry is one line.
///
/// Safe from any thread; each line is written and flushed at once, so a
/// program that ends abruptly (a fatal error) leaves its last box logged.
#pragma once

#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>

class QWidget;

namespace zorvik::ui {

class UiLog : public QObject {
  Q_OBJECT

public:
  /// The process's log, set from ZORVIK_UI_LOG at first use.
  static UiLog& global();

  /// Writes to `path` from now on; an empty path stops the log (tests).
  void setPath(const QString& path);
  bool active() const;

  void messageBox(int number, const QString& caption, const QString& text, const QString& answer);
  void windowShown(const QWidget& window);
  void windowClosed(const QWidget& window);
  /// Logs `window` each time it is shown, and each time it is closed or
  /// hidden by the program (hiding by the window system, as when it is
  /// minimised, is no closing).
  void watch(QWidget* window);

  /// The class name of a widget without its namespace.
  static QString className(const QWidget& window);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  UiLog();
  void write(const QStringList& fields);

  mutable QMutex mutex_;
  QString path_;
};

}  // namespace zorvik::ui
