/// \file
/// The desktop client's test bench: one QApplication for the program (on
/// the offscreen platform), a demo store made by scripts/demo-store.sh with
/// zorvik-cli, the open document over it with a recording reporter, and a
/// main window on it whose layout goes to a scratch file.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

#include "core/Messages.h"
#include "mailflow/Document.h"
#include "support/RecordingReporter.h"
#include "support/TestEnvironment.h"
#include "ui/MainWindow.h"
#include "view/LayoutStore.h"

namespace zorvik::ui {

class UiFixture : public ::testing::Test {
protected:
  UiFixture();
  ~UiFixture() override;

  /// Builds the demo store and opens its document.
  void makeStore();
  /// A main window on the document (the previous one is closed first).
  MainWindow& openWindow();
  void closeWindow();

  /// Runs zorvik-cli on the demo settings; its exit status.
  int cli(std::vector<std::string> args) const;
  /// The live mail count of a tray (UTF-8 name), or -1.
  int liveMails(const std::string& tray) const;
  static std::string sjis(const std::string& utf8);
  /// Types `text` into `widget` the way an input method commits it.
  static void typeText(QWidget* widget, const QString& text);

  /// The captions of the questions the main window's windows asked (the
  /// pre-send character check among them), answered with `answer`.
  std::vector<std::string> asked;
  bool answer = true;

  test::ScratchDir scratch;
  test::RecordingReporter reporter{true};
  std::unique_ptr<core::Messages> messages;
  std::string settingsPath;  // Shift_JIS
  std::unique_ptr<mailflow::Document> document;
  std::unique_ptr<view::LayoutStore> layout;
  std::unique_ptr<MainWindow> window;
};

}  // namespace zorvik::ui
