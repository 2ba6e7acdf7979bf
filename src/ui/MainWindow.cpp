#include "ui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QToolBar>
#include <QTreeView>

#include "core/SettingsItemTable.h"
#include "mailflow/SessionDriver.h"
#include "store/MailOperations.h"
#include "store/RecordFlags.h"
#include "store/SystemTrays.h"
#include "store/TreeOperations.h"
#include "ui/ClipPayload.h"
#include "ui/CommandActions.h"
#include "ui/ComposeCommands.h"
#include "ui/HandOffListener.h"
#include "ui/KeyMacroFilter.h"
#include "ui/KeyStrokes.h"
#include "ui/MailIcons.h"
#include "ui/MailListModel.h"
#include "ui/MailListPane.h"
#include "ui/MailTextView.h"
#include "ui/PointerGestures.h"
#include "ui/QtSound.h"
#include "ui/ServerCommands.h"
#include "ui/MailPropertyDialog.h"
#include "ui/SettingsCommands.h"
#include "ui/StoreCommands.h"
#include "ui/ServerTrayDialog.h"
#include "ui/SortingLogWindow.h"
#include "ui/UiLog.h"
#include "ui/QtText.h"
#include "ui/ReadingCommands.h"
#include "ui/SearchBar.h"
#include "ui/TrayTreeModel.h"
#include "ui/TrayTreeView.h"
#include "ui/WorkflowRunner.h"
#include "view/CommandId.h"
#include "view/HoldingCabinet.h"
#include "view/KeyDefinition.h"
#include "view/MailOpening.h"
#include "view/ReadOn.h"
#include "view/ToolBarLayout.h"
#include "view/ToolBarSequence.h"
#include "view/TrayTransferForm.h"

namespace zorvik::ui {

using core::MessageNumber;
namespace cmd = view::cmd;
namespace item = core::item;

namespace {

std::string pathOf(const QByteArray& bytes) { return bytes.toStdString(); }

// A busy cursor for the length of a store operation.
class WaitCursor {
public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

MainWindow::MainWindow(mailflow::Document& document, core::Messages& messages, view::LayoutStore& layout,
                       MainWindowOptions options, QWidget* parent)
    : QMainWindow(parent),
      document_(document),
      messages_(messages),
      layoutStore_(layout),
      options_(std::move(options)),
      commands_(view::CommandTable::standard()),
      treeKeys_(view::MacroTable::trayTree()),
      listKeys_(view::MacroTable::mailList()),
      textKeys_(view::MacroTable::textView()) {
  setObjectName("CMainFrame");
  layout_ = view::LayoutValues::read(layoutStore_, options_.settingsName);
  menuSet_ = document_.settings().flag(item::kStartInBriskoMode) ? view::MenuSet::Brisko : view::MenuSet::Normal;
  baseTitle_ = "Zorvik - " + fromSjis(options_.settingsName);
  setWindowTitle(baseTitle_);
  setWindowIcon(MailIcons::windowIcon(false));
  sound_ = std::make_unique<QtSound>();
  runner_ = new WorkflowRunner(messages_, this);
  runner_->setSound(sound_.get());
  storeCommands_ = std::make_unique<StoreCommands>(*this);
  serverCommands_ = std::make_unique<ServerCommands>(*this);
  settingsCommands_ = std::make_unique<SettingsCommands>(*this);
  runner_->setDialUpPrompt(&settingsCommands_->dialUpPrompt());
  composeCommands_ = new ComposeCommands(*this);

  buildPanes();
  readingCommands_ = std::make_unique<ReadingCommands>(*this);
  buildCommands();
  buildBars();
  buildStatusBar();
  installKeyDefinitions();
  applyLayout();
  holdingFilled_ = view::HoldingCabinet(document_.store(), document_.settings(), messages_,
                                        document_.settings().timeZoneOffsetHours())
                       .filled();
  if (options_.listenForHandOff) {
    handOff_ = new HandOffListener(options_.settingsName, this);
    connect(handOff_, &HandOffListener::mailto, this, &MainWindow::startMailTo);
    connect(handOff_, &HandOffListener::sendReceive, this, [this] { runCommand(cmd::kSendReceive); });
    connect(handOff_, &HandOffListener::show, this, [this] {
      showNormal();
      raise();
      activateWindow();
    });
  }
  connect(runner_, &WorkflowRunner::progress, this, [this](const QString& text, int) { status_[0]->setText(text); });
  startTimers();
  updateCommands();
}

MainWindow::~MainWindow() = default;

// --- Building -------------------------------------------------------------

void MainWindow::buildPanes() {
  treeModel_ = new TrayTreeModel(document_, messages_, this);
  tree_ = new TrayTreeView(this);
  tree_->setModel(treeModel_);
  tree_->setEditTriggers(document_.settings().flag(item::kMouseRename)
                             ? QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked
                             : QAbstractItemView::EditTriggers(QAbstractItemView::EditKeyPressed));
  listModel_ = new MailListModel(document_, messages_, this);
  list_ = new MailListPane(*listModel_, this);
  list_->setMouseRename(document_.settings().flag(item::kMouseRename));
  text_ = new MailTextView(document_.settings(), messages_, this);

  vertical_ = new QSplitter(Qt::Vertical);
  vertical_->addWidget(list_);
  vertical_->addWidget(text_);
  horizontal_ = new QSplitter(Qt::Horizontal);
  horizontal_->addWidget(tree_);
  horizontal_->addWidget(vertical_);
  horizontal_->setStretchFactor(1, 1);
  vertical_->setStretchFactor(1, 1);
  setCentralWidget(horizontal_);

  connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { nodeSelected(); });
  connect(treeModel_, &TrayTreeModel::renamed, this, [this](const QByteArray& from, const QByteArray&) {
    history_.forgetTray(pathOf(from));
    nodeSelected();
  });
  connect(tree_, &TrayTreeView::dropped, this,
          [this](const ClipPayload& payload, const QByteArray& target, view::DropOperation operation) {
            storeCommands_->handleDrop(payload, pathOf(target), static_cast<int>(operation));
          });
  auto* treeGestures = new PointerGestures(*tree_, [this]() -> std::optional<ClipPayload> {
    const view::TreeNode& node = treeModel_->node(tree_->currentIndex());
    if (!tree_->currentIndex().isValid()) return std::nullopt;
    ClipPayload payload;
    payload.item = {node.isCabinet ? view::DragItem::Kind::Cabinet : view::DragItem::Kind::Tray, node.path,
                    node.trayKind, false};
    return payload;
  });
  connect(treeGestures, &PointerGestures::contextMenuAt, this, [this](const QPoint& at) {
    const view::TreeNode& node = treeModel_->node(tree_->currentIndex());
    const auto which = node.isCabinet ? view::ContextMenu::Cabinet
                       : node.trayKind == store::kMailServerTray ? view::ContextMenu::Server
                                                                  : view::ContextMenu::Tray;
    lastFocus_ = view::Focus::Tree;
    showContextMenu(which, tree_->viewport()->mapToGlobal(at));
  });

  connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { listCurrentChanged(); });
  connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { updateCommands(); });
  connect(list_, &MailListPane::headerClicked, this, [this](int column) {
    view::ListSortState state = listModel_->list().sortState();
    state.click(column);
    listModel_->setSortState(state);
    list_->showSortIndicator(state.column(), state.direction());
  });
  connect(list_, &MailListPane::opened, this, &MainWindow::openRow);
  connect(list_, &MailListPane::contextMenuRequested, this, [this](const QPoint& at) {
    lastFocus_ = view::Focus::List;
    const auto row = list_->currentRow();
    const view::TreeNode* node = row ? listModel_->list().node(*row) : nullptr;
    view::ContextMenu which = view::ContextMenu::Mail;
    if (node) which = node->isCabinet ? view::ContextMenu::Cabinet : view::ContextMenu::Tray;
    else if (listModel_->list().trayKind() == store::kMailServerTray) which = view::ContextMenu::Server;
    showContextMenu(which, at);
  });
  connect(listModel_, &MailListModel::renamed, this, [this](const QByteArray& from, const QByteArray&) {
    history_.forgetTray(pathOf(from));
    treeModel_->reload(view::parentOf(pathOf(from)));
  });
  connect(text_, &MailTextView::composeTo, this, &MainWindow::startMailTo);
  text_->setPlainMenu([this](const QPoint& at) {
    lastFocus_ = view::Focus::Text;
    showContextMenu(view::ContextMenu::Text, at);
  });
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    for (QWidget* at = now; at; at = at->parentWidget()) {
      if (at == tree_) lastFocus_ = view::Focus::Tree;
      else if (at == list_) lastFocus_ = view::Focus::List;
      else if (at == text_) lastFocus_ = view::Focus::Text;
      else continue;
      updateCommands();
      return;
    }
  });

  openTimer_.setSingleShot(true);
  connect(&openTimer_, &QTimer::timeout, this, &MainWindow::markOpenedByTimer);
}

