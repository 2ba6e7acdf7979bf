/// \file
/// The start-up tips dialog "ﾜﾝﾎﾟｲﾝﾄ": one tip of view::TipFile at a time,
/// "次を表示(&N)", "閉じる(&C)" and the check "起動時にﾜﾝﾎﾟｲﾝﾄを表示(&S)".
/// Closing hands the place reached back to the caller, who keeps it in the
/// program's profile. Without a tips file it says so (and keeps the place
/// as it was).
#pragma once

#include <QDialog>
#include <optional>

#include "core/Messages.h"
#include "view/TipFile.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace zorvik::ui {

class TipDialog : public QDialog {
  Q_OBJECT

public:
  /// `path` is the tips file (empty when none was found).
  TipDialog(const std::string& path, const view::TipPlace& place, core::Messages& messages, QWidget* parent = nullptr);

  /// Where the tips stopped and whether they show at start, as closed.
  view::TipPlace place() const;

  QLabel* tipLabel() const { return tip_; }
  QPushButton* nextButton() const { return next_; }
  QCheckBox* showAtStartBox() const { return showAtStart_; }

private:
  void showNext();

  view::TipPlace place_;
  std::optional<view::TipFile> file_;
  QLabel* tip_;
  QCheckBox* showAtStart_;
  QPushButton* next_;
};

}  // namespace zorvik::ui
