/// \file
/// The import dialog "他のﾒｰﾗより取得" of the tray and cabinet property
/// sheets: the mailer kind "ﾒｰﾗの種類(&K)：", the source
/// "取り込む他のﾒｰﾗのﾄﾚｲ存在場所(&P)" with "参照(&B)..." (a file of the
/// kind's filter; a folder for Maildir), the period group "取込期間(&D)",
/// "取得(&G)" and "ｷｬﾝｾﾙ(&C)". Started from a cabinet it says that every
/// file with the chosen file's extension is taken.
///
/// The dialog only collects: mailflow::ImportFlow judges the request and
/// shows its messages. For Becky! without an "Attach" folder near the
/// mailbox, "取得" first asks for the attachment folder
/// ("Becky! 添付ファイルフォルダを指定"); cancelling leaves the choice to the
/// flow, which then says that attachments stay as they are.
#pragma once

#include <QDialog>

#include "mailflow/ImportFlow.h"

class QButtonGroup;
class QLineEdit;
class QListWidget;

namespace zorvik::ui {

class ImportDialog : public QDialog {
  Q_OBJECT

public:
  /// Into the tray `tray`, or into the cabinet `cabinet` (store paths,
  /// Shift_JIS).
  ImportDialog(std::string tray, std::optional<std::string> cabinet, QWidget* parent = nullptr);

  mailflow::ImportRequest request() const;

  QListWidget* kindList() const { return kinds_; }
  QLineEdit* sourceField() const { return source_; }
  QButtonGroup* periodGroup() const { return period_; }

  void accept() override;

private:
  void browse();

  std::string tray_;
  std::optional<std::string> cabinet_;
  std::optional<std::string> attachFolder_;
  QListWidget* kinds_;
  QLineEdit* source_;
  QButtonGroup* period_;
};

}  // namespace zorvik::ui