void MainWindow::buildCommands() {
  actions_ = new CommandActions(commands_, this);
  connect(actions_, &CommandActions::triggered, this, [this](int id) { runCommand(id); });
  actions_->buildMenuBar(*menuBar(), menuSet_);
  for (QAction* top : menuBar()->actions())
    if (QMenu* menu = top->menu()) connect(menu, &QMenu::aboutToShow, this, [this] { updateCommands(); });

  const auto on = [this](int id, std::function<void()> handler) { handlers_[id] = std::move(handler); };
  on(cmd::kOpenSettings, [this] { openOtherSettings(); });
  on(cmd::kSaveAsText, [this] { storeCommands_->saveAsText(); });
  on(cmd::kNewCabinet, [this] { storeCommands_->newNode(false); });
  on(cmd::kNewTray, [this] { storeCommands_->newNode(true); });
  on(cmd::kRename, [this] { storeCommands_->renameSelected(); });
  on(cmd::kDelete, [this] { storeCommands_->deleteSelected(QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier)); });
  on(cmd::kClearLinks, [this] { storeCommands_->clearLinks(); });
  on(cmd::kGoUp, [this] { goUp(); });
  on(cmd::kGoToLinkSource, [this] { goToLinkSource(); });
  on(cmd::kGoToUnread, [this] { readOn(true); });
  on(cmd::kHistoryBack, [this] { historyMove(true); });
  on(cmd::kHistoryForward, [this] { historyMove(false); });
  on(cmd::kGoToSelectedMark, [this] { goToMark(markChooser_ ? markChooser_->currentIndex() + 1 : 1); });
  for (int mark = 1; mark <= 5; ++mark) on(cmd::kGoToMark1 + mark - 1, [this, mark] { goToMark(mark); });
  on(cmd::kPreviousRow, [this] { moveRow(-1); });
  on(cmd::kNextRow, [this] { moveRow(1); });
  on(cmd::kCompactTray, [this] { storeCommands_->compactTray(); });
  on(cmd::kExit, [this] { close(); });
  on(cmd::kCut, [this] { storeCommands_->cutOrCopy(true); });
  on(cmd::kCopy, [this] { storeCommands_->cutOrCopy(false); });
  on(cmd::kPaste, [this] { storeCommands_->paste(); });
  on(cmd::kSelectAll, [this] {
    if (lastFocus_ == view::Focus::Text) text_->selectAll();
    else list_->currentView()->selectAll();
  });
  on(cmd::kCopyWholeMail, [this] { storeCommands_->copyWholeMail(); });
  for (const view::ToolBar& bar : view::toolBars()) on(bar.id, [this, id = bar.id] { toggleBar(id); });
  on(cmd::kMarkBar, [this] { toggleBar(cmd::kMarkBar); });
  on(cmd::kStatusBar, [this] { toggleBar(cmd::kStatusBar); });
  on(cmd::kPrint, [this] { readingCommands_->print(); });
  on(cmd::kPrintPreview, [this] { readingCommands_->printPreview(); });
  on(cmd::kPrintSetup, [this] { readingCommands_->pageSetUp(); });
  on(cmd::kFind, [this] { readingCommands_->search().find(); });
  on(cmd::kFindNext, [this] { readingCommands_->search().findNext(); });
  on(cmd::kFindAll, [this] { readingCommands_->search().collect(); });
  on(cmd::kRefinedFind, [this] { readingCommands_->search().refined(); });
  on(cmd::kStopFind, [this] { readingCommands_->search().stop(); });
  on(cmd::kSearchBar, [this] { readingCommands_->toggleSearchBar(); });
  on(cmd::kOpenTextWindow, [this] { readingCommands_->openTextWindow(); });
  on(cmd::kReadOn, [this] { readOn(false); });
  on(cmd::kLargeIcons, [this] { setViewMode(MailListPane::kLargeIcons, false); });
  on(cmd::kSmallIcons, [this] { setViewMode(MailListPane::kSmallIcons, false); });
  on(cmd::kListMode, [this] { setViewMode(MailListPane::kList, false); });
  on(cmd::kDetails, [this] { setViewMode(MailListPane::kDetails, false); });
  on(cmd::kThreadDisplay, [this] { setViewMode(MailListPane::kDetails, true); });
  on(cmd::kRefresh, [this] { refreshAfterStoreChange(); });
  on(cmd::kSortIntoTrays, [this] { storeCommands_->sortIntoTrays(); });
  on(cmd::kMarkOpened, [this] { storeCommands_->setReadState(cmd::kMarkOpened); });
  on(cmd::kMarkUnread, [this] { storeCommands_->setReadState(cmd::kMarkUnread); });
  on(cmd::kOpenedClearLinks, [this] { storeCommands_->setReadState(cmd::kOpenedClearLinks); });
  on(cmd::kSetChosenMark, [this] { storeCommands_->setChosenMark(); });
  on(cmd::kClearMark, [this] { storeCommands_->setMark(0); });
  for (int mark = 1; mark <= 5; ++mark) on(cmd::kSetMark1 + mark - 1, [this, mark] { storeCommands_->setMark(mark); });
  on(cmd::kSendReceive, [this] { serverCommands_->sendReceive(true); });
  on(cmd::kSend, [this] { serverCommands_->sendOnly(); });
  on(cmd::kReceive, [this] { serverCommands_->receive(); });
  on(cmd::kHeaderReceive, [this] { serverCommands_->headerReceive(); });
  on(cmd::kSendReceiveAll, [this] { serverCommands_->sendReceiveAll(); });
  on(cmd::kUpgradeTrays, [this] { storeCommands_->upgradeTrays(); });
  on(cmd::kDebug, [] {});
  on(cmd::kAbout, [this] { about(); });
  on(cmd::kEmptyTrash, [this] { storeCommands_->emptyTrash(); });
  on(cmd::kStartEditor, [this] { startEditor(); });
  on(cmd::kNewMail, [this] { composeCommands_->open(compose::DraftKind::New); });
  on(cmd::kReply, [this] { composeCommands_->open(compose::DraftKind::ReplyAll); });
  on(cmd::kReplyToSender, [this] { composeCommands_->open(compose::DraftKind::Reply); });
  on(cmd::kForward, [this] { composeCommands_->open(compose::DraftKind::Forward); });
  on(cmd::kAddressBook, [this] { composeCommands_->openAddressBook(); });
  on(cmd::kAddToAddressBook, [this] { composeCommands_->registerTray(); });
  on(cmd::kBackupTray, [this] { serverCommands_->transferDialog(static_cast<int>(view::TransferKind::Backup)); });
  on(cmd::kImportTray, [this] { serverCommands_->transferDialog(static_cast<int>(view::TransferKind::Import)); });
  on(cmd::kExportTray, [this] { serverCommands_->transferDialog(static_cast<int>(view::TransferKind::Export)); });
  on(cmd::kShowSortingLog, [this] { serverCommands_->showSortingLog(); });
  on(cmd::kServerTrayProperties, [this] { serverCommands_->runServerDialog(static_cast<int>(ServerTrayWork::Counters)); });
  on(cmd::kSettingsSheet, [this] { settingsCommands_->settingsSheet(); });
  on(cmd::kEditToolBars, [this] { settingsCommands_->editToolBars(); });
  on(cmd::kProperties, [this] { settingsCommands_->properties(); });
  on(cmd::kImportOtherMailer, [this] { settingsCommands_->properties(); });
  on(cmd::kSaveAttachments, [this] { settingsCommands_->mailProperties(MailPropertyDialog::kAttachmentPage); });
  on(cmd::kOffline, [this] {
    offline_ = !offline_;
    if (offline_) stopTimers();
    else startTimers();
    updateCommands();
  });
}

void MainWindow::buildBars() {
  const bool brisko = menuSet_ == view::MenuSet::Brisko;
  for (const view::ToolBar& bar : view::toolBars()) {
    QToolBar* toolBar = actions_->buildToolBar(view::ToolBarSequence::arranged(layoutStore_, bar), *this);
    addToolBar(Qt::TopToolBarArea, toolBar);
    toolBar->setVisible(brisko ? bar.shownInBrisko : bar.shownNormally);
    bars_[bar.id] = toolBar;
  }
  // The mark bar: the mark to set or look for, and its two buttons.
  markBar_ = new QToolBar(QStringLiteral("マークバー"), this);
  markBar_->setObjectName(QString("ToolBar%1").arg(cmd::kMarkBar));
  markChooser_ = new QComboBox(markBar_);
  for (int mark = 1; mark <= 5; ++mark) markChooser_->addItem(QIcon(MailIcons::item(6, mark, 0, 16).copy(0, 0, 16, 16)),
                                                              QStringLiteral("マーク%1").arg(mark));
  markBar_->addWidget(markChooser_);
  const view::ToolBar marks{cmd::kMarkBar, {cmd::kSetChosenMark, cmd::kGoToSelectedMark}, false, false};
  QToolBar* buttons = actions_->buildToolBar(marks, *this);
  for (QAction* action : buttons->actions()) markBar_->addAction(action);
  delete buttons;
  addToolBar(Qt::TopToolBarArea, markBar_);
  markBar_->setVisible(false);
  bars_[cmd::kMarkBar] = markBar_;
  // The search bar on a row of its own: the string and six switches need room.
  addToolBarBreak(Qt::TopToolBarArea);
  addToolBar(Qt::TopToolBarArea, &readingCommands_->searchBar());
}

