#include "ui/ServerCommands.h"

#include "core/SettingsItemTable.h"
#include "mailflow/NewMailCheck.h"
#include "mailflow/SendFlow.h"
#include "mailflow/SessionDriver.h"
#include "store/SystemTrays.h"
#include "ui/MailListModel.h"
#include "ui/MainWindow.h"
#include "ui/SendReceiveDialog.h"
#include "ui/ServerTrayDialog.h"
#include "ui/SortingLogWindow.h"
#include "ui/QtText.h"
#include "ui/TrayTransferDialog.h"
#include "ui/TrayTreeModel.h"
#include "ui/UiLog.h"
#include "ui/WorkflowRunner.h"
#include "view/InstanceHandOff.h"
#include "view/TrayTransferForm.h"

namespace zorvik::ui {

using core::MessageNumber;
namespace item = core::item;

void ServerCommands::sendReceive(bool withDialog) {
  if (window_.runner_->busy()) {
    window_.messages_.error(MessageNumber::ServerCommandRunning);
    return;
  }
  window_.stopTimers();
  if (withDialog) {
    SendReceiveDialog dialog(window_.document_, SendReceiveDialog::Mode::SendAndReceive, &window_);
    UiLog::global().watch(&dialog);
    dialog.exec();
    window_.workflowDone(dialog.sendReport() ? dialog.sendReport()->result.received : 0);
    return;
  }
  auto received = std::make_shared<std::size_t>(0);
  window_.startWork(
      [this, received](mailflow::FrontEnd& front) {
        const auto report = mailflow::SendFlow::run(window_.document_, front, mailflow::SessionDriver::Command::SendAndReceive);
        if (report) *received = report->result.received;
      },
      [this, received] { window_.workflowDone(*received); });
}

void ServerCommands::sendOnly() { runServerDialog(static_cast<int>(ServerTrayWork::Send)); }

void ServerCommands::receive() {
  if (window_.listModel_->list().trayKind() == store::kMailServerTray && !window_.selectedMails().empty()) {
    runServerDialog(static_cast<int>(ServerTrayWork::ReceiveSelected));
    return;
  }
  if (window_.runner_->busy()) {
    window_.messages_.error(MessageNumber::ReceiveRunning);
    return;
  }
  window_.stopTimers();
  SendReceiveDialog dialog(window_.document_, SendReceiveDialog::Mode::Receive, &window_);
  UiLog::global().watch(&dialog);
  dialog.exec();
  const auto& report = dialog.receiveReport();
  window_.workflowDone(report ? static_cast<std::size_t>(std::max(0, report->phase.received)) : 0);
}

void ServerCommands::headerReceive() {
  if (window_.runner_->busy()) {
    window_.messages_.error(MessageNumber::ReceiveRunning);
    return;
  }
  runServerDialog(static_cast<int>(ServerTrayWork::HeaderReceive));
}

void ServerCommands::runServerDialog(int work) {
  if (window_.runner_->busy()) {
    window_.messages_.error(MessageNumber::ServerCommandRunning);
    return;
  }
  window_.stopTimers();
  const auto kind = static_cast<ServerTrayWork>(work);
  const bool withSelection = kind == ServerTrayWork::ReceiveSelected || kind == ServerTrayWork::DeleteSelected;
  ServerTrayDialog dialog(window_.document_, kind, withSelection ? window_.selectedMails() : std::vector<std::uint32_t>{},
                          &window_);
  UiLog::global().watch(&dialog);
  dialog.exec();
  const auto& outcome = dialog.selectionOutcome();
  const bool received = kind == ServerTrayWork::ReceiveSelected && outcome && outcome->done > 0;
  window_.workflowDone(received ? static_cast<std::size_t>(outcome->done) : 0);
}

void ServerCommands::transferDialog(int kind) {
  TrayTransferDialog dialog(window_.document_, static_cast<view::TransferKind>(kind), window_.selectedNode(), &window_);
  UiLog::global().watch(&dialog);
  QObject::connect(&dialog, &TrayTransferDialog::transferFinished, &window_, [this] { window_.refreshAfterStoreChange(); });
  dialog.exec();
}

void ServerCommands::showSortingLog() {
  if (!window_.sortingLog_) {
    window_.sortingLog_ = new SortingLogWindow(
        sorting::SortingLog(window_.document_.settings().sortingLogPath(), window_.document_.settings().timeZoneOffsetHours()), &window_);
    UiLog::global().watch(window_.sortingLog_);
  } else {
    window_.sortingLog_->reload();
  }
  window_.sortingLog_->show();
  window_.sortingLog_->raise();
}

void ServerCommands::sendReceiveAll() {
  const std::string own = view::InstanceHandOff::socketPath(window_.options_.settingsName);
  for (const std::string& path : view::InstanceHandOff::allSocketPaths()) {
    if (path == own) continue;
    view::InstanceHandOff::send(path, {view::HandOffRequest::Kind::SendReceive, {}}, std::chrono::seconds(2));
  }
  sendReceive(false);
}

void ServerCommands::checkForNewMail() {
  if (window_.runner_->busy() || !mailflow::NewMailCheck::due(window_.document_, window_.runner_->busy())) return;
  window_.checkTimer_.stop();
  auto report = std::make_shared<mailflow::CheckReport>();
  window_.startWork([this, report](mailflow::FrontEnd& front) { *report = mailflow::NewMailCheck::run(window_.document_, front); },
                 [this, report] {
                   if (report->counters) window_.setWindowTitle(fromSjis(mailflow::NewMailCheck::titleText(*report->counters)));
                   window_.workflowDone(report->sendReceive ? report->sendReceive->received : 0);
                 });
}

void ServerCommands::autoSend() {
  if (window_.runner_->busy()) {
    window_.autoSendTimer_.start(10000);
    return;
  }
  sendReceive(false);
}

}  // namespace zorvik::ui
