/// \file
/// Zorvik's main window: the tray tree on the left, the mail list above the
/// mail text on the right, the menus of the normal or the Brisko set, the
/// tool bars, a status line with the tray's counts, and everything that
/// ties them together: the command handlers, the history, read-on, the
/// key definitions of each pane, the open-timer, the new-mail check and
/// automatic send timers, the hand-off from a second start and the
/// new-mail indicator. The layout is read from the layout store when the
/// window is made and written back when it closes.
///
/// The window decides nothing itself that can be decided without Qt: it
/// asks view/ (command rules, list order, drops, history, read-on) and runs
/// the store's operations and mailflow's workflows. Workflows that block
/// run on the WorkflowRunner's thread; their questions are answered here.
///
/// Commands whose windows come later (compose, settings) have no handler
/// yet and show disabled; a later window plugs in with setHandler().
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/Messages.h"
#include "mailflow/Document.h"
#include "mailflow/FrontEnd.h"
#include "platform/Sound.h"
#include "view/CommandState.h"
#include "view/CommandTable.h"
#include "view/LayoutStore.h"
#include "view/LayoutValues.h"
#include "view/MacroTable.h"
#include "view/MailHistory.h"
#include "view/MenuLayout.h"

class QLabel;
class QComboBox;
class QSplitter;
class QSystemTrayIcon;
class QToolBar;

namespace zorvik::ui {

struct ClipPayload;
class CommandActions;
class ComposeCommands;
class HandOffListener;
class KeyMacroFilter;
class MailListModel;
class MailListPane;
class MailTextView;
class ReadingCommands;
class ServerCommands;
class SortingLogWindow;
class SettingsCommands;
class StoreCommands;
class TrayTreeModel;
class TrayTreeView;
class WorkflowRunner;

struct MainWindowOptions {
  std::string settingsName;  // names the layout values and the hand-off socket
  bool initialLayout = false;  // the `init` start: default bars
  bool listenForHandOff = true;
  /// A yes/no question that is no numbered message (caption, text in
  /// Shift_JIS); empty: a plain message box.
  std::function<bool(const std::string& caption, const std::string& text)> ask;
  /// Where "save as" writes (the suggestion given); empty: a file dialog.
  std::function<QString(const QString& suggestion)> chooseSavePath;
};

class MainWindow : public QMainWindow {
  Q_OBJECT

public:
  MainWindow(mailflow::Document& document, core::Messages& messages, view::LayoutStore& layout,
             MainWindowOptions options, QWidget* parent = nullptr);
  ~MainWindow() override;

  /// Runs command `id` as its menu item would; false when it has no
  /// handler or is disabled now.
  bool runCommand(int id);
  /// Whether command `id` is enabled now.
  bool commandEnabled(int id);
  /// Sets (or with an empty function removes) the handler of a command.
  void setHandler(int id, std::function<void()> handler);
  view::CommandTable& commandTable() { return commands_; }

  /// Selects the tree node `path` ("" the top cabinet); false when missing.
  bool selectNode(const std::string& path);
  /// Selects mail `index` of the tray shown.
  bool selectMail(std::uint32_t index);
  /// The path of the tree node selected.
  std::string selectedNode() const;
  /// The command state now (what menus and bars are updated with).
  view::CommandState commandState() const;

  TrayTreeView& tree() const { return *tree_; }
  MailListPane& list() const { return *list_; }
  MailListModel& listModel() const { return *listModel_; }
  MailTextView& text() const { return *text_; }
  ReadingCommands& reading() const { return *readingCommands_; }
  WorkflowRunner& runner() const { return *runner_; }
  /// Waits until the running workflow (if any) and the window's part after
  /// it are done, answering its questions meanwhile.
  void waitForWork();
  const view::MailHistory& history() const { return history_; }
  QString statusText(int pane) const;
  bool newMailIndicator() const { return newMail_; }

