#include "ui/ExternalEditor.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <filesystem>
#include <system_error>

#include "core/SettingsFile.h"
#include "core/SettingsItemTable.h"
#include "ui/QtText.h"
#include "ui/XdoTool.h"
#include "view/EditorWindowRules.h"

namespace zorvik::ui {

namespace item = core::item;

namespace {

int gRunning = 0;
constexpr int kPollMs = 50;
constexpr int kCloseWaitMs = 3000;

// The file's modification time; none when it is gone.
std::optional<std::filesystem::file_time_type> fileTime(const QString& file) {
  std::error_code error;
  const auto time = std::filesystem::last_write_time(std::filesystem::path(file.toStdString()), error);
  if (error) return std::nullopt;
  return time;
}

}  // namespace

ExternalEditor::ExternalEditor(const core::SettingsFile& settings, QObject* parent)
    : QObject(parent), settings_(settings) {
  connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this](const QString& path) {
    // An editor that saves by renaming leaves the watch behind: take it up again.
    if (!watcher_.files().contains(path) && QFile::exists(path)) watcher_.addPath(path);
    emit textChanged();
  });
  search_.setInterval(kPollMs);
  connect(&search_, &QTimer::timeout, this, &ExternalEditor::lookForWindow);
}

ExternalEditor::~ExternalEditor() {
  if (!process_) return;
  process_->disconnect(this);
  --gRunning;
}

int ExternalEditor::runningCount() { return gRunning; }

view::EditorEnvironment ExternalEditor::environment() {
  return {qEnvironmentVariable("VISUAL").toStdString(), qEnvironmentVariable("EDITOR").toStdString(),
          !QStandardPaths::findExecutable("x-terminal-emulator").isEmpty()};
}

int ExternalEditor::saveWaits() const { return std::max(0, static_cast<int>(settings_.number(item::kEditorSaveWait))); }

ExternalEditor::Outcome ExternalEditor::start(const QString& file, std::optional<view::Caret> caret) {
  if (process_) return Outcome::AlreadyRunning;
  if (gRunning > 0 && !settings_.flag(item::kSeveralEditors)) {
    QApplication::beep();
    return Outcome::Refused;
  }
  // The command line is built in UTF-8, as the program will be started.
  const std::string editor = fromSjis(settings_.text(item::kEditor)).toStdString();
  const std::string caretOption = fromSjis(settings_.text(item::kEditorCaretOption)).toStdString();
  const auto command =
      view::ExternalEditorCommand::build(editor, caretOption, file.toStdString(), caret, environment());
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
  window_.clear();
  ++gRunning;
  watcher_.addPath(file);
  connect(process, &QProcess::finished, this, &ExternalEditor::ended, Qt::QueuedConnection);
  // The save keys belong to the editor item 102 names; the user's own
  // editor standing in for the Windows default (perhaps a terminal editor,
  // where they would be typed into the text) is followed through its file.
  if (!view::ExternalEditorCommand::standsForOwnEditor(editor) && XdoTool::available()) {
    searchesLeft_ = std::max(1000 / kPollMs, saveWaits());
    search_.start();
  }
  return Outcome::Started;
}

void ExternalEditor::lookForWindow() {
  if (!process_ || process_->state() != QProcess::Running) {
    search_.stop();
    return;
  }
  std::optional<QString> found;
  if (settings_.flag(item::kEditorFindByTitle)) {
    const std::string title = view::EditorWindowRules::title(fromSjis(settings_.text(item::kEditorTitle)).toStdString(),
                                                             file_.toStdString(),
                                                             settings_.flag(item::kEditorTitleFullPath));
    found = XdoTool::findByTitle(QString::fromStdString(view::EditorWindowRules::titlePattern(title)));
  } else {
    found = XdoTool::findByProcess(process_->processId());
  }
  if (found) {
    search_.stop();
    window_ = *found;
    raise();
    emit windowFound();
    return;
  }
  if (--searchesLeft_ > 0) return;
  // No window to send the save keys to: the editor is ended, and the
  // built-in editor stays in use (ended() gives the text back to it).
  search_.stop();
  process_->kill();
}

void ExternalEditor::raise() {
  if (!window_.isEmpty()) XdoTool::sendKeys(window_, {});
}

void ExternalEditor::ended() {
  if (!process_) return;
  search_.stop();
  process_->deleteLater();
  process_ = nullptr;
  window_.clear();
  --gRunning;
  emit textChanged();
}

void ExternalEditor::save() {
  const auto before = fileTime(file_);
  QStringList keys;
  for (const std::string& key : view::EditorWindowRules::saveKeys(settings_.text(item::kEditorSaveKeys)))
    keys << QString::fromStdString(key);
  if (!XdoTool::sendKeys(window_, keys)) return;
  for (int wait = 0; wait < saveWaits(); ++wait) {
    const auto now = fileTime(file_);
    if (!now || now != before) return;
    QThread::msleep(kPollMs);
  }
}

void ExternalEditor::close() {
  process_->terminate();
  if (!process_->waitForFinished(window_.isEmpty() ? saveWaits() * kPollMs : kCloseWaitMs)) process_->kill();
  process_->waitForFinished(1000);
  process_->deleteLater();
}

void ExternalEditor::finish() {
  if (!process_) return;
  search_.stop();
  watcher_.removePath(file_);
  process_->disconnect(this);
  if (!window_.isEmpty()) save();
  // Left open otherwise: it goes with the window.
  if (settings_.flag(item::kEditorCloseAfterSave)) close();
  process_ = nullptr;
  window_.clear();
  --gRunning;
}

}  // namespace zorvik::ui
