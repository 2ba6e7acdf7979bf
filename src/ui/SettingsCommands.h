/// \file
/// The main window's commands that open the settings: the environment
/// sheet "環境設定", the tool bar editor, the property sheet of the tray or
/// cabinet selected (also what "他のメーラからのインポート..." opens, with
/// its import button), the start-up tips and the start-up password (asked
/// at start and, when the settings say so, on restoring the window).
///
/// After the environment sheet the window takes up the new values: key
/// definitions, timers, the tree (its names may have changed).
#pragma once

#include <string>

#include "core/ItemValues.h"
#include "ui/DialUpDialog.h"

class QWidget;

namespace zorvik::ui {

class MainWindow;
class SettingsSheet;

class SettingsCommands {
public:
  explicit SettingsCommands(MainWindow& window);

  /// The dial-up prompt and dialling window the window's workflows use.
  mailflow::DialUpPrompt& dialUpPrompt() { return dialUpPrompt_; }

  void settingsSheet();
  void editToolBars();
  /// The property sheet of the selected mail (the list has the focus) or
  /// else of the tray or cabinet selected.
  void properties();
  /// The mail property sheet of the selected mail, on page `page`.
  void mailProperties(int page);
  /// The tips dialog; at start only when the user has not switched it off.
  void tips(bool atStart);
  /// Asks the start-up password when it is due; false when the user gave up.
  bool passwordGate(bool restoring);

  /// Rebuilds the tool bars from the sequences the layout store holds.
  void arrangeToolBars();

  /// Where the layout store keeps the password's stored form.
  static constexpr const char* kPasswordValue = "StartPass";

private:
  void trustCertificates(SettingsSheet& sheet, QWidget* parent);
  void importInto(const std::string& tray, bool cabinet);
  void rebuildTray(const std::string& tray);
  /// "受信振分試験(&R)": the rule of `tray` as `edited` holds it, tried on
  /// the mail selected in the list.
  void testRule(const std::string& tray, const core::ItemValues& edited);
  std::string passwordSection() const;

  MainWindow& window_;
  QtDialUpPrompt dialUpPrompt_;
};

}  // namespace zorvik::ui
