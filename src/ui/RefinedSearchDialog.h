/// \file
/// The dialog "絞り込み検索": conditions on the sender, the recipients, the
/// subject, the body and one more header chosen from a list, each with
/// "含む" or "含まない"; a first and a last day; only the current tray; only
/// marked mails. A condition counts only when its box is ticked. "検索"
/// accepts, "キャンセル(&C)" does nothing.
#pragma once

#include <QDialog>

#include "search/SearchQuery.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;

namespace zorvik::ui {

class RefinedSearchDialog : public QDialog {
  Q_OBJECT

public:
  explicit RefinedSearchDialog(QWidget* parent = nullptr);

  /// The ticked conditions (texts in Shift_JIS).
  search::RefinedConditions conditions() const;
  /// "現在のトレイ（フォルダ）にあるメールのみを対象とする(&R)".
  bool currentTrayOnly() const;

  struct TextRow {
    QCheckBox* use;
    QComboBox* field;  // the chosen header; null for the fixed rows
    QLineEdit* text;
    QComboBox* contains;
  };
  /// The rows, for tests: From, To, Subject, body, the chosen header.
  const std::vector<TextRow>& rows() const { return rows_; }
  QCheckBox& sinceBox() const { return *since_; }
  QDateEdit& sinceDate() const { return *sinceDate_; }
  QCheckBox& markedBox() const { return *marked_; }

private:
  std::vector<TextRow> rows_;
  QCheckBox* since_;
  QDateEdit* sinceDate_;
  QCheckBox* until_;
  QDateEdit* untilDate_;
  QCheckBox* currentTray_;
  QCheckBox* marked_;
};

}  // namespace zorvik::ui