  /// The layout values of this window now (what close writes).
  view::LayoutValues layoutValues() const;
  /// The compose and address book windows' commands.
  ComposeCommands& compose() const { return *composeCommands_; }
  /// A mailto hand-off or address from the command line: a "新規" window.
  void startMailTo(const QString& address);
  /// The start-up password when the settings ask for it (false: the user
  /// gave up), and the start-up tips unless switched off.
  bool askStartPassword();
  void showStartUpTips();
  /// A compose window stored a mail for sending: the tree is redrawn and,
  /// when `send` is set, the automatic send (timer 2) starts.
  void mailStoredForSending(bool send);

signals:
  /// A send/receive or receive finished (tests wait for it).
  void workflowFinished();

private:
  friend class ReadingCommands;
  friend class ComposeCommands;
  friend class ServerCommands;
  friend class SettingsCommands;
  friend class StoreCommands;

protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;

private:
  // Building
  void buildPanes();
  void buildCommands();
  void buildBars();
  void buildStatusBar();
  void applyLayout();
  void installKeyDefinitions();
  void startTimers();

  // Selection and display
  void nodeSelected();
  void listCurrentChanged();
  void showCounts();
  void writeBackTraySort();
  void updateCommands();
  void focusPane(view::Focus focus);
  std::string currentTray() const;
  std::vector<std::uint32_t> selectedMails() const;
  std::optional<std::pair<std::string, std::uint32_t>> selectedMailPlace() const;
  void refreshAfterStoreChange(const std::string& cabinet = {});
  void markOpenedByTimer();
  void setNewMail(bool raised);

  // Commands
  void handle(int id);
  bool accelerator(const view::KeyStroke& stroke);
  void runMacro(view::Focus pane, const QString& name);
  void showContextMenu(view::ContextMenu which, const QPoint& globalPosition);
  void goToMark(int mark);
  void moveRow(int step);
  void goUp();
  void goToLinkSource();
  void historyMove(bool back);
  void readOn(bool nextUnreadOnly);
  void setViewMode(int mode, bool threads);
  void openRow(int row);
  void startEditor();
  void about();
  void openOtherSettings();
  void toggleBar(int id);

  // Workflows
  /// Starts `work` on the runner; `done` follows on this thread.
  bool startWork(std::function<void(mailflow::FrontEnd&)> work, std::function<void()> done);
  void workflowDone(std::size_t received);
  void stopTimers();

  mailflow::Document& document_;
  core::Messages& messages_;
  view::LayoutStore& layoutStore_;
  MainWindowOptions options_;
  view::LayoutValues layout_;
  view::MenuSet menuSet_ = view::MenuSet::Normal;

  view::CommandTable commands_;
  std::map<int, std::function<void()>> handlers_;
  CommandActions* actions_ = nullptr;
  std::map<int, QToolBar*> bars_;
  QToolBar* markBar_ = nullptr;
  QComboBox* markChooser_ = nullptr;

  TrayTreeModel* treeModel_ = nullptr;
  TrayTreeView* tree_ = nullptr;
  MailListModel* listModel_ = nullptr;
  MailListPane* list_ = nullptr;
  MailTextView* text_ = nullptr;
  QSplitter* horizontal_ = nullptr;
  QSplitter* vertical_ = nullptr;
  QPointer<SortingLogWindow> sortingLog_;
  std::array<QLabel*, 3> status_{};

  view::MacroTable treeKeys_;
  view::MacroTable listKeys_;
  view::MacroTable textKeys_;
  KeyMacroFilter* treeFilter_ = nullptr;
  KeyMacroFilter* listFilter_ = nullptr;
  KeyMacroFilter* textFilter_ = nullptr;

  view::MailHistory history_;
  view::Focus lastFocus_ = view::Focus::Tree;
  QTimer openTimer_;
  std::optional<std::pair<std::string, std::uint32_t>> openTimerMail_;
  QTimer checkTimer_;     // timer 1
  QTimer autoSendTimer_;  // timer 2
  std::unique_ptr<platform::Sound> sound_;
  WorkflowRunner* runner_ = nullptr;
  HandOffListener* handOff_ = nullptr;
  ComposeCommands* composeCommands_ = nullptr;
  QSystemTrayIcon* trayIcon_ = nullptr;
  bool newMail_ = false;
  bool holdingFilled_ = false;
  bool offline_ = false;
  bool closePending_ = false;
  QString baseTitle_;
  std::unique_ptr<StoreCommands> storeCommands_;
  std::unique_ptr<ServerCommands> serverCommands_;
  std::unique_ptr<ReadingCommands> readingCommands_;
  std::unique_ptr<SettingsCommands> settingsCommands_;
  bool askingPassword_ = false;
};

}  // namespace zorvik::ui