void MainWindow::buildStatusBar() {
  status_[0] = new QLabel(this);
  status_[0]->setMinimumWidth(180);
  status_[1] = new QLabel(this);
  status_[2] = new QLabel(this);
  statusBar()->addWidget(status_[0], 1);
  statusBar()->addPermanentWidget(status_[1]);
  statusBar()->addPermanentWidget(status_[2]);
}

void MainWindow::installKeyDefinitions() {
  const auto& settings = document_.settings();
  view::parseKeyDefinition(settings.text(item::kTreeKeys), treeKeys_);
  view::parseKeyDefinition(settings.text(item::kListKeys), listKeys_);
  view::parseKeyDefinition(settings.text(item::kTextKeys), textKeys_);
  treeFilter_ = new KeyMacroFilter(treeKeys_, this);
  listFilter_ = new KeyMacroFilter(listKeys_, this);
  textFilter_ = new KeyMacroFilter(textKeys_, this);
  tree_->installEventFilter(treeFilter_);
  list_->installKeyFilter(listFilter_);
  text_->installEventFilter(textFilter_);
  const auto fallback = [this](const view::KeyStroke& stroke) { return accelerator(stroke); };
  for (KeyMacroFilter* filter : {treeFilter_, listFilter_, textFilter_}) filter->setFallback(fallback);
  connect(treeFilter_, &KeyMacroFilter::macro, this, [this](const QString& name) { runMacro(view::Focus::Tree, name); });
  connect(listFilter_, &KeyMacroFilter::macro, this, [this](const QString& name) { runMacro(view::Focus::List, name); });
  connect(textFilter_, &KeyMacroFilter::macro, this, [this](const QString& name) { runMacro(view::Focus::Text, name); });
}

void MainWindow::applyLayout() {
  const view::WindowRect& frame = layout_.frame;
  setGeometry(frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top);
  const bool firstStart = layoutStore_.text(view::LayoutValues::windowSection(options_.settingsName), "FRAME_R").empty();
  if (firstStart && screen()) {
    // The stored default suits a screen of long ago: a first start takes a
    // size in which every bar and column shows, within the screen.
    const QRect room = screen()->availableGeometry();
    resize(std::min(1000, room.width() * 9 / 10), std::min(680, room.height() * 9 / 10));
    move(room.center() - rect().center());
  }
  if (layout_.barStateUsable(options_.initialLayout))
    restoreState(QByteArray::fromBase64(QByteArray::fromStdString(layout_.barState)));
  horizontal_->setSizes({layout_.treeWidth, std::max(100, width() - layout_.treeWidth)});
  vertical_->setSizes({layout_.listHeight, std::max(60, height() - layout_.listHeight)});
  list_->setColumnWidths(layout_.columnWidths);
  list_->setMode(layout_.viewMode);
  view::ListSortState sort;
  sort.applyLayout(layout_.sortColumn, layout_.sortDirection);
  listModel_->setSortState(sort);

  treeModel_->fetchMore(treeModel_->index(0, 0));
  tree_->expand(treeModel_->index(0, 0));
  std::string start = layout_.selectedNode;
  if (start.empty() || !treeModel_->indexOf(start).isValid()) start = document_.settings().text(item::kNewMailTray);
  if (!selectNode(start)) selectNode("");
}

void MainWindow::startTimers() {
  if (offline_) return;
  const auto& settings = document_.settings();
  if (const auto interval = mailflow::SessionDriver::checkInterval(settings.number(item::kCheckInterval))) {
    checkTimer_.setInterval(static_cast<int>(interval->count()));
    checkTimer_.start();
  }
  if (!checkTimer_.property("connected").toBool()) {
    checkTimer_.setProperty("connected", true);
    connect(&checkTimer_, &QTimer::timeout, this, [this] { serverCommands_->checkForNewMail(); });
    autoSendTimer_.setSingleShot(true);
    connect(&autoSendTimer_, &QTimer::timeout, this, [this] { serverCommands_->autoSend(); });
  }
}

void MainWindow::stopTimers() {
  checkTimer_.stop();
  autoSendTimer_.stop();
}

// --- Selection and display ------------------------------------------------

std::string MainWindow::selectedNode() const { return TrayTreeView::pathOf(tree_->currentIndex()); }

bool MainWindow::selectNode(const std::string& path) {
  const QModelIndex index = treeModel_->indexOf(path);
  if (!index.isValid()) return false;
  for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent()) tree_->expand(parent);
  if (tree_->currentIndex() == index) {
    nodeSelected();
  } else {
    tree_->setCurrentIndex(index);
  }
  tree_->scrollTo(index);
  return true;
}

bool MainWindow::selectMail(std::uint32_t index) {
  const auto row = listModel_->list().rowOfMail(index);
  if (!row) return false;
  list_->selectRow(*row);
  return true;
}

std::string MainWindow::currentTray() const {
  return listModel_->list().showsTray() ? listModel_->list().path() : std::string();
}

void MainWindow::writeBackTraySort() {
  const auto changed = listModel_->list().changedTraySort();
  if (!changed) return;
  const store::TrayFile tray(document_.store(), listModel_->list().path());
  auto properties = tray.properties();
  if (!properties) return;
  properties->setSort((*changed)[0], (*changed)[1]);
  tray.rewriteProperties(*properties);
}

