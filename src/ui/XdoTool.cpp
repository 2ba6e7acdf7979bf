#include "ui/XdoTool.h"

#include <QProcess>
#include <QStandardPaths>

namespace zorvik::ui {

namespace {

constexpr int kWaitMs = 3000;

std::optional<QString> firstLine(const std::optional<QString>& output) {
  if (!output) return std::nullopt;
  const QString line = output->section(u'\n', 0, 0).trimmed();
  if (line.isEmpty()) return std::nullopt;
  return line;
}

}  // namespace

bool XdoTool::available() {
  return !qEnvironmentVariable("DISPLAY").isEmpty() && !QStandardPaths::findExecutable("xdotool").isEmpty();
}

std::optional<QString> XdoTool::run(const QStringList& arguments) {
  QProcess xdotool;
  xdotool.setProgram("xdotool");
  xdotool.setArguments(arguments);
  xdotool.start();
  if (!xdotool.waitForFinished(kWaitMs)) {
    xdotool.kill();
    xdotool.waitForFinished(kWaitMs);
    return std::nullopt;
  }
  if (xdotool.exitStatus() != QProcess::NormalExit || xdotool.exitCode() != 0) return std::nullopt;
  return QString::fromLocal8Bit(xdotool.readAllStandardOutput());
}

std::optional<QString> XdoTool::findByTitle(const QString& pattern) {
  return firstLine(run({"search", "--onlyvisible", "--name", pattern}));
}

std::optional<QString> XdoTool::findByProcess(qint64 pid) {
  return firstLine(run({"search", "--onlyvisible", "--pid", QString::number(pid)}));
}

bool XdoTool::sendKeys(const QString& window, const QStringList& keys) {
  // windowactivate asks a window manager to raise it (there may be none);
  // windowfocus gives it the keyboard either way, and the keys follow it.
  run({"windowactivate", window});
  if (!run({"windowfocus", "--sync", window})) return false;
  if (keys.isEmpty()) return true;
  return run(QStringList{"key", "--clearmodifiers", "--delay", "60"} + keys).has_value();
}

qint64 XdoTool::ownerOf(const QString& window) {
  const auto pid = firstLine(run({"getwindowpid", window}));
  return pid ? pid->toLongLong() : 0;
}

}  // namespace zorvik::ui
