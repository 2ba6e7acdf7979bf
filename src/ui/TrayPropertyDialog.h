/// \file
/// The tray property sheet "ﾄﾚｲ ﾌﾟﾛﾊﾟﾃｨ" (for a cabinet "引出 ﾌﾟﾛﾊﾟﾃｨ",
/// whose first page is "引出のプロパティ"): the pages of
/// view::trayPropertyPages() over view::TrayPropertySheet, with the buttons
/// that act at once: "他のﾒｰﾗより取得(&G)..." (the import, started by the
/// caller) and "試験(&T)" (rings the tray's arrival sound: a beep number
/// "0x10" or a wave file).
///
/// OK hands the change to the sheet, which asks before changing several
/// trays; a "no" keeps the dialog open.
#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "core/Messages.h"
#include "platform/Sound.h"
#include "view/SettingsDraft.h"
#include "view/TrayPropertySheet.h"

class QHBoxLayout;
class QPushButton;
class QTabWidget;

namespace zorvik::ui {

class SettingsPageForm;

/// What the caller does for the buttons that reach beyond the sheet; a
/// button is left out without its action.
struct TrayPropertyActions {
  /// Runs the import dialog for this tray or cabinet.
  std::function<void()> startImport;
  /// Rebuilds the index of the tray (never offered for a cabinet).
  std::function<void()> rebuild;
  /// Tests the rule of these values (the sheet's, with the pages' edits).
  std::function<void(const core::ItemValues&)> testRule;
};

class TrayPropertyDialog : public QDialog {
  Q_OBJECT

public:
  TrayPropertyDialog(view::TrayPropertySheet sheet, core::Messages& messages, platform::Sound& sound,
                     TrayPropertyActions actions = {}, QWidget* parent = nullptr);

  SettingsPageForm* page(int index) const { return forms_[static_cast<std::size_t>(index)]; }
  QTabWidget* tabs() const { return tabs_; }

  void accept() override;

  /// The sheet's values with what the pages hold now.
  core::ItemValues editedValues();

private:
  void ringSound();
  void addAction(QHBoxLayout* row, const QString& text, std::function<void()> act);

  view::TrayPropertySheet sheet_;
  view::SettingsDraft draft_;
  core::Messages& messages_;
  platform::Sound& sound_;
  QTabWidget* tabs_;
  std::vector<SettingsPageForm*> forms_;
};

}  // namespace zorvik::ui
