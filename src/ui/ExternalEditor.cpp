#include "ui/ExternalEditor.h"

#include <QApplication>
#include <QFile>
#include <QStandardPaths>

#include "core/SettingsFile.h"
#include "core/SettingsItemTable.h"
#include "ui/QtText.h"

namespace zorvik::ui {

namespace item = core::item;

namespace {
int gRunning = 0;
}

ExternalEditor::ExternalEditor(const core::SettingsFile& settings, QObject* parent)
    : QObject(parent), settings_(settings) {
  connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this](const QString& path) {
    // An editor that saves by renaming leaves the watch behind: take it up again.
    if (!watcher_.files().contains(path) && QFile::exists(path)) watcher_.addPath(path);
    emit textChanged();
  });
}

ExternalEditor::~ExternalEditor() {
  if (!process_) return;
  process_->disconnect(this);
  --gRunning;
}

int ExternalEditor::runningCount() { return gRunning; }

ExternalEditor::Outcome ExternalEditor::start(const QString& file, std::optional<view::Caret> caret) {
  if (process_) return Outcome::AlreadyRunning;
  if (gRunning > 0 && !settings_.flag(item::kSeveralEditors)) {
    QApplication::beep();
    return Outcome::Refused;
  }
  view::EditorEnvironment environment{qEnvironmentVariable("VISUAL").toStdString(),
                                      qEnvironmentVariable("EDITOR").toStdString(),
                                      !QStandardPaths::findExecutable("x-terminal-emulator").isEmpty()};
  const auto command =
      view::ExternalEditorCommand::build(settings_.text(item::kEditor), settings_.text(item::kEditorCaretOption),
                                         file.toStdString(), caret, environment);
  if (command.empty()) return Outcome::NoEditor;
  QStringList arguments;
  for (std::size_t i = 1; i < command.size(); ++i) arguments << QString::fromStdString(command[i]);
  auto* process = new QProcess(this);
  process->setProgram(QString::fromStdString(command.front()));
  process->setArguments(arguments);
  process->setProcessChannelMode(QProcess::ForwardedChannels);
  process->start();
  if (!process->waitForStarted(5000)) {
    delete process;
    return Outcome::Failed;
  }
  process_ = process;
  file_ = file;
  ++gRunning;
  watcher_.addPath(file);
  connect(process, &QProcess::finished, this, &ExternalEditor::ended, Qt::QueuedConnection);
  return Outcome::Started;
}

void ExternalEditor::ended() {
  if (!process_) return;
  process_->deleteLater();
  process_ = nullptr;
  --gRunning;
  emit textChanged();
}

void ExternalEditor::finish() {
  if (!process_) return;
  watcher_.removePath(file_);
  process_->disconnect(this);
  if (settings_.flag(item::kEditorCloseAfterSave)) {
    process_->terminate();
    const int waits = std::max(0, static_cast<int>(settings_.number(item::kEditorSaveWait)));
    if (!process_->waitForFinished(waits * 50)) process_->kill();
    process_->waitForFinished(1000);
    process_->deleteLater();
  }
  // Left open otherwise: it goes with the window.
  process_ = nullptr;
  --gRunning;
}

}  // namespace zorvik::ui
