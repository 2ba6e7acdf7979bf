/// \file
/// The external editor of one compose window: started on the draft's body
/// file with the command of view::ExternalEditorCommand, watched until it
/// ends (the process's end arrives as a queued signal) and through the file
/// itself, since `xdg-open` may hand the file over and return at once.
/// Every write to the file, and the end of the process, tells the window
/// to take the text back.
///
/// Windows share one count of running editors: with settings item 108 off
/// a second window's request is answered by a beep. Before a send or keep
/// the window calls finish(): the editor is asked to close (item 120) and
/// is given up to item 119 × 50 ms to do so; what it saved is what is sent.
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QPointer>
#include <QProcess>

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
  /// Before the text is stored: closes the editor as the settings say.
  void finish();
  /// Editors running in all windows.
  static int runningCount();

signals:
  /// The file changed or the editor ended: the text is to be read again.
  void textChanged();

private:
  void ended();

  const core::SettingsFile& settings_;
  QPointer<QProcess> process_;
  QFileSystemWatcher watcher_;
  QString file_;
};

}  // namespace zorvik::ui
