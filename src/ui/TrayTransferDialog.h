/// \file
/// The backup ("トレイのバックアップ"), import ("外部からトレイ併合") and
/// export ("外部へトレイ書出") dialogs: one layout with the fields of its
/// kind, the choices remembered in the settings ("設定保存"), and "実行",
/// which runs mailflow::TrayTransferFlow on a worker thread with its
/// progress in the dialog. While it runs "閉じる" becomes "中止" (see
/// WorkDialog): the copy ends at the next write and what was written stays. The dialog stays
/// open after a run, showing how it went, until the user closes it.
///
/// Which fields a kind has:
///   backup  読出トレイ (the store side), 書込先 (a folder), the period, and
///           the switches focused tray only, delete what was backed up,
///           compact after deleting
///   import  読出元 (outside), 書込先 (the store side, read-only), the period,
///           same tree structure, focused tray only
///   export  読出元 (the store side, read-only), 書込先 (outside), the period,
///           same tree structure, focused tray only, and remove the
///           exported trays (offered for a focused tray or cabinet only)
/// Below them the dialog shows the outside path the run will use.
#pragma once

#include <optional>
#include <string>

#include "mailflow/TrayTransferFlow.h"
#include "ui/WorkDialog.h"
#include "view/TrayTransferForm.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zorvik::mailflow {
class Document;
}

namespace zorvik::ui {

class TrayTransferDialog : public WorkDialog {
  Q_OBJECT

public:
  /// `selection` is the selected tray or cabinet (Shift_JIS, relative to
  /// the top cabinet; "" the top). `document` must outlive the dialog.
  TrayTransferDialog(mailflow::Document& document, view::TransferKind kind, std::string selection,
                     QWidget* parent = nullptr);

  /// The choices as the fields hold them now.
  view::TransferChoices choices() const;
  /// The result of the last run; empty before one, or when the store was
  /// busy.
  const std::optional<mailflow::TransferOutcome>& outcome() const { return outcome_; }

  QLineEdit* outsideField() const { return outside_; }
  QComboBox* periodField() const { return period_; }
  QPushButton* runButton() const { return run_; }

signals:
  /// A run has ended (the store may have changed).
  void transferFinished();

protected:
  void runningChanged() override { updateState(); }

private:
  void buildFields();
  QLineEdit* storeSideField();
  QWidget* outsideRow();
  void updateState();
  void browse();
  void saveChoices();
  void runTransfer();
  void transferEnded(const std::optional<mailflow::TransferOutcome>& outcome);
  QString storeSideText() const;

  mailflow::Document& document_;
  view::TransferKind kind_;
  std::string selection_;
  QLineEdit* outside_ = nullptr;
  QLineEdit* storeSide_ = nullptr;
  QComboBox* period_ = nullptr;
  QDateEdit* day_ = nullptr;
  QCheckBox* sameTree_ = nullptr;
  QCheckBox* focusedOnly_ = nullptr;
  QCheckBox* deleteCopied_ = nullptr;
  QCheckBox* compactAfter_ = nullptr;
  QCheckBox* removeSource_ = nullptr;
  QLabel* target_ = nullptr;
  QPushButton* save_ = nullptr;
  QPushButton* run_ = nullptr;
  std::optional<mailflow::TransferOutcome> outcome_;
};

}  // namespace zorvik::ui
