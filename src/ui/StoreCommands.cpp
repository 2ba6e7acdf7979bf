#include "ui/StoreCommands.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QMessageBox>

#include "core/SettingsItemTable.h"
#include "mailflow/SortFlow.h"
#include "mailflow/TrayMaintenance.h"
#include "message/MailRecordParser.h"
#include "platform/Clock.h"
#include "store/MailOperations.h"
#include "store/RecordFlags.h"
#include "store/SystemTrays.h"
#include "store/TrayFile.h"
#include "store/TrayUpgrade.h"
#include "store/TreeOperations.h"
#include "ui/ClipPayload.h"
#include "ui/MailListModel.h"
#include "ui/MailListPane.h"
#include "ui/MailTextView.h"
#include "ui/MainWindow.h"
#include "ui/ServerCommands.h"
#include "ui/ServerTrayDialog.h"
#include "ui/SortingNotice.h"
#include "ui/QtText.h"
#include "ui/TrayTreeModel.h"
#include "ui/TrayTreeView.h"
#include "ui/WorkflowRunner.h"
#include "view/CommandId.h"
#include "view/DropDecision.h"
#include "view/HoldingCabinet.h"
#include "view/MailTextExport.h"

namespace zorvik::ui {

using core::MessageNumber;
namespace cmd = view::cmd;
namespace item = core::item;

namespace {

// A busy cursor for the length of a store operation.
class WaitCursor {
public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

void StoreCommands::newNode(bool tray) {
  std::string cabinet = window_.selectedNode();
  const auto row = window_.list_->currentRow();
  if (window_.lastFocus_ == view::Focus::List && row)
    if (const view::TreeNode* entry = window_.listModel_->list().node(*row); entry && entry->isCabinet) cabinet = entry->path;
  store::TreeOperations operations(window_.document_.store(), window_.document_.settings(), window_.messages_);
  const auto created = tray ? operations.newTray(cabinet) : operations.newCabinet(cabinet);
  if (!created) return;
  window_.treeModel_->reload(cabinet);
  const QModelIndex index = window_.treeModel_->indexOf(*created);
  if (!index.isValid()) return;
  window_.selectNode(*created);
  window_.focusPane(view::Focus::Tree);
  window_.tree_->edit(index);
}

void StoreCommands::renameSelected() {
  const auto row = window_.list_->currentRow();
  if (window_.lastFocus_ == view::Focus::List && row && window_.listModel_->list().node(*row)) {
    window_.list_->currentView()->edit(window_.listModel_->index(static_cast<int>(*row), 0));
    return;
  }
  window_.focusPane(view::Focus::Tree);
  window_.tree_->edit(window_.tree_->currentIndex());
}

void StoreCommands::deleteSelected(bool forGood) {
  const view::MailList& list = window_.listModel_->list();
  const auto state = window_.commandState();
  if (state.actsOnMails()) {
    const auto mails = window_.selectedMails();
    if (list.trayKind() == store::kMailServerTray) {
      window_.serverCommands_->runServerDialog(static_cast<int>(ServerTrayWork::DeleteSelected));
      return;
    }
    const std::size_t first = window_.list_->selectedRows().front();
    {
      WaitCursor wait;
      const store::MailOperations operations(window_.document_.store(), window_.document_.settings().text(item::kTrashTray),
                                             window_.document_.settings().timeZoneOffsetHours(),
                                             window_.document_.settings().text(item::kMailServerTray));
      operations.remove(list.path(), mails, forGood || list.trayKind() == store::kTrashTray);
    }
    window_.treeModel_->reloadAll();
    window_.listModel_->reload();
    window_.showCounts();
    if (window_.listModel_->rowCount() == 0) {
      window_.focusPane(view::Focus::Tree);
    } else {
      window_.list_->selectRow(std::min<std::size_t>(first, static_cast<std::size_t>(window_.listModel_->rowCount()) - 1));
    }
    return;
  }
  std::string path = window_.selectedNode();
  const auto row = window_.list_->currentRow();
  const bool fromList = window_.lastFocus_ == view::Focus::List && row && list.node(*row);
  if (fromList) path = list.node(*row)->path;
  store::TreeOperations operations(window_.document_.store(), window_.document_.settings(), window_.messages_);
  if (!operations.remove(path)) {
    window_.refreshAfterStoreChange(view::parentOf(path));
    return;
  }
  window_.history_.forgetTray(path);
  if (fromList) {
    window_.refreshAfterStoreChange(view::parentOf(path));
    return;
  }
  // The selection moves to the next sibling, else the previous, else the parent.
  const QModelIndex index = window_.tree_->currentIndex();
  const QModelIndex next = index.sibling(index.row() + 1, 0).isValid() ? index.sibling(index.row() + 1, 0)
                                                                        : index.sibling(index.row() - 1, 0);
  const std::string nextPath = next.isValid() ? TrayTreeView::pathOf(next) : view::parentOf(path);
  window_.treeModel_->reload(view::parentOf(path));
  window_.selectNode(nextPath);
}

void StoreCommands::clearLinks() {
  const auto state = window_.commandState();
  if (state.actsOnMails()) {
    const store::MailOperations operations(window_.document_.store(), window_.document_.settings().text(item::kTrashTray));
    operations.releaseLinks(window_.listModel_->list().path(), window_.selectedMails());
  } else {
    store::TreeOperations(window_.document_.store(), window_.document_.settings(), window_.messages_).clearLinks(window_.selectedNode());
  }
  window_.refreshAfterStoreChange();
}

void StoreCommands::setReadState(int command) {
  const auto state = window_.commandState();
  const bool opened = command != cmd::kMarkUnread;
  const bool clearLinks = command == cmd::kOpenedClearLinks;
  if (state.actsOnMails()) {
    const store::MailOperations operations(window_.document_.store(), window_.document_.settings().text(item::kTrashTray),
                                           window_.document_.settings().timeZoneOffsetHours(),
                                           window_.document_.settings().text(item::kMailServerTray));
    const auto mails = window_.selectedMails();
    if (!operations.setOpened(window_.listModel_->list().path(), mails, opened, clearLinks)) return;
    if (clearLinks) {
      window_.refreshAfterStoreChange();
      return;
    }
    for (const std::uint32_t mail : mails) window_.listModel_->setOpened(mail, opened);
    window_.showCounts();
    return;
  }
  std::string path = window_.selectedNode();
  const auto row = window_.list_->currentRow();
  if (window_.lastFocus_ == view::Focus::List && row && window_.listModel_->list().node(*row)) path = window_.listModel_->list().node(*row)->path;
  const auto readState = clearLinks ? store::ReadState::OpenedClearLinks
                                    : opened ? store::ReadState::Opened : store::ReadState::Unread;
  store::TreeOperations(window_.document_.store(), window_.document_.settings(), window_.messages_).setReadState(path, readState);
  window_.refreshAfterStoreChange();
}

void StoreCommands::setMark(int mark) {
  const auto mails = window_.selectedMails();
  if (mails.size() != 1) return;
  const store::MailOperations operations(window_.document_.store(), window_.document_.settings().text(item::kTrashTray));
  if (!operations.setMark(window_.listModel_->list().path(), mails.front(), mark)) return;
  window_.listModel_->setMark(mails.front(), mark);
}

void StoreCommands::setChosenMark() {
  const auto rows = window_.list_->selectedRows();
  if (rows.size() != 1) {
    QApplication::beep();
    return;
  }
  const int chosen = window_.markChooser_ ? window_.markChooser_->currentIndex() + 1 : 1;
  const int current = store::recordflag::markNumber(window_.listModel_->list().flags(rows.front()));
  setMark(current == chosen ? 0 : chosen);
}

void StoreCommands::cutOrCopy(bool cut) {
  if (window_.lastFocus_ == view::Focus::Text) {
    if (!cut) window_.text_->copy();
    return;
  }
  view::HoldingCabinet holding(window_.document_.store(), window_.document_.settings(), window_.messages_,
                               window_.document_.settings().timeZoneOffsetHours());
  const auto state = window_.commandState();
  WaitCursor wait;
  if (state.actsOnMails()) {
    holding.holdMails(window_.listModel_->list().path(), window_.selectedMails(), cut);
  } else {
    std::string path = window_.selectedNode();
    const auto row = window_.list_->currentRow();
    if (window_.lastFocus_ == view::Focus::List && row && window_.listModel_->list().node(*row)) path = window_.listModel_->list().node(*row)->path;
    const bool held = holding.holdNode(path, cut);
    if (held && cut && path == window_.selectedNode()) {
      window_.treeModel_->reload(view::parentOf(path));
      window_.selectNode(view::parentOf(path));
    }
  }
  window_.holdingFilled_ = holding.filled();
  window_.refreshAfterStoreChange();
}

void StoreCommands::paste() {
  view::HoldingCabinet holding(window_.document_.store(), window_.document_.settings(), window_.messages_,
                               window_.document_.settings().timeZoneOffsetHours());
  const auto state = window_.commandState();
  std::string target = window_.selectedNode();
  const auto row = window_.list_->currentRow();
  if (window_.lastFocus_ == view::Focus::List && row && window_.listModel_->list().node(*row)) target = window_.listModel_->list().node(*row)->path;
  {
    WaitCursor wait;
    if (state.nodeIsCabinet) holding.pasteNodes(target);
    else holding.pasteMails(target);
  }
  window_.holdingFilled_ = holding.filled();
  window_.refreshAfterStoreChange();
}

void StoreCommands::saveAsText() {
  const auto place = window_.selectedMailPlace();
  if (!place) return;
  const QString suggestion = fromSjis(view::MailTextExport::suggestedName(place->first, place->second));
  const QString chosen =
      window_.options_.chooseSavePath
          ? window_.options_.chooseSavePath(suggestion)
          : QFileDialog::getSaveFileName(&window_, QStringLiteral("名前を付けて保存"), suggestion,
                                         QStringLiteral("ﾒｰﾙ本文ﾌｧｲﾙ(*.txt);;すべてのﾌｧｲﾙ(*.*)"));
  if (chosen.isEmpty()) return;
  QString path = chosen;
  if (path.indexOf('.', path.lastIndexOf('/') + 1) < 0) path += ".txt";
  if (!view::MailTextExport::write(window_.document_.store(), place->first, place->second,
                                   window_.document_.settings().text(item::kSenderName),
                                   window_.document_.settings().timeZoneOffsetHours(), toSjis(path)))
    window_.messages_.bug(151);
}

void StoreCommands::copyWholeMail() {
  const auto place = window_.selectedMailPlace();
  if (!place) return;
  // The mail as stored: its header lines, an empty line, the body.
  const store::TrayFile file(window_.document_.store(), place->first);
  const auto header = file.headerLines(place->second);
  auto body = file.bodyReader(place->second);
  if (!header || !body) return;
  std::string text = *header + "\r\n";
  for (std::string line; body->next(line);) text += "\r\n" + line;
  QApplication::clipboard()->setText(fromSjis(text));
}

void StoreCommands::compactTray() {
  const std::string tray = window_.selectedNode();
  {
    WaitCursor wait;
    // Under the store's lock, like every rewrite of a whole tray: a receive
    // of another process may be appending to it.
    mailflow::TrayMaintenance::compact(window_.document_, tray);
  }
  window_.refreshAfterStoreChange();
}

void StoreCommands::emptyTrash() {
  const std::string trash = window_.document_.settings().text(item::kTrashTray);
  if (!window_.messages_.question(MessageNumber::DeleteAllMails, {trash})) return;
  {
    WaitCursor wait;
    mailflow::TrayMaintenance::emptyTrash(window_.document_);
  }
  window_.refreshAfterStoreChange();
}

void StoreCommands::upgradeTrays() {
  const std::string& question = store::TrayUpgrade::questionText();
  const bool yes = window_.options_.ask ? window_.options_.ask("Zorvik", question)
                                : QMessageBox::question(&window_, "Zorvik", fromSjis(question)) == QMessageBox::Yes;
  if (!yes) return;
  WaitCursor wait;
  const message::MailRecordParser parser(
      message::ParseContext::fromSettings(window_.document_.settings(), platform::SystemClock::instance().unixTime()));
  store::TrayUpgrade(window_.document_.store(), parser).upgradeStore(window_.document_.settings());
  window_.refreshAfterStoreChange();
}

void StoreCommands::handleDrop(const ClipPayload& payload, const std::string& target, int operation) {
  const auto op = static_cast<view::DropOperation>(operation);
  if (const auto refusal = view::dropRefusal(payload.item, op)) {
    window_.messages_.error(*refusal);
    return;
  }
  WaitCursor wait;
  if (payload.item.kind == view::DragItem::Kind::Mails) {
    const store::MailOperations operations(window_.document_.store(), window_.document_.settings().text(item::kTrashTray),
                                           window_.document_.settings().timeZoneOffsetHours(),
                                           window_.document_.settings().text(item::kMailServerTray));
    switch (op) {
      case view::DropOperation::Copy: operations.copy(payload.item.path, payload.indices, target); break;
      case view::DropOperation::Link:
        for (const std::uint32_t index : payload.indices) {
          if (operations.link(payload.item.path, index, target) == store::LinkResult::LimitReached)
            window_.messages_.error(MessageNumber::TooManyLinks, {payload.item.path});
        }
        break;
      default: operations.move(payload.item.path, payload.indices, target); break;
    }
  } else {
    store::TreeOperations(window_.document_.store(), window_.document_.settings(), window_.messages_).move(payload.item.path, target);
    window_.history_.forgetTray(payload.item.path);
  }
  window_.refreshAfterStoreChange();
}

void StoreCommands::sortIntoTrays() {
  const auto state = window_.commandState();
  const std::string tray = state.actsOnMails() ? window_.listModel_->list().path() : window_.selectedNode();
  std::optional<std::uint32_t> index;
  if (state.actsOnMails() && window_.selectedMails().size() == 1) index = window_.selectedMails().front();
  if (state.nodeIsCabinet && !state.actsOnMails()) return;
  window_.startWork([this, tray, index](mailflow::FrontEnd& front) { mailflow::SortFlow::tray(window_.document_, front, tray, index, SortingNotice::notice(&window_)); },
                 [this] { window_.refreshAfterStoreChange(); });
}

}  // namespace zorvik::ui
