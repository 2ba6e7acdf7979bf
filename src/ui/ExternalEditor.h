/// \file
/// The external editor of one compose window: started on the draft's body
/// file with the command of view::ExternalEditorCommand, watched until it
/// ends (the process's end arrives as a queued signal) and through the file
/// itself, since `xdg-open` may hand the file over and return at once.
/// Every write to the file, and the end of the process, tells the window
/// to take the text back.
///
/// When item 102 names an editor of its own and X11 and xdotool are there
/// (XdoTool), its window is looked for: by its title (item 110 on; items
/// 111 and 112 make the title) or else as the process's first window. It
/// is given as long to appear as a save is (item 119 × 50 ms, at least a
/// second); an editor whose window does not appear is ended, and the
/// built-in editor stays in use. Before a send or keep the window calls
/// finish(): a found window is sent the save keys of item 107, and the
/// file's time is polled every 50 ms, at most item 119 times, until it
/// changes or the file disappears; then, with item 120 on, the editor is
/// asked to close (ended after three seconds more). Without a window the
/// editor is only asked to close. What it saved is what is stored.
///
/// Windows share one count of running editors: with settings item 108 off
/// a second window's request is answered by a beep.
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QTimer>

#include <optional>

#include "view/ExternalEditorCommand.h"

namespace zorvik::core {
class SettingsFile;
}

namespace zorvik::ui {

class ExternalEditor : public QObject {
  Q_OBJECT

public:
  ExternalEditor(const core::SettingsFile& settings, QObject* parent = nullptr);
  ~ExternalEditor() override;

  enum class Outcome { Started, AlreadyRunning, Refused, NoEditor, Failed };
  /// Starts the editor on `file` (written by the caller).
  Outcome start(const QString& file, std::optional<view::Caret> caret);
  bool running() const { return process_ != nullptr; }
  /// The editor's window, once found (an xdotool window id); empty before.
  const QString& window() const { return window_; }
  /// Whether its window is still being looked for.
  bool searching() const { return search_.isActive(); }
  /// Brings a found window to the front.
  void raise();
  /// Before the text is stored: makes the editor save and closes it, as
  /// the settings say.
  void finish();
  /// Editors running in all windows.
  static int runningCount();
  /// $VISUAL, $EDITOR and whether a terminal can be started, as now.
  static view::EditorEnvironment environment();

signals:
  /// The file changed or the editor ended: the text is to be read again.
  void textChanged();
  /// The editor's window was found.
  void windowFound();

private:
  void ended();
  void lookForWindow();
  void save();
  void close();
  int saveWaits() const;

  const core::SettingsFile& settings_;
  QPointer<QProcess> process_;
  QFileSystemWatcher watcher_;
  QString file_;
  QTimer search_;
  int searchesLeft_ = 0;
  QString window_;
};

}  // namespace zorvik::ui
