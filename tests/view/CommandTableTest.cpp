// The command table against the menus and bars built from it, and the
// enabling rules in the states that matter.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "platform/TextEncoding.h"
#include "view/CommandId.h"
#include "view/CommandTable.h"
#include "view/MenuLayout.h"
#include "view/ToolBarLayout.h"

namespace zorvik::view {
namespace {

std::string utf8(const std::string& sjis) { return platform::sjisToUtf8(sjis); }

TEST(CommandTable, EveryMenuAndBarEntryIsACommand) {
  const CommandTable table = CommandTable::standard();
  std::vector<std::vector<MenuEntry>> menus = {menuBar(MenuSet::Normal), menuBar(MenuSet::Brisko)};
  for (const ContextMenu menu : {ContextMenu::Text, ContextMenu::Cabinet, ContextMenu::Tray, ContextMenu::Mail,
                                 ContextMenu::Server})
    menus.push_back(contextMenu(menu));
  for (const auto& menu : menus)
    for (const int id : commandsOf(menu)) EXPECT_NE(table.find(id), nullptr) << id;
  for (const ToolBar& bar : toolBars()) {
    EXPECT_NE(table.find(bar.id), nullptr) << bar.id;
    EXPECT_LE(bar.buttons.size(), ToolBar::kMaxEntries);
    for (const int id : bar.buttons)
      if (id != 0) EXPECT_NE(table.find(id), nullptr) << id;
  }
  for (const MenuSet set : {MenuSet::Normal, MenuSet::Brisko})
    for (const Accelerator& accelerator : accelerators(set)) EXPECT_NE(table.find(accelerator.command), nullptr);

  // The normal menu reaches every command except those kept for the
  // tool bars and the Brisko menus.
  std::set<int> normal;
  for (const int id : commandsOf(menuBar(MenuSet::Normal))) normal.insert(id);
  const std::set<int> elsewhere = {cmd::kAddressBook,   cmd::kEmptyTrash,        cmd::kSaveAttachments,
                                   cmd::kPrintSetup,    cmd::kStartEditor,       cmd::kImportOtherMailer,
                                   cmd::kSortingSettings, cmd::kServerTrayProperties, cmd::kServerMailProperties,
                                   cmd::kOffline,       cmd::kSetChosenMark};
  for (const Command& command : table.commands())
    EXPECT_TRUE(normal.contains(command.id) || elsewhere.contains(command.id)) << command.id;
  // Command numbers are unique.
  std::set<int> ids;
  for (const Command& command : table.commands()) EXPECT_TRUE(ids.insert(command.id).second) << command.id;
}

TEST(CommandTable, BriskoTextsCarryTheirKeys) {
  std::vector<std::string> texts;
  for (const MenuEntry& menu : menuBar(MenuSet::Brisko))
    for (const MenuEntry& entry : menu.children)
      if (entry.kind == MenuEntry::Kind::Command && !entry.text.empty()) texts.push_back(utf8(entry.text));
  for (const char* expected : {"名前を付けて保存(&S)...\tCtrl+S", "前のメール(&P)\tCtrl+<", "履歴を戻る(&B)\tAlt+←",
                               "メール受信(&W)\tCtrl+T", "転送(&T)\tCtrl+L", "Briskoの終了(&X)"})
    EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end()) << expected;
  // Each Brisko shortcut shown in a text is an accelerator of that set.
  EXPECT_EQ(accelerators(MenuSet::Brisko).size(), 18U);
  EXPECT_EQ(utf8(dropMenu()[1].text), "リンクをここに作成(&L)");
}

TEST(CommandTable, EnablingRules) {
  const CommandTable table = CommandTable::standard();
  CommandState idle;
  CommandState oneMail;
  oneMail.focus = Focus::List;
  oneMail.trayShown = true;
  oneMail.listHasRows = true;
  oneMail.mailsSelected = 1;
  CommandState twoMails = oneMail;
  twoMails.mailsSelected = 2;
  CommandState systemTray;
  systemTray.focus = Focus::Tree;
  systemTray.nodeSelected = true;
  systemTray.nodeTrayKind = 2;
  CommandState top = systemTray;
  top.nodeTrayKind = 0;
  top.nodeIsCabinet = true;
  top.nodeIsTopCabinet = true;
  CommandState cabinet = top;
  cabinet.nodeIsTopCabinet = false;
  CommandState receiving = oneMail;
  receiving.commandRunning = true;
  receiving.popConnectionActive = true;
  CommandState sorting = oneMail;
  sorting.sortingRunning = true;
  CommandState serverMail = oneMail;
  serverMail.shownTrayKind = 1;
  CommandState textFocus;
  textFocus.focus = Focus::Text;
  textFocus.textShown = true;

  struct Case {
    const char* name;
    int command;
    const CommandState& state;
    bool enabled;
  };
  const std::vector<Case> cases = {
      {"save as text: one mail", cmd::kSaveAsText, oneMail, true},
      {"save as text: two mails", cmd::kSaveAsText, twoMails, false},
      {"save as text: text pane", cmd::kSaveAsText, textFocus, true},
      {"mark: one mail", cmd::kSetMark1, oneMail, true},
      {"mark: two mails", cmd::kSetMark1, twoMails, false},
      {"chosen mark: two mails (beeps)", cmd::kSetChosenMark, twoMails, true},
      {"rename the top cabinet", cmd::kRename, top, false},
      {"rename a cabinet", cmd::kRename, cabinet, true},
      {"cut a system tray", cmd::kCut, systemTray, false},
      {"cut a cabinet", cmd::kCut, cabinet, true},
      {"cut the top cabinet", cmd::kCut, top, false},
      {"cut mails", cmd::kCut, twoMails, true},
      {"paste with nothing held", cmd::kPaste, cabinet, false},
      {"compact a cabinet", cmd::kCompactTray, cabinet, false},
      {"compact a tray", cmd::kCompactTray, systemTray, true},
      {"send/receive while one runs", cmd::kSendReceive, receiving, false},
      {"header receive while POP3 busy", cmd::kHeaderReceive, receiving, false},
      {"send while sorting", cmd::kSend, sorting, false},
      {"send/receive while sorting", cmd::kSendReceive, sorting, true},
      {"receive while sorting", cmd::kReceive, sorting, false},
      {"sort into trays while sorting", cmd::kSortIntoTrays, sorting, false},
      {"history back at start", cmd::kHistoryBack, idle, false},
      {"PGP never", cmd::kPgpDecrypt, oneMail, false},
      {"server mail properties", cmd::kServerMailProperties, serverMail, true},
      {"server mail properties elsewhere", cmd::kServerMailProperties, oneMail, false},
      {"go to link source of a plain mail", cmd::kGoToLinkSource, oneMail, false},
      {"exit", cmd::kExit, idle, true},
      {"unknown command", 1, idle, false},
  };
  for (const Case& c : cases) EXPECT_EQ(table.enabled(c.command, c.state), c.enabled) << c.name;

  CommandState threads;
  threads.viewMode = 1;
  threads.threadDisplay = true;
  threads.visibleBars = 1U << (cmd::kServerBar - cmd::kFirstToolBar);
  EXPECT_TRUE(table.checked(cmd::kThreadDisplay, threads));
  EXPECT_FALSE(table.checked(cmd::kDetails, threads));  // the thread display leaves plain details
  EXPECT_TRUE(table.checked(cmd::kServerBar, threads));
  EXPECT_FALSE(table.checked(cmd::kFileBar, threads));
  EXPECT_FALSE(table.checkable(cmd::kRefresh));
  EXPECT_EQ(utf8(table.buttonText(cmd::kClearLinks)), "ﾘﾝｸﾒｰﾙのみ消去");

  // Later windows plug their commands in.
  CommandTable extended = table;
  extended.add({40000, "x", "", [](const CommandState& s) { return s.textShown; }, {}});
  EXPECT_TRUE(extended.enabled(40000, textFocus));
  EXPECT_FALSE(extended.enabled(40000, idle));
}

}  // namespace
}  // namespace zorvik::view