void MainWindow::nodeSelected() {
  writeBackTraySort();
  openTimer_.stop();
  openTimerMail_.reset();
  const QModelIndex index = tree_->currentIndex();
  if (!index.isValid()) {
    listModel_->clear();
    text_->clearMail();
    updateCommands();
    return;
  }
  const view::TreeNode node = treeModel_->node(index);
  const view::ListSortState kept = listModel_->list().sortState();
  if (node.isCabinet) {
    listModel_->showCabinet(node.path);
  } else {
    listModel_->showTray(node.path);
  }
  (void)kept;
  const auto& sort = listModel_->list().sortState();
  list_->showSortIndicator(sort.column(), sort.direction());
  list_->details()->header()->model()->headerDataChanged(Qt::Horizontal, 0, 4);
  const std::string& name = node.path.empty() ? node.name : node.path;
  if (node.isCabinet) text_->showCabinet(name);
  else text_->showTray(name);
  showCounts();
  updateCommands();
}

void MainWindow::listCurrentChanged() {
  openTimer_.stop();
  openTimerMail_.reset();
  const auto row = list_->currentRow();
  const view::MailList& list = listModel_->list();
  if (!row) {
    updateCommands();
    return;
  }
  if (const view::TreeNode* node = list.node(*row)) {
    if (node->isCabinet) text_->showCabinet(node->path);
    else text_->showTray(node->path);
    updateCommands();
    return;
  }
  const auto index = list.mailIndex(*row);
  if (index && list.trayKind() != store::kMailServerTray) {
    // A link is read from its own row, so the view shows its "LINK" row.
    text_->showMail(document_.store(), list.path(), *index);
    history_.record(list.path(), *index);
    if (newMail_ && list.trayKind() == store::kNewMailTray) setNewMail(false);
    const auto delay = view::openDelay(document_.settings().number(item::kOpenDelay));
    if (delay && view::startsOpenTimer(list.icon(*row)) && list.unread(*row)) {
      openTimerMail_ = std::make_pair(list.path(), *index);
      openTimer_.start(static_cast<int>(delay->count()));
    }
  }
  updateCommands();
}

void MainWindow::markOpenedByTimer() {
  if (!openTimerMail_ || openTimerMail_->first != listModel_->list().path()) return;
  if (!view::openTimerMarks(static_cast<int>(list_->selectedRows().size()), list_->height())) return;
  const auto [tray, index] = *openTimerMail_;
  openTimerMail_.reset();
  const store::MailOperations operations(document_.store(), document_.settings().text(item::kTrashTray),
                                         document_.settings().timeZoneOffsetHours(),
                                         document_.settings().text(item::kMailServerTray));
  if (!operations.setOpened(tray, {index}, true)) return;
  listModel_->setOpened(index, true);
  showCounts();
}

void MainWindow::showCounts() {
  const view::MailList& list = listModel_->list();
  const auto format = [](const char* label, std::size_t count) {
    return QString::fromUtf8(label) + QString::asprintf("%3zu", count);
  };
  status_[1]->setText(format("全部：", list.showsTray() ? list.mailCount() : 0));
  status_[2]->setText(format("未読：", list.showsTray() ? list.unreadCount() : 0));
}

QString MainWindow::statusText(int pane) const {
  return pane >= 0 && pane < 3 ? status_[static_cast<std::size_t>(pane)]->text() : QString();
}

std::vector<std::uint32_t> MainWindow::selectedMails() const {
  std::vector<std::uint32_t> mails;
  for (const std::size_t row : list_->selectedRows())
    if (const auto index = listModel_->list().mailIndex(row)) mails.push_back(*index);
  return mails;
}

std::optional<std::pair<std::string, std::uint32_t>> MainWindow::selectedMailPlace() const {
  if (lastFocus_ == view::Focus::Text && text_->shownMail()) return text_->shownMail();
  const auto rows = list_->selectedRows();
  if (rows.size() != 1) return std::nullopt;
  const view::MailList& list = listModel_->list();
  if (const auto link = list.linkTarget(rows.front())) return link;
  const auto index = list.mailIndex(rows.front());
  if (!index) return std::nullopt;
  return std::make_pair(list.path(), *index);
}

view::CommandState MainWindow::commandState() const {
  view::CommandState state;
  state.focus = lastFocus_;
  const QModelIndex node = tree_->currentIndex();
  if (node.isValid()) {
    const view::TreeNode& tree = treeModel_->node(node);
    state.nodeSelected = true;
    state.nodeIsCabinet = tree.isCabinet;
    state.nodeIsTopCabinet = tree.path.empty();
    state.nodeTrayKind = tree.trayKind;
  }
  const view::MailList& list = listModel_->list();
  const auto rows = list_->selectedRows();
  if (lastFocus_ == view::Focus::List && !list.showsTray() && list_->currentRow()) {
    if (const view::TreeNode* entry = list.node(*list_->currentRow())) {
      state.nodeSelected = true;
      state.nodeIsCabinet = entry->isCabinet;
      state.nodeIsTopCabinet = false;
      state.nodeTrayKind = entry->trayKind;
    }
  }
  state.trayShown = list.showsTray();
  state.shownTrayKind = list.trayKind();
  state.listHasRows = list.rowCount() > 0;
  state.mailsSelected = list.showsTray() ? static_cast<int>(rows.size()) : 0;
  if (rows.size() == 1 && list.showsTray()) {
    state.selectedMailIsLink = list.linkTarget(rows.front()).has_value();
    state.selectedMailHasAttachments = (list.flags(rows.front()) & store::recordflag::kAttachments) != 0;
  }
  state.textShown = text_->shownMail().has_value();
  state.textHasSelection = text_->hasSelection();
  state.searchBarVisible = readingCommands_->searchBar().isVisible();
  state.historyBack = history_.canGoBack();
  state.historyForward = history_.canGoForward();
  state.holdingFilled = holdingFilled_;
  state.commandRunning = runner_->busy();
  state.popConnectionActive = runner_->busy();
  state.viewMode = list_->mode();
  state.threadDisplay = list.sortState().threads();
  for (const auto& [id, bar] : bars_)
    if (id >= cmd::kFirstToolBar && id <= cmd::kBriskoBar && bar->isVisible())
      state.visibleBars |= 1U << (id - cmd::kFirstToolBar);
  state.markBarVisible = markBar_ && markBar_->isVisible();
  state.statusBarVisible = statusBar()->isVisible();
  state.offline = offline_;
  return state;
}

