/// \file
/// The mail property sheet: "情報" (the main header fields, read-only),
/// "ヘッダー" (the whole header), "添付ﾌｧｲﾙ" (the attachments, each saved
/// with "保存(&S)..." into a folder the user picks) and "その他の情報".
/// The command that saves attachments opens it on its third page.
#pragma once

#include <QDialog>

#include "view/MailProperties.h"

class QListWidget;
class QTabWidget;

namespace zorvik::ui {

class MailPropertyDialog : public QDialog {
  Q_OBJECT

public:
  static constexpr int kAttachmentPage = 2;

  MailPropertyDialog(view::MailProperties properties, int page = 0, QWidget* parent = nullptr);

  QTabWidget* tabs() const { return tabs_; }
  QListWidget* attachmentList() const { return attachments_; }
  /// Saves the selected attachments into `folder` (Shift_JIS); how many.
  int saveSelected(const std::string& folder);

private:
  view::MailProperties properties_;
  QTabWidget* tabs_;
  QListWidget* attachments_;
};

}  // namespace zorvik::ui
