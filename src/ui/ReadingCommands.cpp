#include "ui/ReadingCommands.h"

#include <QLabel>
#include <QPrintPreviewDialog>

#include "ui/MailListModel.h"
#include "ui/MailListPane.h"
#include "ui/MailPrinter.h"
#include "ui/MailTextView.h"
#include "ui/MailTextWindow.h"
#include "ui/MainWindow.h"
#include "ui/SearchBar.h"
#include "ui/TrayTreeModel.h"
#include "ui/TrayTreeView.h"
#include "view/CommandId.h"

namespace zorvik::ui {

namespace cmd = view::cmd;

ReadingCommands::ReadingCommands(MainWindow& window)
    : window_(window),
      printer_(std::make_unique<MailPrinter>(window.document_.settings())),
      bar_(new SearchBar(view::SearchSwitches::fromLayout(window.layout_.searchSwitches), &window)),
      search_(new SearchCommands(window.document_, *this, *bar_, &window)) {
  bar_->setObjectName(QString("ToolBar%1").arg(cmd::kSearchBar));
  bar_->setVisible(false);
  QObject::connect(bar_, &QToolBar::visibilityChanged, &window, [this] { window_.updateCommands(); });
  QObject::disconnect(bar_, &SearchBar::nextUnreadRequested, search_, nullptr);
  QObject::connect(bar_, &SearchBar::nextUnreadRequested, &window, [this] { window_.runCommand(cmd::kGoToUnread); });
}

ReadingCommands::~ReadingCommands() = default;

void ReadingCommands::toggleSearchBar() {
  bar_->state().setVisible(bar_->isHidden());
  bar_->syncVisibility();
}

// --- The separate text window -----------------------------------------------

void ReadingCommands::openTextWindow() {
  const auto place = window_.selectedMailPlace();
  if (!place) return;
  if (!textWindow_) {
    textWindow_ = new MailTextWindow(window_.document_.settings(), window_.messages_, *printer_, &window_);
    textWindow_->setWindowFlag(Qt::Window);
    const view::WindowRect& rect = window_.layout_.textWindow;
    textWindow_->setGeometry(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    QObject::connect(textWindow_, &MailTextWindow::previousRequested, &window_, [this] { stepTextWindow(-1); });
    QObject::connect(textWindow_, &MailTextWindow::nextRequested, &window_, [this] { stepTextWindow(1); });
    QObject::connect(textWindow_, &MailTextWindow::saveRequested, &window_,
                     [this] { window_.runCommand(cmd::kSaveAsText); });
    QObject::connect(textWindow_, &MailTextWindow::replyRequested, &window_, [this] { window_.runCommand(cmd::kReply); });
    QObject::connect(textWindow_, &MailTextWindow::forwardRequested, &window_,
                     [this] { window_.runCommand(cmd::kForward); });
    QObject::connect(&textWindow_->view(), &MailTextView::composeTo, &window_, &MainWindow::startMailTo);
  }
  textWindow_->view().showMail(window_.document_.store(), place->first, place->second);
  textWindow_->updateTitle();
  textWindow_->show();
  textWindow_->raise();
}

void ReadingCommands::stepTextWindow(int step) {
  window_.moveRow(step);
  openTextWindow();
}

std::optional<QRect> ReadingCommands::textWindowGeometry() const {
  if (!textWindow_) return std::nullopt;
  return textWindow_->geometry();
}

void ReadingCommands::closeTextWindow() {
  if (textWindow_) textWindow_->close();
}

// --- Printing -------------------------------------------------------------

MailTextView& ReadingCommands::activeText() const {
  if (textWindow_ && textWindow_->isActiveWindow()) return textWindow_->view();
  return *window_.text_;
}

void ReadingCommands::print() { printer_->print(&window_, activeText().content()); }

void ReadingCommands::printPreview() {
  auto preview = printer_->preview(&window_, activeText().content());
  preview->resize(800, 900);
  preview->exec();
}

void ReadingCommands::pageSetUp() { printer_->pageSetUp(&window_); }

// --- What a search asks of the window -------------------------------------------

std::string ReadingCommands::currentTray() const { return window_.currentTray(); }

std::optional<std::uint32_t> ReadingCommands::currentMail() const {
  const auto row = window_.list_->currentRow();
  if (!row) return std::nullopt;
  return window_.listModel_->list().mailIndex(*row);
}

view::TreeFocus ReadingCommands::treeFocus() const {
  const QModelIndex index = window_.tree_->currentIndex();
  if (!index.isValid()) return {"", true};
  const view::TreeNode& node = window_.treeModel_->node(index);
  return {node.path, node.isCabinet};
}

void ReadingCommands::showSearchHit(const search::SearchHit& hit) {
  if (window_.currentTray() != hit.row.tray) window_.selectNode(hit.row.tray);
  window_.selectMail(hit.row.index);
  if (hit.kind == search::SearchResult::BodyHit) window_.text_->showHit(hit.bodyLine, hit.match.offset, hit.match.length);
}

void ReadingCommands::showTray(const std::string& tray) {
  window_.treeModel_->reloadAll();
  window_.selectNode(tray);
}

void ReadingCommands::showStatus(const QString& text) { window_.status_[0]->setText(text); }

}  // namespace zorvik::ui