void MainWindow::updateCommands() {
  if (!actions_) return;
  actions_->update(commandState(), [this](int id) { return handlers_.contains(id); });
}

void MainWindow::focusPane(view::Focus focus) {
  switch (focus) {
    case view::Focus::Tree: tree_->setFocus(); break;
    case view::Focus::List: list_->currentView()->setFocus(); break;
    case view::Focus::Text: text_->setFocus(); break;
    case view::Focus::Other: break;
  }
  lastFocus_ = focus;
}

void MainWindow::refreshAfterStoreChange(const std::string& cabinet) {
  if (cabinet.empty()) treeModel_->reloadAll();
  else treeModel_->reload(cabinet);
  const auto current = list_->currentRow();
  const auto mail = current ? listModel_->list().mailIndex(*current) : std::nullopt;
  listModel_->reload();
  if (mail && !selectMail(*mail) && listModel_->rowCount() > 0)
    list_->selectRow(std::min<std::size_t>(*current, static_cast<std::size_t>(listModel_->rowCount()) - 1));
  showCounts();
  updateCommands();
}

void MainWindow::setNewMail(bool raised) {
  newMail_ = raised;
  setWindowIcon(MailIcons::windowIcon(raised));
  if (raised && document_.settings().flag(item::kNewMailTrayIcon) && QSystemTrayIcon::isSystemTrayAvailable()) {
    if (!trayIcon_) {
      trayIcon_ = new QSystemTrayIcon(MailIcons::windowIcon(true), this);
      trayIcon_->setToolTip(baseTitle_);
      connect(trayIcon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason != QSystemTrayIcon::Trigger && reason != QSystemTrayIcon::DoubleClick) return;
        showNormal();
        raise();
        activateWindow();
      });
    }
    trayIcon_->show();
    return;
  }
  if (!raised && trayIcon_) {
    trayIcon_->hide();
    trayIcon_->deleteLater();
    trayIcon_ = nullptr;
  }
}

void MainWindow::changeEvent(QEvent* event) {
  const bool restored = event->type() == QEvent::WindowStateChange &&
                        static_cast<QWindowStateChangeEvent*>(event)->oldState().testFlag(Qt::WindowMinimized) &&
                        !isMinimized();
  // Opening the window from its minimised state counts as seeing the news.
  if (restored && newMail_) setNewMail(false);
  QMainWindow::changeEvent(event);
  if (!restored || askingPassword_) return;
  // The password is asked after the window has come back, so the dialog
  // has a window to sit on; a wrong one sends the window down again.
  askingPassword_ = true;
  QTimer::singleShot(0, this, [this] {
    if (!settingsCommands_->passwordGate(true)) showMinimized();
    askingPassword_ = false;
  });
}

bool MainWindow::askStartPassword() { return settingsCommands_->passwordGate(false); }

void MainWindow::showStartUpTips() { settingsCommands_->tips(true); }

// --- Commands -------------------------------------------------------------

void MainWindow::setHandler(int id, std::function<void()> handler) {
  if (handler) handlers_[id] = std::move(handler);
  else handlers_.erase(id);
  updateCommands();
}

bool MainWindow::commandEnabled(int id) {
  return handlers_.contains(id) && commands_.enabled(id, commandState());
}

bool MainWindow::runCommand(int id) {
  if (!commandEnabled(id)) return false;
  handle(id);
  return true;
}

void MainWindow::handle(int id) {
  const auto handler = handlers_.find(id);
  if (handler == handlers_.end()) return;
  const auto run = handler->second;  // a handler may replace itself
  run();
  updateCommands();
}

bool MainWindow::accelerator(const view::KeyStroke& stroke) {
  for (const view::Accelerator& accelerator : view::accelerators(menuSet_)) {
    if (accelerator.stroke != stroke) continue;
    return runCommand(accelerator.command);
  }
  return false;
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  const auto stroke = strokeOf(*event);
  if (stroke && accelerator(*stroke)) return;
  QMainWindow::keyPressEvent(event);
}

