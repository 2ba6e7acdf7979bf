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

class QPushButton;
class QTabWidget;

namespace zorvik::ui {

class SettingsPageForm;

class TrayPropertyDialog : public QDialog {
  Q_OBJECT

public:
  /// `startImport` runs the import dialog for this tray or cabinet; the
  /// button is left out without one.
  TrayPropertyDialog(view::TrayPropertySheet sheet, core::Messages& messages, platform::Sound& sound,
                     std::function<void()> startImport = {}, QWidget* parent = nullptr);

  SettingsPageForm* page(int index) const { return forms_[static_cast<std::size_t>(index)]; }
  QTabWidget* tabs() const { return tabs_; }

  void accept() override;

private:
  void ringSound();

  view::TrayPropertySheet sheet_;
  view::SettingsDraft draft_;
  core::Messages& messages_;
  platform::Sound& sound_;
  QTabWidget* tabs_;
  std::vector<SettingsPageForm*> forms_;
};

}  // namespace zorvik::ui
