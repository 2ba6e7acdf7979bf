#include "view/MenuLayout.h"

#include "platform/TextEncoding.h"
#include "view/CommandId.h"

namespace zorvik::view {
namespace {

using namespace cmd;

MenuEntry item(int command, const char* text = nullptr) {
  return {MenuEntry::Kind::Command, command, text ? platform::sjisLiteral(text) : std::string(), {}};
}
MenuEntry separator() { return {MenuEntry::Kind::Separator, 0, {}, {}}; }
MenuEntry submenu(const char* title, std::vector<MenuEntry> children) {
  return {MenuEntry::Kind::Submenu, 0, platform::sjisLiteral(title), std::move(children)};
}

std::vector<MenuEntry> markSetEntries() {
  return {item(kClearMark), item(kSetMark1), item(kSetMark1 + 1), item(kSetMark1 + 2), item(kSetMark1 + 3),
          item(kSetMark5)};
}

std::vector<MenuEntry> normalMenuBar() {
  return {
      submenu("ファイル(&F)",
              {item(kOpenSettings), item(kSaveAsText), separator(), item(kPrint), item(kPrintPreview), separator(),
               submenu("新規作成(&N)", {item(kNewCabinet), item(kNewTray)}), item(kRename), item(kDelete),
               item(kClearLinks), separator(),
               submenu("移動(&G)",
                       {item(kGoUp), item(kGoToLinkSource), item(kGoToUnread), separator(), item(kHistoryBack),
                        item(kHistoryForward), separator(),
                        submenu("マークへ移動(&K)",
                                {item(kGoToSelectedMark), item(kGoToMark1), item(kGoToMark1 + 1),
                                 item(kGoToMark1 + 2), item(kGoToMark1 + 3), item(kGoToMark5)}),
                        separator(), item(kPreviousRow), item(kNextRow)}),
               separator(),
               submenu("ﾄﾚｲ操作(&Y)",
                       {item(kImportTray), item(kExportTray), item(kBackupTray), separator(),
                        item(kReadTrayProperties), item(kCompactTray)}),
               item(kAddToAddressBook), item(kProperties), separator(), item(kExit)}),
      submenu("編集(&E)",
              {item(kFind), item(kFindNext), item(kFindAll), item(kRefinedFind), item(kStopFind), separator(),
               item(kCut), item(kCopy), item(kPaste), separator(), item(kSelectAll), item(kCopyWholeMail)}),
      submenu("表示(&V)",
              {submenu("ツールバー(&T)",
                       {item(kFileBar), item(kEditBar), item(kMoveBar), item(kViewBar), item(kMailBar),
                        item(kServerBar), item(kBriskoBar)}),
               item(kSearchBar), item(kMarkBar), item(kStatusBar), separator(), item(kOpenTextWindow),
               item(kShowSortingLog), item(kReadOn), separator(), item(kLargeIcons), item(kSmallIcons),
               item(kListMode), item(kDetails), item(kThreadDisplay), separator(), item(kRefresh), separator(),
               item(kEditToolBars), item(kSettingsSheet)}),
      submenu("メール(&M)",
              {item(kNewMail), item(kReply), item(kReplyToSender), item(kForward), separator(),
               submenu("マーク(&K)", markSetEntries()), separator(), item(kSortIntoTrays), item(kExtractFiles),
               item(kDeleteAttachments), item(kPgpDecrypt), separator(), item(kMarkOpened), item(kMarkUnread),
               item(kUseReceiveDate), item(kOpenedClearLinks), separator(), item(kSendReceive), item(kSend),
               item(kReceive), item(kHeaderReceive), item(kSendReceiveAll)}),
      submenu("ヘルプ(&H)",
              {item(kHelpContents), item(kHelpSearch), separator(), item(kUpgradeTrays), item(kDebug), separator(),
               item(kAbout)}),
  };
}

std::vector<MenuEntry> briskoMenuBar() {
  return {
      submenu("ファイル(&F)",
              {item(kSaveAsText, "名前を付けて保存(&S)...\tCtrl+S"), item(kStartEditor, "文書エディタ起動(&E)\tCtrl+E"),
               item(kPrint, "印刷(&P)...\tCtrl+P"), separator(), item(kExit, "Briskoの終了(&X)")}),
      submenu("編集(&E)", {item(kSelectAll, "すべて選択(&A)\tCtrl+A"), item(kCopy, "コピー(&C)\tCtrl+C"),
                           item(kDelete, "削除(&D)\tDel"), separator(), item(kFind, "検索(&F)...\tCtrl+F")}),
      submenu("移動(&G)",
              {item(kPreviousRow, "前のメール(&P)\tCtrl+<"), item(kNextRow, "次のメール(&N)\tCtrl+>"), separator(),
               item(kHistoryBack, "履歴を戻る(&B)\tAlt+←"), item(kHistoryForward, "履歴を進む(&F)\tAlt+→"),
               separator(), item(kGoToUnread, "次の未読メール(&L)\tCtrl+U")}),
      submenu("メール(&M)",
              {item(kSendReceive, "メール送受信(&M)\tCtrl+M"), item(kSend, "メール送信(&S)\tCtrl+H"),
               item(kReceive, "メール受信(&W)\tCtrl+T"), separator(), item(kNewMail, "メールの新規作成(&N)\tCtrl+N"),
               item(kReply, "返信(&R)\tCtrl+R"), item(kForward, "転送(&T)\tCtrl+L")}),
      submenu("オプション(&O)", {item(kSortingSettings), item(kSettingsSheet), separator(), item(kOffline)}),
      submenu("ヘルプ(&H)", {item(kAbout)}),
  };
}

KeyStroke ctrl(int key) { return {key, false, false, true}; }
KeyStroke alt(int key) { return {key, true, false, false}; }
KeyStroke plain(int key) { return {key, false, false, false}; }

}  // namespace

std::vector<MenuEntry> menuBar(MenuSet set) { return set == MenuSet::Brisko ? briskoMenuBar() : normalMenuBar(); }

std::vector<MenuEntry> contextMenu(ContextMenu menu) {
  switch (menu) {
    case ContextMenu::Text:
      return {item(kFind), item(kFindNext), separator(), item(kCopy), item(kCopyWholeMail), item(kSelectAll)};
    case ContextMenu::Cabinet:
      return {submenu("新規作成(&N)", {item(kNewCabinet), item(kNewTray)}), separator(), item(kCut), item(kCopy),
              item(kPaste), separator(), item(kDelete), item(kRename), item(kClearLinks), separator(),
              item(kMarkOpened), item(kMarkUnread), separator(), item(kImportTray), item(kExportTray),
              item(kBackupTray), item(kProperties)};
    case ContextMenu::Tray:
      return {item(kNewMail), item(kSortIntoTrays), separator(), item(kCut), item(kCopy), item(kPaste),
              separator(), item(kDelete), item(kRename), item(kClearLinks), item(kCompactTray), separator(),
              item(kMarkOpened), item(kMarkUnread), item(kOpenedClearLinks), separator(), item(kExportTray),
              item(kBackupTray), item(kProperties)};
    case ContextMenu::Mail:
      return {item(kReply), item(kReplyToSender), item(kForward), separator(),
              submenu("マーク(&K)", markSetEntries()), separator(), item(kMarkOpened), item(kMarkUnread),
              item(kOpenedClearLinks), item(kSortIntoTrays), separator(), item(kCut), item(kCopy), item(kDelete),
              separator(), item(kGoToLinkSource), item(kSaveAsText), item(kOpenTextWindow), item(kProperties)};
    case ContextMenu::Server:
      return {item(kReceive), item(kDelete), separator(), item(kMarkOpened), item(kMarkUnread), separator(),
              item(kHeaderReceive), separator(), item(kServerTrayProperties), item(kServerMailProperties)};
  }
  return {};
}

std::vector<MenuEntry> dropMenu() {
  return {item(kDropMove, "ここに移動(&M)"), item(kDropLink, "リンクをここに作成(&L)"), separator(),
          item(kDropCancel, "キャンセル")};
}

const std::vector<Accelerator>& accelerators(MenuSet set) {
  static const std::vector<Accelerator> kNormal = {
      {alt(vk::kLeft), kHistoryBack},  {alt(vk::kRight), kHistoryForward}, {plain(116), kRefresh},
      {ctrl('F'), kFind},              {plain(114), kFindNext},            {ctrl('U'), kGoToUnread},
      {ctrl('N'), kNewMail},           {ctrl('M'), kSendReceive}};
  static const std::vector<Accelerator> kBrisko = {
      {ctrl('S'), kSaveAsText},      {ctrl('E'), kStartEditor},      {ctrl('P'), kPrint},
      {ctrl('A'), kSelectAll},       {ctrl('C'), kCopy},             {plain(vk::kDelete), kDelete},
      {ctrl('F'), kFind},            {ctrl(188), kPreviousRow},      {ctrl(190), kNextRow},
      {alt(vk::kLeft), kHistoryBack}, {alt(vk::kRight), kHistoryForward}, {ctrl('U'), kGoToUnread},
      {ctrl('M'), kSendReceive},     {ctrl('H'), kSend},             {ctrl('T'), kReceive},
      {ctrl('N'), kNewMail},         {ctrl('R'), kReply},            {ctrl('L'), kForward}};
  return set == MenuSet::Brisko ? kBrisko : kNormal;
}

std::vector<int> commandsOf(const std::vector<MenuEntry>& entries) {
  std::vector<int> ids;
  for (const MenuEntry& entry : entries) {
    if (entry.kind == MenuEntry::Kind::Command) ids.push_back(entry.command);
    if (entry.kind == MenuEntry::Kind::Submenu) {
      const auto inner = commandsOf(entry.children);
      ids.insert(ids.end(), inner.begin(), inner.end());
    }
  }
  return ids;
}

}  // namespace zorvik::view
