/// \file
/// The progress dialog of "ｻｰﾊﾞ送受信" (and of a receive alone), titled
/// "サーバ送受信" ("サーバ受信"): it shows the
/// account the run will use (POP3 server, user, password, SMTP server,
/// APOP, UIDL, keep mails on the server), which the user may change for
/// this run or, with "この設定を保存する", for good (mailflow::AccountChange);
/// "開始" runs mailflow::SendFlow (or ReceiveFlow) on a worker thread, the
/// progress lines and their share in the dialog; "キャンセル" stops the run as
/// WorkDialog says, or closes the dialog before it starts.
///
/// The dialog ends by itself when the run is over; exec() returns the
/// result bits (mailflow::kMailReceived, kMailSent), 0 after a cancel or a
/// run that moved nothing. The reports stay readable afterwards.
#pragma once

#include <optional>

#include "mailflow/AccountChange.h"
#include "mailflow/ReceiveFlow.h"
#include "mailflow/SendFlow.h"
#include "ui/WorkDialog.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace zorvik::mailflow {
class Document;
}

namespace zorvik::ui {

class SendReceiveDialog : public WorkDialog {
  Q_OBJECT

public:
  enum class Mode { SendAndReceive, Receive };

  /// `document` must outlive the dialog.
  SendReceiveDialog(mailflow::Document& document, Mode mode, QWidget* parent = nullptr);
  ~SendReceiveDialog() override;

  /// The account as the fields hold it.
  mailflow::MailAccount account() const;

  /// What the run did: the send/receive's report, or the receive's.
  const std::optional<mailflow::SendReport>& sendReport() const { return sendReport_; }
  const std::optional<mailflow::ReceiveReport>& receiveReport() const { return receiveReport_; }
  /// The user stopped the run.
  bool stopped() const { return stopped_; }

  QPushButton* startButton() const { return start_; }
  QLineEdit* popServerField() const { return popServer_; }

protected:
  void runningChanged() override;

private:
  QGroupBox* accountBox(const mailflow::MailAccount& account);
  void startRun();
  void runEnded(int bits);

  mailflow::Document& document_;
  Mode mode_;
  QGroupBox* account_ = nullptr;
  QLineEdit* popServer_ = nullptr;
  QLineEdit* popUser_ = nullptr;
  QLineEdit* password_ = nullptr;
  QLineEdit* smtpServer_ = nullptr;
  QCheckBox* apop_ = nullptr;
  QCheckBox* uidl_ = nullptr;
  QCheckBox* keepOnServer_ = nullptr;
  QCheckBox* remember_ = nullptr;
  QPushButton* start_ = nullptr;
  std::unique_ptr<mailflow::AccountChange> change_;
  std::optional<mailflow::SendReport> sendReport_;
  std::optional<mailflow::ReceiveReport> receiveReport_;
  bool stopped_ = false;
};

}  // namespace zorvik::ui
