#include "view/CommandTable.h"

#include "platform/TextEncoding.h"
#include "store/SystemTrays.h"
#include "view/CommandId.h"

namespace zorvik::view {
namespace {

using S = const CommandState&;

std::string sjis(const char* utf8) { return platform::sjisLiteral(utf8); }

// The rules the table shares.
bool always(S) { return true; }
bool never(S) { return false; }
bool nodeSelected(S s) { return s.nodeSelected; }
bool renamable(S s) { return s.nodeSelected && !s.nodeIsTopCabinet && s.focus != Focus::Text; }
bool somethingSelected(S s) { return s.actsOnMails() || s.nodeSelected; }
bool oneMail(S s) { return s.oneMail() || (s.focus == Focus::Text && s.textShown); }
bool mails(S s) { return s.actsOnMails(); }
bool trayShown(S s) { return s.trayShown; }
bool traySelected(S s) { return s.nodeSelected && !s.nodeIsCabinet; }
bool cabinetSelected(S s) { return s.nodeSelected && s.nodeIsCabinet; }
bool listHasRows(S s) { return s.listHasRows; }
// Cut and copy: mails, or a tree item that is neither the top cabinet nor a
// system tray (those must stay where the settings name them).
bool holdable(S s) {
  if (s.focus == Focus::Text) return false;
  if (s.actsOnMails()) return true;
  return s.nodeSelected && !s.nodeIsTopCabinet && (s.nodeIsCabinet || s.nodeTrayKind == store::kOrdinaryTray);
}
bool copyable(S s) { return holdable(s) || (s.focus == Focus::Text && s.textHasSelection); }
bool pastable(S s) { return s.holdingFilled && s.nodeSelected; }
bool selectAll(S s) { return (s.focus == Focus::List && s.listHasRows) || (s.focus == Focus::Text && s.textShown); }
bool serverIdle(S s) { return !s.commandRunning; }
bool sendIdle(S s) { return !s.commandRunning && !s.sortingRunning; }
bool receiveIdle(S s) { return !s.commandRunning && !s.popConnectionActive && !s.sortingRunning; }
bool sortIdle(S s) { return somethingSelected(s) && !s.sortingRunning; }
bool serverTrayShown(S s) { return s.trayShown && s.shownTrayKind == store::kMailServerTray; }
bool serverMail(S s) { return serverTrayShown(s) && s.actsOnMails(); }
bool linkMail(S s) { return s.oneMail() && s.selectedMailIsLink; }
bool attachmentMail(S s) { return s.oneMail() && s.selectedMailHasAttachments; }
bool hasParent(S s) { return s.nodeSelected && !s.nodeIsTopCabinet; }

Command::Rule viewMode(int mode) {
  return [mode](S s) { return !s.threadDisplay && s.viewMode == mode; };
}
Command::Rule barVisible(int bar) {
  return [bar](S s) { return (s.visibleBars >> (bar - cmd::kFirstToolBar) & 1U) != 0; };
}

}  // namespace

CommandTable CommandTable::standard() {
  CommandTable table;
  const auto add = [&table](int id, const char* text, const char* button, Command::Rule enabled,
                            Command::Rule checked = {}) {
    table.commands_.push_back({id, sjis(text), button ? sjis(button) : std::string(), std::move(enabled),
                               std::move(checked)});
  };
  using namespace cmd;
  // File
  add(kOpenSettings, "設定ﾌｧｲﾙ選択(&O)...", nullptr, always);
  add(kSaveAsText, "名前を付けて保存(&S)...", "保存", oneMail);
  add(kPrint, "印刷(&P)...", "印刷", oneMail);
  add(kPrintPreview, "印刷ﾌﾟﾚﾋﾞｭｰ(&V)", nullptr, oneMail);
  add(kNewCabinet, "引出(&C)", "新引出", nodeSelected);
  add(kNewTray, "ﾄﾚｲ(&T)", "新ﾄﾚｲ", nodeSelected);
  add(kRename, "名前の変更(&M)", "名前", renamable);
  add(kDelete, "削除(&D)", "削除", somethingSelected);
  add(kClearLinks, "ﾘﾝｸﾒｰﾙのみ消去(&E)", nullptr, somethingSelected);
  add(kGoUp, "上へ移動(&U)", "上へ", hasParent);
  add(kGoToLinkSource, "リンク元へ移動(&L)", "ﾘﾝｸ元", linkMail);
  add(kGoToUnread, "未読ﾒｰﾙへ移動(&G)", "未読へ", trayShown);
  add(kHistoryBack, "履歴を戻る(&<)", "戻る", [](S s) { return s.historyBack; });
  add(kHistoryForward, "履歴を進む(&>)", "進む", [](S s) { return s.historyForward; });
  add(kGoToSelectedMark, "選択マークへ移動(&0)", nullptr, trayShown);
  static constexpr const char* kGoToMarkTexts[] = {"マーク(&1)", "マーク(&2)", "マーク(&3)", "マーク(&4)",
                                                   "マーク(&5)"};
  for (int i = 0; i < 5; ++i) add(kGoToMark1 + i, kGoToMarkTexts[i], nullptr, trayShown);
  add(kPreviousRow, "前のメールへ(&1)", "前", listHasRows);
  add(kNextRow, "次のメールへ(&2)", "次", listHasRows);
  add(kImportTray, "外部ﾄﾚｲ取り込み(&I)...", nullptr, cabinetSelected);
  add(kExportTray, "外部ﾄﾚｲ書き出し(&W)...", nullptr, nodeSelected);
  add(kBackupTray, "ﾄﾚｲのバックアップ(&B)...", nullptr, nodeSelected);
  add(kReadTrayProperties, "ﾄﾚｲﾌﾟﾛﾊﾟﾃｨ読込(&T)...", nullptr, cabinetSelected);
  add(kCompactTray, "ﾄﾚｲの整理(&Z)", "整理", traySelected);
  add(kAddToAddressBook, "ｱﾄﾞﾚｽ帳へ登録(&A)", nullptr, oneMail);
  add(kProperties, "ﾌﾟﾛﾊﾟﾃｨ(&R)...", nullptr, somethingSelected);
  add(kExit, "終了(&X)", nullptr, always);

  // Edit
  add(kFind, "検索(&F)", "検索", always);
  add(kFindNext, "次を検索(&I)", "次検索", always);
  add(kFindAll, "まとめて検索(&S)", nullptr, always);
  add(kRefinedFind, "絞り込み検索...", nullptr, always);
  add(kStopFind, "検索中止(&Q)", nullptr, always);
  add(kCut, "切り取り(&T)", "切取", holdable);
  add(kCopy, "コピー(&C)", "ｺﾋﾟｰ", copyable);
  add(kPaste, "貼り付け(&P)", "貼付", pastable);
  add(kSelectAll, "すべて選択(&A)", nullptr, selectAll);
  add(kCopyWholeMail, "メールをすべてｺﾋﾟｰ(&A)", nullptr, oneMail);

  // View
  static constexpr const char* kBarTexts[] = {"ﾌｧｲﾙ操作ﾊﾞｰ(&F)", "編集ﾊﾞｰ(&E)",    "移動ﾊﾞｰ(&G)",
                                              "表示ﾊﾞｰ(&V)",     "ﾒｰﾙ操作ﾊﾞｰ(&M)", "ｻｰﾊﾞ送受信ﾊﾞｰ(&A)"};
  for (int i = 0; i < 6; ++i) add(kFirstToolBar + i, kBarTexts[i], nullptr, always, barVisible(kFirstToolBar + i));
  add(kBriskoBar, "Briskoﾊﾞｰ(&B)", nullptr, always, barVisible(kBriskoBar));
  add(kSearchBar, "検索ﾊﾞｰ(&S)", nullptr, always, [](S s) { return s.searchBarVisible; });
  add(kMarkBar, "マークバー(&K)", nullptr, always, [](S s) { return s.markBarVisible; });
  add(kStatusBar, "ｽﾃｰﾀｽ ﾊﾞｰ(&U)", nullptr, always, [](S s) { return s.statusBarVisible; });
  add(kOpenTextWindow, "ﾒｰﾙ内容表示(&M)...", nullptr, oneMail);
  add(kShowSortingLog, "振分ﾛｸﾞ表示(&L)", "振分ﾛｸﾞ", always);
  add(kReadOn, "未読メール順次表示(&N)", "順次", trayShown);
  add(kLargeIcons, "大きいｱｲｺﾝ(&G)", "大ｱｲｺﾝ", always, viewMode(0));
  add(kSmallIcons, "小さいｱｲｺﾝ(&M)", "小ｱｲｺﾝ", always, viewMode(2));
  add(kListMode, "一覧(&L)", "一覧", always, viewMode(3));
  add(kDetails, "詳細(&D)", "詳細", always, viewMode(1));
  add(kThreadDisplay, "ｽﾚｯﾄﾞ表示(&H)", "ｽﾚｯﾄﾞ", always, [](S s) { return s.threadDisplay; });
  add(kRefresh, "最新の情報に更新(&R)", "更新", always);
  add(kSettingsSheet, "環境設定(&E)...", "設定", always);
  add(kEditToolBars, "ﾂｰﾙﾊﾞｰの編集(&B)...", nullptr, always);

  // Mail
  add(kNewMail, "新規メール作成(&N)...", "新規", always);
  add(kReply, "返信・追記(&R)...", "返信", oneMail);
  add(kReplyToSender, "差出人のみへ返信(&U)...", "差出人へ", oneMail);
  add(kForward, "転送(&T)...", "転送", oneMail);
  add(kSetChosenMark, "マーク(&K)", nullptr, mails);
  add(kClearMark, "マーク消去(&0)", nullptr, [](S s) { return s.oneMail(); });
  static constexpr const char* kMarkTexts[] = {"マーク１(&1)", "マーク２(&2)", "マーク３(&3)", "マーク４(&4)",
                                               "マーク５(&5)"};
  for (int i = 0; i < 5; ++i) add(kSetMark1 + i, kMarkTexts[i], nullptr, [](S s) { return s.oneMail(); });
  add(kSortIntoTrays, "トレイへ振分(&G)", "振分", sortIdle);
  add(kExtractFiles, "本文よりﾌｧｲﾙ抜出(&F)...", nullptr, oneMail);
  add(kDeleteAttachments, "添付ファイル削除(&I)", nullptr, attachmentMail);
  add(kPgpDecrypt, "PGP復号化", nullptr, never);
  add(kMarkOpened, "開封に変更(&O)", "開封", somethingSelected);
  add(kMarkUnread, "未読に変更(&C)", "未読", somethingSelected);
  add(kUseReceiveDate, "受信日付に変更(&J)", nullptr, mails);
  add(kOpenedClearLinks, "リンクを消去して開封(&L)", nullptr, somethingSelected);
  add(kSendReceive, "ｻｰﾊﾞ送受信(&S)...", "送受信", serverIdle);
  add(kSend, "ｻｰﾊﾞ送信(&X)...", "送信", sendIdle);
  add(kReceive, "ｻｰﾊﾞ受信(&Y)...", "受信", receiveIdle);
  add(kHeaderReceive, "ｻｰﾊﾞﾍｯﾀﾞｰ受信(&H)...", "ﾍｯﾀﾞｰ", receiveIdle);
  add(kSendReceiveAll, "全ｻｰﾊﾞ送受信(&A)...", "全送受信", serverIdle);

  // Help
  add(kHelpContents, "目次(&C)", nullptr, always);
  add(kHelpSearch, "トピックの検索(&S)", nullptr, always);
  add(kUpgradeTrays, "トレイのバージョンアップ", nullptr, always);
  add(kDebug, "Debug", nullptr, always);
  add(kAbout, "バージョン情報(&A)...", nullptr, always);

  // Tool bars and the Brisko menus only
  add(kAddressBook, "ｱﾄﾞﾚｽ帳(&B)...", "ｱﾄﾞﾚｽ帳", always);
  add(kEmptyTrash, "ごみ箱を空にする(&T)...", "ごみ箱", always);
  add(kSaveAttachments, "添付ファイルを保存(&A)...", nullptr, attachmentMail);
  add(kPrintSetup, "印刷の設定(&U)...", nullptr, always);
  add(kStartEditor, "文書エディタ起動(&E)", "ｴﾃﾞｨﾀ", always);
  add(kImportOtherMailer, "他のメーラからのインポート...", nullptr, always);
  add(kSortingSettings, "振り分け設定(&C)...", nullptr, always);
  add(kServerTrayProperties, "メールサーバのプロパティ(&P)...", nullptr, serverTrayShown);
  add(kServerMailProperties, "サーバメールのプロパティ(&P)...", nullptr, serverMail);
  add(kOffline, "オフライン(&O)", nullptr, always, [](S s) { return s.offline; });
  return table;
}

const Command* CommandTable::find(int id) const {
  for (const Command& command : commands_)
    if (command.id == id) return &command;
  return nullptr;
}

void CommandTable::add(Command command) {
  for (Command& existing : commands_) {
    if (existing.id != command.id) continue;
    existing = std::move(command);
    return;
  }
  commands_.push_back(std::move(command));
}

bool CommandTable::enabled(int id, const CommandState& state) const {
  const Command* command = find(id);
  if (!command) return false;
  return !command->enabled || command->enabled(state);
}

bool CommandTable::checkable(int id) const {
  const Command* command = find(id);
  return command && command->checked;
}

bool CommandTable::checked(int id, const CommandState& state) const {
  const Command* command = find(id);
  return command && command->checked && command->checked(state);
}

std::string CommandTable::buttonText(int id) const {
  const Command* command = find(id);
  if (!command) return {};
  if (!command->buttonText.empty()) return command->buttonText;
  return command->text.substr(0, command->text.find("(&"));
}

}  // namespace zorvik::view
