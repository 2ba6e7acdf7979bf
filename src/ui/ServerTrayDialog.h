/// \file
/// The small dialogs through which the user works on the POP3 server from
/// the mail-server tray, and the send dialog: each asks its question, and
/// on "OK" runs one mailflow::ServerTrayFlow operation (SendFlow for the
/// send) on a worker thread, its own POP3 connection under the store's
/// lock, with a status text and a progress bar; "ｷｬﾝｾﾙ" stops it as
/// WorkDialog says, or closes the dialog before it starts.
///
///   HeaderReceive   "ｻｰﾊﾞﾍｯﾀﾞｰﾞ受信": every server mail's header into the tray
///   ReceiveSelected "選択ﾒｰﾙ受信": the selected mails into the new-mail tray
///   DeleteSelected  "ｻｰﾊﾞﾒｰﾙ削除": the selected mails off the server
///   Counters        the server's counters, optionally deleting every mail
///                   received before (the clean-up switch)
///   Send            "ﾒｰﾙ送信": the unsent tray
///
/// A dialog ends by itself when its work is over: accepted when it went
/// through, rejected when the user stopped it or it failed (the reason was
/// shown as a numbered message).
/// The counters dialog stays open to show them until the user closes it.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "mailflow/SendFlow.h"
#include "mailflow/ServerTrayFlow.h"
#include "ui/WorkDialog.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace zorvik::mailflow {
class Document;
}

namespace zorvik::ui {

enum class ServerTrayWork { HeaderReceive, ReceiveSelected, DeleteSelected, Counters, Send };

class ServerTrayDialog : public WorkDialog {
  Q_OBJECT

public:
  /// `selection` holds the record indices of the mails selected in the
  /// mail-server tray (receive and delete). `document` must outlive the
  /// dialog.
  ServerTrayDialog(mailflow::Document& document, ServerTrayWork work, std::vector<std::uint32_t> selection = {},
                   QWidget* parent = nullptr);

  /// What the work did (the one its kind fills).
  const std::optional<mailflow::ServerCounters>& counters() const { return counters_; }
  const std::optional<mailflow::SelectionOutcome>& selectionOutcome() const { return selectionOutcome_; }
  const std::optional<mailflow::SendReport>& sendReport() const { return sendReport_; }

  QPushButton* okButton() const { return ok_; }
  QCheckBox* cleanUpSwitch() const { return cleanUp_; }

  /// The counters line as the dialog shows it.
  static QString countersText(const mailflow::ServerCounters& counters, bool cleanUp);

protected:
  void runningChanged() override;

private:
  void beginWork();
  void finish(bool ok, const QString& status);

  mailflow::Document& document_;
  ServerTrayWork work_;
  std::vector<std::uint32_t> selection_;
  QLabel* question_ = nullptr;
  QCheckBox* cleanUp_ = nullptr;
  QPushButton* ok_ = nullptr;
  bool finished_ = false;
  std::optional<mailflow::ServerCounters> counters_;
  std::optional<mailflow::SelectionOutcome> selectionOutcome_;
  std::optional<mailflow::SendReport> sendReport_;
};

}  // namespace zorvik::ui
