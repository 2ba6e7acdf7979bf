/// \file
/// The dialog "ﾀﾞｲｱﾙｱｯﾌﾟ接続" that asks before dialling while settings item
/// 905 is on: the entry "接続先(&O)：" (NetworkManager's connections, or
/// typed), "接続ﾕｰｻﾞ名(&U)：", "ﾊﾟｽﾜｰﾄﾞ(&A)：", "NTﾄﾞﾒｲﾝ(&T)：", the checks
/// "RAS接続情報を保存する(&S)" and "次回からこのダイアログを表示しない(&N)",
/// "ﾀﾞｲｱﾙ(&D)" and "ｷｬﾝｾﾙ(&C)".
///
/// QtDialUpPrompt lends it to the workflows, which ask from their worker
/// thread: the dialog runs on the application's thread while the worker
/// waits. Saving writes items 901-904 (and 905 off for "次回から...") into
/// the document and its settings file.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "mailflow/DialUpPrompt.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace zorvik::mailflow {
class Document;
}

namespace zorvik::ui {

class DialUpDialog : public QDialog {
  Q_OBJECT

public:
  DialUpDialog(const net::DialEntry& entry, const std::vector<std::string>& entryNames, QWidget* parent = nullptr);

  net::DialEntry entry() const;
  bool saveEntry() const;
  bool hideFromNowOn() const;

  QComboBox* entryBox() const { return entries_; }
  QLineEdit* userField() const { return user_; }
  QLineEdit* passwordField() const { return password_; }
  QCheckBox* saveBox() const { return save_; }
  QCheckBox* hideBox() const { return hide_; }

private:
  QComboBox* entries_;
  QLineEdit* user_;
  QLineEdit* password_;
  QLineEdit* domain_;
  QCheckBox* save_;
  QCheckBox* hide_;
};

class QtDialUpPrompt final : public mailflow::DialUpPrompt {
public:
  QtDialUpPrompt(mailflow::Document& document, QWidget* parent) : document_(document), parent_(parent) {}
  bool confirm(net::DialEntry& entry) override;

private:
  mailflow::Document& document_;
  QWidget* parent_;
};

}  // namespace zorvik::ui
