/// \file
/// One page of a settings sheet as widgets, built from its description
/// (view::SettingsPage): a label, control and unit per row, and a button
/// per sub-dialog, which opens the sub-dialog's page in a dialog of its own
/// with "OK" and "ｷｬﾝｾﾙ".
///
/// The form keeps no value: load() copies the draft into the controls,
/// store() copies the controls back into the draft. A sub-dialog loads
/// from the draft when it opens and stores into it on OK, so Cancel on the
/// sheet drops what its sub-dialogs took as well.
#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "view/SettingsDraft.h"
#include "view/SettingsField.h"

class QGridLayout;

namespace zorvik::ui {

class SettingsPageForm : public QWidget {
  Q_OBJECT

public:
  /// `draft` must outlive the form.
  SettingsPageForm(const view::SettingsPage& page, view::SettingsDraft& draft, QWidget* parent = nullptr);

  void load();
  void store();

  /// Opens the key capture dialog of a key definition item; set by the
  /// sheet. It gets the definition text (Shift_JIS) and returns the new
  /// one, or nothing when the user cancelled.
  using KeyEditor = std::function<std::optional<std::string>(int id, const std::string& text, QWidget* parent)>;
  static void setKeyEditor(KeyEditor editor);
  /// Runs the action button of item `id`'s control; set by the sheet.
  using Action = std::function<void(int id, QWidget* parent)>;
  static void setAction(Action action);

  /// The widget that edits item `id`, for tests; null when the page has none.
  QWidget* control(int id) const;
  /// The button that opens the sub-dialog `title` (Shift_JIS).
  QWidget* detailButton(const std::string& title) const;

private:
  struct Binding {
    int id = 0;
    QWidget* control = nullptr;
    std::function<void()> load;
    std::function<void()> store;
  };
  void addRow(const view::SettingsField& field);
  void addDetails(const view::SettingsPage& page);

  view::SettingsDraft& draft_;
  std::vector<Binding> bindings_;
  std::vector<std::pair<std::string, QWidget*>> detailButtons_;
  QGridLayout* grid_;
};

}  // namespace zorvik::ui
