/// \file
/// The key dialog "制御キーの設定": the list "制御キーに割当てられる機能(&F)："
/// of every macro of one view with its binding, "現在の設定" of the
/// selected one, the capture field under "新しく割り当てる設定(&N)" with
/// "×", "設定(&S)", "解除(&R)", "OK（更新）", "ｷｬﾝｾﾙ（取消）" and
/// "Windows標準に戻す(&W)" (editor only: the dialog closes asking for the
/// standard layout). The capture field takes every key, Tab and the
/// shortcuts included; a binding that takes strokes from another macro, or
/// shadows one, says which.
#pragma once

#include <QDialog>
#include <optional>
#include <string>

#include "view/KeyBindingEditor.h"

class QLabel;
class QTreeWidget;
class QPushButton;

namespace zorvik::ui {

class KeyCaptureField;

class KeyCaptureDialog : public QDialog {
  Q_OBJECT

public:
  /// Result code of "Windows標準に戻す(&W)".
  static constexpr int kStandardLayout = 2;

  KeyCaptureDialog(view::MacroTable table, std::string_view definition, bool offerStandard, QWidget* parent = nullptr);

  /// The definition text as the dialog leaves it (Shift_JIS is ASCII here).
  std::string definition() const { return editor_.definition(); }

  /// Opens the dialog for settings item `id` (215, 313, 429, 519) over
  /// `definition`: the new text, the standard one after "Windows標準に戻す",
  /// nothing when cancelled.
  static std::optional<std::string> edit(int id, const std::string& definition, QWidget* parent);

  QTreeWidget* macroList() const { return list_; }
  KeyCaptureField* captureField() const { return capture_; }
  QLabel* currentLabel() const { return current_; }
  QLabel* clashLabel() const { return clash_; }
  QPushButton* setButton() const { return set_; }
  QPushButton* unsetButton() const { return unset_; }

private:
  int currentRow() const;
  void refresh();
  void showSelected();

  view::KeyBindingEditor editor_;
  QTreeWidget* list_;
  QLabel* current_;
  KeyCaptureField* capture_;
  QLabel* clash_;
  QPushButton* set_;
  QPushButton* unset_;
};

/// The capture field: shows the captured strokes and takes every key.
class KeyCaptureField : public QWidget {
  Q_OBJECT

public:
  explicit KeyCaptureField(QWidget* parent = nullptr);
  const view::KeyCapture& capture() const { return capture_; }
  void clear();

protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  QSize sizeHint() const override;

private:
  view::KeyCapture capture_;
};

}  // namespace zorvik::ui
