/// \file
/// The environment settings sheet "環境設定": one tab per page of
/// view::environmentPages(), "OK", "ｷｬﾝｾﾙ". OK takes every page's controls
/// into the draft; when something changed, "個別設定ファイルの保存" asks
/// where the personal settings file goes (the file it was loaded from is
/// offered) and the draft is confirmed there. A value an item cannot take
/// is refused with its message and the sheet stays open. OK without a
/// change writes nothing.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "view/SettingsDraft.h"

class QTabWidget;

namespace zorvik::mailflow {
class Document;
}

namespace zorvik::ui {

class SettingsPageForm;

class SettingsSheet : public QDialog {
  Q_OBJECT

public:
  SettingsSheet(mailflow::Document& document, core::Messages& messages, QWidget* parent = nullptr);

  /// Asks where the settings file goes, given the current one; empty when
  /// the user cancelled. The file dialog unless a test sets another.
  using SavePathAsker = std::function<std::optional<std::string>(const std::string& current)>;
  void setSavePathAsker(SavePathAsker asker) { askSavePath_ = std::move(asker); }

  QTabWidget* tabs() const { return tabs_; }
  SettingsPageForm* page(int index) const { return forms_[static_cast<std::size_t>(index)]; }
  view::SettingsDraft& draft() { return draft_; }

  /// Takes every page's controls into the draft, lets `edit` change it and
  /// shows the draft again: for buttons that change other items at once.
  void editDraft(const std::function<void(view::SettingsDraft&)>& edit);

  void accept() override;

private:
  mailflow::Document& document_;
  core::Messages& messages_;
  view::SettingsDraft draft_;
  QTabWidget* tabs_;
  std::vector<SettingsPageForm*> forms_;
  SavePathAsker askSavePath_;
};

}  // namespace zorvik::ui