void MainWindow::runMacro(view::Focus pane, const QString& name) {
  lastFocus_ = pane;
  KeyMacroFilter* filter = pane == view::Focus::Tree ? treeFilter_ : pane == view::Focus::List ? listFilter_ : textFilter_;
  QWidget* widget = pane == view::Focus::Tree   ? static_cast<QWidget*>(tree_)
                    : pane == view::Focus::List ? static_cast<QWidget*>(list_->currentView())
                                                : static_cast<QWidget*>(text_);
  const auto key = [&](int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    filter->sendKey(widget, qtKey, modifiers);
    return true;
  };
  const std::string macro = name.toStdString();
  static const std::map<std::string, int> kCommands = {
      {"DELETE", cmd::kDelete},     {"PROPERTY", cmd::kProperties}, {"FIND", cmd::kFind},
      {"RENAME", cmd::kRename},     {"DELINK", cmd::kClearLinks},   {"NEWMAIL", cmd::kNewMail},
      {"TONOREAD", cmd::kGoToUnread}, {"MAKECAB", cmd::kNewCabinet}, {"MAKETRAY", cmd::kNewTray},
      {"CUT", cmd::kCut},           {"COPY", cmd::kCopy},           {"PASTE", cmd::kPaste},
      {"FORWARD", cmd::kForward},   {"RETURN", cmd::kReply},        {"TOLINK", cmd::kGoToLinkSource},
      {"RECEIVE", cmd::kReceive},   {"COPYALL", cmd::kCopyWholeMail}, {"RETONLY", cmd::kReplyToSender},
      {"DECODE", cmd::kExtractFiles}, {"READ", cmd::kMarkOpened},   {"NOREAD", cmd::kMarkUnread},
      {"SELALL", cmd::kSelectAll}};
  bool done = false;
  if (macro == "UP") done = key(Qt::Key_Up);
  else if (macro == "DOWN") done = key(Qt::Key_Down);
  else if (macro == "SELUP") done = key(Qt::Key_Up, Qt::ShiftModifier);
  else if (macro == "SELDOWN") done = key(Qt::Key_Down, Qt::ShiftModifier);
  // In the tree LEFT goes into a cabinet and RIGHT out of it.
  else if (macro == "LEFT") done = key(pane == view::Focus::Tree ? Qt::Key_Right : Qt::Key_Left);
  else if (macro == "RIGHT") done = key(pane == view::Focus::Tree ? Qt::Key_Left : Qt::Key_Right);
  else if (macro == "PAGEUP") done = key(Qt::Key_PageUp);
  else if (macro == "PAGEDOWN") done = key(Qt::Key_PageDown);
  else if (macro == "TOP") done = key(Qt::Key_Home, pane == view::Focus::Text ? Qt::ControlModifier : Qt::NoModifier);
  else if (macro == "BOTTOM") done = key(Qt::Key_End, pane == view::Focus::Text ? Qt::ControlModifier : Qt::NoModifier);
  else if (macro == "TREEVIEW") focusPane(view::Focus::Tree), done = true;
  else if (macro == "LISTVIEW") focusPane(view::Focus::List), done = true;
  else if (macro == "TEXTVIEW") focusPane(view::Focus::Text), done = true;
  else if (macro == "VIEW" && list_->currentRow()) openRow(static_cast<int>(*list_->currentRow())), done = true;
  else if (macro == "NEXTMAIL") done = runCommand(pane == view::Focus::Text ? cmd::kReadOn : cmd::kGoToUnread);
  else if (macro == "GOTRAY" && list_->currentRow() && listModel_->list().node(*list_->currentRow()))
    openRow(static_cast<int>(*list_->currentRow())), done = true;
  else if (macro == "COPY" && pane == view::Focus::Text) text_->copy(), done = true;
  else if (const auto command = kCommands.find(macro); command != kCommands.end()) done = runCommand(command->second);
  if (done) return;
  const MessageNumber fault = pane == view::Focus::Tree   ? MessageNumber::TreeKeyMacroFault
                              : pane == view::Focus::List ? MessageNumber::ListKeyMacroFault
                                                          : MessageNumber::TextKeyMacroFault;
  messages_.error(fault);
}

void MainWindow::showContextMenu(view::ContextMenu which, const QPoint& globalPosition) {
  std::unique_ptr<QMenu> menu(actions_->buildMenu(view::contextMenu(which), this));
  updateCommands();
  menu->exec(globalPosition);
}

void MainWindow::goToMark(int mark) {
  const auto row = listModel_->list().nextWithMark(list_->currentRow(), mark);
  if (!row) {
    QApplication::beep();
    return;
  }
  list_->selectRow(*row);
  focusPane(view::Focus::List);
}

void MainWindow::moveRow(int step) {
  const int rows = listModel_->rowCount();
  if (rows == 0) return;
  const auto current = list_->currentRow();
  const int next = current ? std::clamp(static_cast<int>(*current) + step, 0, rows - 1) : 0;
  list_->selectRow(static_cast<std::size_t>(next));
}

void MainWindow::goUp() {
  const std::string path = selectedNode();
  if (path.empty()) return;
  selectNode(view::parentOf(path));
}

void MainWindow::goToLinkSource() {
  const auto rows = list_->selectedRows();
  if (rows.size() != 1) return;
  const auto link = listModel_->list().linkTarget(rows.front());
  if (!link || !selectNode(link->first)) return;
  selectMail(link->second);
  focusPane(view::Focus::List);
}

void MainWindow::historyMove(bool back) {
  const auto entry = back ? history_.back() : history_.forward();
  if (!entry) return;
  if (listModel_->list().path() != entry->tray || !listModel_->list().showsTray()) selectNode(entry->tray);
  if (!selectMail(static_cast<std::uint32_t>(entry->index))) history_.record({}, 0);  // clears the suppression
  focusPane(view::Focus::List);
}

void MainWindow::readOn(bool nextUnreadOnly) {
  const view::MailList& list = listModel_->list();
  view::ReadOnPlace place;
  place.textFocused = lastFocus_ == view::Focus::Text;
  place.textAtEnd = text_->atEnd();
  place.focusedRow = list_->currentRow();
  place.focusedRowIsMail = place.focusedRow && list.mailIndex(*place.focusedRow).has_value();
  place.nextUnreadRow = list.nextUnread(place.focusedRow);
  place.currentTray = list.path();
  if (!place.nextUnreadRow) place.traysInTreeOrder = view::traysInTreeOrder(document_.store(), document_.settings());
  const view::ReadOnStep step = nextUnreadOnly ? view::nextUnread(place) : view::readOn(place);
  if (step.markCurrentOpened && place.focusedRow) {
    const auto mail = list.mailIndex(*place.focusedRow);
    const store::MailOperations operations(document_.store(), document_.settings().text(item::kTrashTray),
                                           document_.settings().timeZoneOffsetHours(),
                                           document_.settings().text(item::kMailServerTray));
    if (mail && operations.setOpened(list.path(), {*mail}, true)) listModel_->setOpened(*mail, true);
  }
  switch (step.action) {
    case view::ReadOnStep::Action::ScrollText: text_->pageDown(); return;
    case view::ReadOnStep::Action::FocusText: focusPane(view::Focus::Text); return;
    case view::ReadOnStep::Action::SelectRow:
      list_->selectRow(step.row);
      focusPane(view::Focus::List);
      return;
    case view::ReadOnStep::Action::SelectTray:
      selectNode(step.tray);
      if (listModel_->rowCount() > 0) list_->selectRow(0);
      focusPane(view::Focus::List);
      return;
    case view::ReadOnStep::Action::Nothing: QApplication::beep(); return;
  }
}

void MainWindow::setViewMode(int mode, bool threads) {
  list_->setMode(mode);
  view::ListSortState state = listModel_->list().sortState();
  if (threads) {
    state.setThreads(true);
  } else if (mode == MailListPane::kDetails && state.threads()) {
    state.setThreads(false);
  }
  listModel_->setSortState(state);
  list_->showSortIndicator(state.column(), state.direction());
  updateCommands();
}

