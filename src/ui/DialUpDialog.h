/// \file
/// The dialog "ﾀﾞｲｱﾙｱｯﾌﾟ接続" that asks before dialling while settings item
/// 905 is on: the entry "接続先(&O)：" (NetworkManager's connections, or
/// typed), "接続ﾕｰｻﾞ名(&U)：", "ﾊﾟｽﾜｰﾄﾞ(&A)：", "NTﾄﾞﾒｲﾝ(&T)：", the checks
/// "RAS接続情報を保存する(&S)" and "次回からこのダイアログを表示しない(&N)",
/// "ﾀﾞｲｱﾙ(&D)" and "ｷｬﾝｾﾙ(&C)".
///
/// QtDialUpPrompt lends it, and the dialling window, to the workflows, which ask from their worker
/// thread: the dialog runs on the application's thread while the worker
/// waits. Saving writes items 901-904 (and 905 off for "次回から...") into
/// the document and its settings file.
#pragma once

#include <QDialog>
#include <atomic>
#include <string>
#include <vector>

#include "mailflow/DialUpPrompt.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

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

/// The error window "ダイアルアップ接続エラー" of a dialling the service
/// refused: "ダイアルアップ中にエラーが起こりました", the service's own
/// words, and what was dialled (entry, domain, user and password, the
/// password hidden), read-only, with "OK".
class DialUpErrorWindow final : public QDialog {
  Q_OBJECT

public:
  DialUpErrorWindow(const net::DialEntry& entry, const std::string& reason, QWidget* parent = nullptr);

  QLabel* reasonLabel() const { return reason_; }

private:
  QLabel* reason_;
};

/// The window "ﾀﾞｲｱﾙｱｯﾌﾟ接続中": the entry, the user, the state of the
/// dialling and "中断(&A)". Fed from the worker thread: each state is shown
/// on the application's thread, the window coming up with the first one.
/// A failure the service reports closes it and opens DialUpErrorWindow.
class DiallingWindow final : public QDialog, public net::DialObserver {
  Q_OBJECT

public:
  explicit DiallingWindow(QWidget* parent = nullptr);

  void start(const net::DialEntry& entry);
  void state(int state, const std::string& text) override;
  bool abortRequested() override { return aborted_.load(); }
  bool failed(const net::DialEntry& entry, const std::string& reason) override;

  QLabel* stateLabel() const { return state_; }
  QPushButton* abortButton() const { return abort_; }

private:
  QLabel* entry_;
  QLabel* user_;
  QLabel* state_;
  QPushButton* abort_;
  std::atomic<bool> aborted_{false};
};

class QtDialUpPrompt final : public mailflow::DialUpPrompt {
public:
  QtDialUpPrompt(mailflow::Document& document, QWidget* parent);
  bool confirm(net::DialEntry& entry) override;
  net::DialObserver* dialling(const net::DialEntry& entry) override;
  void dialled() override;

private:
  mailflow::Document& document_;
  QWidget* parent_;
  DiallingWindow* window_;
};

}  // namespace zorvik::ui
