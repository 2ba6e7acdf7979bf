#include "ui/ComposeCommands.h"

#include <QApplication>
#include <QLineEdit>

#include "core/SettingsItemTable.h"
#include "mailflow/AddressBookFlow.h"
#include "platform/TextEncoding.h"
#include "store/TrayFile.h"
#include "ui/AddressBookWindow.h"
#include "ui/ComposeWindow.h"
#include "ui/MainWindow.h"
#include "ui/QtText.h"
#include "ui/TrayTreeModel.h"
#include "view/MailtoLink.h"

namespace zorvik::ui {

namespace item = core::item;

ComposeCommands::ComposeCommands(MainWindow& window) : QObject(&window), window_(window) {}

std::string ComposeCommands::trayForNewMail() const {
  // A new mail is written from the tray shown (its signature, sender and
  // template), or from the inbox when a cabinet is shown.
  const std::string tray = window_.currentTray();
  if (!tray.empty() && store::TrayFile(window_.document_.store(), tray).properties()) return tray;
  return window_.document_.settings().text(item::kNewMailTray);
}

ComposeWindow* ComposeCommands::open(compose::DraftKind kind) {
  const bool fromMails = kind != compose::DraftKind::New;
  const std::string tray = fromMails ? window_.currentTray() : trayForNewMail();
  const std::vector<std::uint32_t> mails = fromMails ? window_.selectedMails() : std::vector<std::uint32_t>{};
  if (fromMails && mails.empty()) return nullptr;
  auto draft = mailflow::DraftFlow::prepare(window_.document_, kind, tray, mails);
  if (!draft) return nullptr;
  return show(std::move(*draft));
}

ComposeWindow* ComposeCommands::reopenSelected() {
  const auto mails = window_.selectedMails();
  if (mails.size() != 1) return nullptr;
  auto draft = mailflow::DraftFlow::reopen(window_.document_, window_.currentTray(), mails.front());
  if (!draft) return nullptr;
  return show(std::move(*draft));
}

ComposeWindow* ComposeCommands::openMailto(const QString& link) {
  const view::MailtoLink fields = view::MailtoLink::parse(link.toStdString());
  auto draft = mailflow::DraftFlow::prepare(window_.document_, compose::DraftKind::New, trayForNewMail(), {});
  if (!draft) return nullptr;
  compose::PreparedDraft& prepared = draft->prepared;
  prepared.to = fields.to;
  prepared.cc = fields.cc;
  prepared.bcc = fields.bcc;
  if (!fields.subject.empty()) prepared.subject = fields.subject;
  if (!fields.body.empty()) {
    // The link's text stands before the template's, free to edit as if typed.
    mailflow::DraftFlow::edit(*draft, fields.body + (fields.body.back() == '\n' ? "" : "\n") + prepared.body);
  }
  return show(std::move(*draft));
}

ComposeWindow* ComposeCommands::show(mailflow::OpenDraft draft) {
  ComposeOptions options;
  options.placement = window_.layout_.compose;
  options.editorHeight = window_.layout_.composeEditorHeight;
  if (const auto& ask = window_.options_.ask) {
    // A front end that answers its own questions (tests, scripts) answers
    // the character check too.
    options.ask = ask;
    options.confirmCharacters = [ask](const std::vector<std::string>& findings) {
      std::string text;
      for (const std::string& finding : findings) text += finding + "\n";
      return ask(platform::sjisLiteral("送信前の文字チェック"), text);
    };
  }
  // Each window opens a little below and right of the one before.
  const int open = static_cast<int>(windows().size());
  options.placement.left += 24 * open;
  options.placement.right += 24 * open;
  options.placement.top += 24 * open;
  options.placement.bottom += 24 * open;
  auto* compose = new ComposeWindow(window_.document_, std::move(draft), std::move(options));
  connect(compose, &ComposeWindow::stored, &window_, [this](bool forSending) {
    window_.mailStoredForSending(forSending);
    window_.refreshAfterStoreChange();
  });
  connect(compose, &ComposeWindow::placed, &window_, [this](const view::WindowRect& rect, int editorHeight) {
    window_.layout_.compose = rect;
    window_.layout_.composeEditorHeight = editorHeight;
  });
  windows_.push_back(compose);
  compose->show();
  compose->raise();
  compose->activateWindow();
  return compose;
}

std::vector<ComposeWindow*> ComposeCommands::windows() const {
  std::vector<ComposeWindow*> open;
  for (const QPointer<ComposeWindow>& held : windows_)
    if (held && held->isVisible()) open.push_back(held.data());
  return open;
}

bool ComposeCommands::closeAll() {
  bool closed = true;
  for (ComposeWindow* compose : windows()) {
    compose->close();
    closed = closed && !compose->isVisible();
  }
  if (closed && addressBook_) addressBook_->close();
  return closed;
}

void ComposeCommands::openAddressBook() {
  if (!addressBook_) {
    addressBook_ = new AddressBookWindow(mailflow::AddressBookFlow::pathOf(window_.document_));
    connect(addressBook_, &AddressBookWindow::addressesChosen, this, [this](const QStringList& chosen) {
      const auto open = windows();
      ComposeWindow* target = open.empty() ? this->open(compose::DraftKind::New) : open.back();
      if (!target) return;
      QLineEdit& to = target->toField();
      QStringList addresses = to.text().trimmed().isEmpty() ? QStringList{} : QStringList{to.text().trimmed()};
      to.setText((addresses << chosen).join(", "));
      target->raise();
      target->activateWindow();
    });
  }
  addressBook_->show();
  addressBook_->raise();
  addressBook_->activateWindow();
}

void ComposeCommands::registerTray() {
  const auto book = mailflow::AddressBookFlow::open(window_.document_);
  const std::string tray = window_.currentTray();
  if (!book || tray.empty()) {
    QApplication::beep();
    return;
  }
  mailflow::AddressBookFlow::registerTray(window_.document_, *book, tray);
  if (addressBook_) addressBook_->reload();
}

}  // namespace zorvik::ui
