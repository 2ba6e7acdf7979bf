/// \file
/// The fixture of the dialog tests: one QApplication for the test program
/// (on the offscreen platform the suite's environment names), the test
/// hooks pointed at a scratch log with questions answered "no" unless a
/// test says otherwise (so that no box can wait for a click that never
/// comes), and helpers to wait for the event loop and to act on a modal
/// dialog that exec() is running.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "support/TestEnvironment.h"
#include "ui/UiLog.h"

namespace zorvik::test {

class DialogTest : public ::testing::Test {
protected:
  DialogTest() {
    if (!QApplication::instance()) {
      static int argc = 1;
      static char name[] = "zorvik_ui_tests";
      static char* argv[] = {name, nullptr};
      new QApplication(argc, argv);  // lives as long as the test program
    }
    qputenv("ZORVIK_ANSWER", "no");
    ui::UiLog::global().setPath(QString::fromStdString(scratch.file("ui.log")));
  }
  ~DialogTest() override {
    qunsetenv("ZORVIK_ANSWER");
    ui::UiLog::global().setPath({});
  }

  /// The lines of the UI log so far (UTF-8).
  std::vector<std::string> logLines() const {
    QFile file(QString::fromStdString(scratch.file("ui.log")));
    std::vector<std::string> lines;
    if (!file.open(QIODevice::ReadOnly)) return lines;
    for (const QByteArray& line : file.readAll().split('\n'))
      if (!line.isEmpty()) lines.push_back(line.toStdString());
    return lines;
  }
  /// The box lines of the UI log.
  std::vector<std::string> boxLines() const {
    std::vector<std::string> boxes;
    for (const std::string& line : logLines())
      if (line.starts_with("box\t")) boxes.push_back(line);
    return boxes;
  }

  /// Turns the event loop until `done` holds, at most `limit`.
  static bool waitFor(const std::function<bool()>& done, std::chrono::seconds limit = std::chrono::seconds(60)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
      if (std::chrono::steady_clock::now() > end) return false;
      QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
  }

  /// Runs `act` on the next modal dialog as soon as it is shown.
  static void onModal(std::function<void(QWidget&)> act) {
    auto* const timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act = std::move(act)] {
      QWidget* const modal = QApplication::activeModalWidget();
      if (!modal || !modal->isVisible()) return;
      timer->stop();
      timer->deleteLater();
      act(*modal);
    });
    timer->start();
  }

  ScratchDir scratch;
};

}  // namespace zorvik::test