void MainWindow::openRow(int row) {
  const view::MailList& list = listModel_->list();
  if (row < 0 || static_cast<std::size_t>(row) >= list.rowCount()) return;
  if (const view::TreeNode* node = list.node(static_cast<std::size_t>(row))) {
    selectNode(node->path);
    return;
  }
  switch (view::openAction(true, list.trayKind(), document_.settings().number(item::kDoubleClickAction))) {
    case view::OpenAction::MailProperties: runCommand(cmd::kProperties); return;
    case view::OpenAction::ComposeFromDraft: composeCommands_->reopenSelected(); return;
    case view::OpenAction::Reply: runCommand(cmd::kReply); return;
    case view::OpenAction::TextWindow: readingCommands_->openTextWindow(); return;
    case view::OpenAction::SelectNode: return;
  }
}

void MainWindow::startEditor() {
  QString program = fromSjis(document_.settings().text(item::kEditor));
  if (program.isEmpty() || !QProcess::startDetached(program, {})) {
    for (const char* variable : {"VISUAL", "EDITOR"}) {
      const QString fallback = qEnvironmentVariable(variable);
      if (!fallback.isEmpty() && QProcess::startDetached("x-terminal-emulator", {"-e", fallback})) return;
    }
    messages_.error(MessageNumber::NoApplication);
  }
}

void MainWindow::openOtherSettings() {
  // Another settings file is another account with its own store and
  // layout: it opens in a fresh start of the program, and this one closes.
  const QString chosen = QFileDialog::getOpenFileName(this, QStringLiteral("設定ﾌｧｲﾙ選択"),
                                                      fromSjis(document_.settings().fileName()),
                                                      QStringLiteral("Person(*.xm9 *.XM9)"));
  if (chosen.isEmpty()) return;
  if (QProcess::startDetached(QApplication::applicationFilePath(), {chosen})) close();
}

void MainWindow::about() {
  QMessageBox::about(this, QStringLiteral("バージョン情報"),
                     QStringLiteral("Zorvik 1.6.0.8\n日本語の電子メールクライアント\n設定：") +
                         fromSjis(document_.settings().fileName()));
}

void MainWindow::toggleBar(int id) {
  if (id == cmd::kStatusBar) {
    statusBar()->setVisible(!statusBar()->isVisible());
  } else if (const auto bar = bars_.find(id); bar != bars_.end()) {
    bar->second->setVisible(!bar->second->isVisible());
  }
  updateCommands();
}

// --- Workflows ------------------------------------------------------------

void MainWindow::mailStoredForSending(bool send) {
  treeModel_->reloadAll();
  if (!send || offline_) return;
  if (const auto delay = mailflow::SessionDriver::autoSendDelay(document_.settings().number(item::kAutoSendDelay)))
    autoSendTimer_.start(static_cast<int>(delay->count()));
}

bool MainWindow::startWork(std::function<void(mailflow::FrontEnd&)> work, std::function<void()> done) {
  const bool started = runner_->start(std::move(work), [this, done = std::move(done)] {
    if (done) done();
    updateCommands();
  });
  if (!started) return false;
  updateCommands();
  return true;
}

void MainWindow::waitForWork() {
  runner_->wait();
}

void MainWindow::workflowDone(std::size_t received) {
  treeModel_->reloadAll();
  if (received > 0) {
    // The new mails are what the user wants to see: their tray, the first
    // unread one. Showing it is no reading yet: the indicator goes up after.
    selectNode(document_.settings().text(item::kNewMailTray));
    if (const auto row = listModel_->list().nextUnread(std::nullopt)) list_->selectRow(*row);
    setNewMail(true);
  } else {
    refreshAfterStoreChange();
  }
  startTimers();
  updateCommands();
  emit workflowFinished();
  if (closePending_) close();
}

void MainWindow::startMailTo(const QString& address) {
  showNormal();
  raise();
  activateWindow();
  if (composeCommands_->openMailto(address)) return;
  status_[0]->setText("mailto:" + address);
}

// --- Closing --------------------------------------------------------------

view::LayoutValues MainWindow::layoutValues() const {
  view::LayoutValues values = layout_;
  const QRect frame = normalGeometry().isValid() ? normalGeometry() : geometry();
  values.frame = {frame.left(), frame.top(), frame.left() + frame.width(), frame.top() + frame.height()};
  values.barState = saveState().toBase64().toStdString();
  values.barCount = static_cast<int>(bars_.size());
  if (const QScreen* screen = this->screen()) {
    values.screenWidth = screen->size().width();
    values.screenHeight = screen->size().height();
  }
  const QList<int> across = horizontal_->sizes();
  const QList<int> down = vertical_->sizes();
  if (!across.isEmpty()) values.treeWidth = across.front();
  values.treeHeight = tree_->height();
  if (!down.isEmpty()) values.listHeight = down.front();
  values.viewMode = list_->mode();
  values.columnWidths = list_->columnWidths();
  const auto sort = listModel_->list().sortState().layout();
  values.sortColumn = sort[0];
  values.sortDirection = sort[1];
  values.selectedNode = selectedNode();
  if (const auto rect = readingCommands_->textWindowGeometry())
    values.textWindow = {rect->left(), rect->top(), rect->left() + rect->width(), rect->top() + rect->height()};
  values.searchSwitches = readingCommands_->searchBar().state().switches().toLayout();
  return values;
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (runner_->busy()) {
    // The work ends first (the mail in hand is finished); the window follows.
    closePending_ = true;
    runner_->requestStop();
    event->ignore();
    return;
  }
  // A draft still open is kept or dropped as its own window asks; one that
  // could not be stored keeps the program running.
  if (!composeCommands_->closeAll()) {
    event->ignore();
    return;
  }
  writeBackTraySort();
  layoutValues().write(layoutStore_, options_.settingsName);
  layoutStore_.setText("CurUser", "@", document_.settings().fileName());
  layoutStore_.save();
  readingCommands_->closeTextWindow();
  event->accept();
}

}  // namespace zorvik::ui
