#include "view/EnvironmentPages.h"

#include "core/SettingsItemTable.h"
#include "platform/TextEncoding.h"
#include "view/KeyPresets.h"

namespace zorvik::view {
namespace {

namespace item = core::item;
using platform::sjisLiteral;

SettingsField field(ControlKind control, int id, const char* label, const char* unit = "", int offValue = 0) {
  return {control, id, sjisLiteral(label), {}, sjisLiteral(unit), offValue, false, {}};
}
SettingsField text(int id, const char* label) { return field(ControlKind::Text, id, label); }
SettingsField check(int id, const char* label) { return field(ControlKind::Check, id, label); }
SettingsField number(int id, const char* label, const char* unit = "") {
  return field(ControlKind::Number, id, label, unit);
}
SettingsField colour(int id, const char* label) { return field(ControlKind::Colour, id, label); }

SettingsField choice(int id, const char* label, std::initializer_list<const char*> texts) {
  SettingsField result = field(ControlKind::Choice, id, label);
  int value = 0;
  for (const char* t : texts) result.choices.push_back({sjisLiteral(t), value++});
  return result;
}

SettingsField colourList(const char* label, std::initializer_list<std::pair<const char*, int>> colours) {
  SettingsField result = field(ControlKind::ColourList, colours.begin()->second, label);
  for (const auto& [name, id] : colours) result.choices.push_back({sjisLiteral(name), id});
  return result;
}

SettingsPage page(const char* title, std::vector<SettingsField> fields, std::vector<SettingsPage> details = {}) {
  return {sjisLiteral(title), std::move(fields), std::move(details)};
}

SettingsPage systemPage() {
  SettingsField password =
      field(ControlKind::SwitchedNumber, item::kStartPassword, "起動時パスワードを使う(&P)", "保護領域(&A)", -1);
  password.action = sjisLiteral("パスワード設定(&T)");
  return page("ｼｽﾃﾑ",
              {password,
               check(item::kPasswordOnRestore, "最小化からの復帰時にもパスワードを使う(&M)"),
               text(item::kTimeZone, "標準時の設定(&T)"),
               check(item::kEmptyTrashAtExit, "終了時にごみ箱を空にする(&G)"),
               check(item::kExternalEditorAlways, "外部ｴﾃﾞｨﾀを使用する(&X)"),
               check(item::kUseAddressBook, "Zorvikのｱﾄﾞﾚｽ帳を使う(&B)"),
               check(item::kRegisterMailClient, "Zorvikを通常使うﾒｰﾙに設定する(&D)")},
              {page("外部ｴﾃﾞｨﾀの設定",
                    {field(ControlKind::File, item::kEditor, "ﾌﾟﾛｸﾞﾗﾑ名(&P)："),
                     check(item::kSeveralEditors, "複数起動を許可する(&2)"),
                     text(item::kEditorCaretOption, "起動ｵﾌﾟｼｮﾝ(&O)："),
                     text(item::kEditorSaveKeys, "保存ｺﾏﾝﾄﾞ(&S)："),
                     check(item::kEditorFindByTitle, "ﾀｲﾄﾙでｴﾃﾞｨﾀのｳｨﾝﾄﾞｳを探す(&F)"),
                     text(item::kEditorTitle, "ｳｨﾝﾄﾞｳのﾀｲﾄﾙ(&T)："),
                     check(item::kEditorTitleFullPath, "ﾀｲﾄﾙにﾌﾙﾊﾟｽを使う(&U)"),
                     number(item::kEditorSaveWait, "ファイルの保存待ち時間(&W)：", "×50ms"),
                     check(item::kEditorCloseAfterSave, "ｳｨﾝﾄﾞｳを閉じてｴﾃﾞｨﾀを終了する(&C)")}),
               page("システムディレクトリ設定",
                    {field(ControlKind::Folder, item::kImportFolder, "外部取り込み(&I)："),
                     field(ControlKind::Folder, item::kExportFolder, "外部書き出し(&X)："),
                     field(ControlKind::Folder, item::kBackupFolder, "ﾊﾞｯｸｱｯﾌﾟ(&B)：")})});
}

SettingsPage displayPage() {
  return page(
      "表示",
      {field(ControlKind::Folder, item::kStoreRoot, "ﾌｫﾙﾀﾞの場所(&D)"),
       text(item::kTopCabinet, "最上位引出名(&T)"),
       field(ControlKind::Font, item::kListFontName, "一覧のﾌｫﾝﾄ(&N)..."),
       colour(item::kListForegroundColour, "一覧の文字色(&L)"),
       colour(item::kListBackgroundColour, "一覧の背景色(&K)"),
       colour(item::kListUnreadColour, "未読ﾒｰﾙの色(&U)"),
       choice(item::kDoubleClickAction, "ﾀﾞﾌﾞﾙｸﾘｯｸで開く(&W)", {"ビューワ", "プロパティ", "エディタ"}),
       check(item::kDropWholeMail, "ﾒｰﾙ全体をﾄﾞﾛｯﾌﾟで渡す(&R)"),
       text(item::kDateFormat, "日付時刻表示形式(&F)"),
       text(item::kThreadTopMark, "ｽﾚｯﾄﾞ表示 先頭記号(&1)"),
       text(item::kThreadIndent, "下段記号(&2)"),
       field(ControlKind::Font, item::kTextFontName, "ﾋﾞｭｱｰのﾌｫﾝﾄ(&V)..."),
       colourList("ﾃｷｽﾄ色(&C)", {{"文字", item::kTextColour},
                                  {"背景", item::kTextBackgroundColour},
                                  {"ヘッダー背景", item::kTextHeaderBackgroundColour},
                                  {"ヘッダータイトル文字", item::kTextHeaderTitleColour},
                                  {"ヘッダータイトル背景", item::kTextTitleColumnColour},
                                  {"ヘッダーテキスト文字", item::kTextHeaderValueColour},
                                  {"引用テキスト", item::kTextQuoteColour},
                                  {"メールアドレスタグ", item::kTextAddressColour},
                                  {"URLアドレスタグ", item::kTextUrlColour},
                                  {"添付ファイルタグ", item::kTextAttachmentColour},
                                  {"LINKタイトル", item::kTextLinkTitleColour},
                                  {"リンク先トレイ", item::kTextLinkTrayColour},
                                  {"リンク先背景", item::kTextLinkBackgroundColour},
                                  {"行マーク背景", item::kTextMarkedLineColour}}),
       field(ControlKind::SwitchedNumber, item::kOpenDelay, "ﾌﾟﾚﾋﾞｭｰで開封済みにする(&O)", "秒", -1),
       field(ControlKind::KeyTable, item::kTreeKeys, "ｷｰ割付...", "ﾂﾘｰ"),
       field(ControlKind::KeyTable, item::kListKeys, "ｷｰ割付...", "一覧"),
       field(ControlKind::KeyTable, item::kTextKeys, "ｷｰ割付...", "ﾋﾞｭｱｰ")},
      {page("引出・ﾄﾚｲの詳細設定",
            {text(item::kNewCabinetName, "新規引出名(&C)："),
             text(item::kNewTrayName, "新規ﾄﾚｲ名(&T)："),
             text(item::kMailServerTray, "ﾒｰﾙｻｰﾊﾞｰ(&M)："),
             text(item::kNewMailTray, "新着受信(&N)："),
             text(item::kTrashTray, "ごみ箱(&G)："),
             text(item::kSearchResultsTray, "検索結果(&F)："),
             text(item::kDraftsTray, "送信原稿(&D)："),
             text(item::kUnsentTray, "未送信(&U)："),
             text(item::kSentTray, "送信済み(&S)："),
             check(item::kMouseRename, "ﾏｳｽ操作で名前の変更を許可する(&E)")}),
       page("ﾋﾞｭｱｰの詳細設定",
            {number(item::kTextLeftMargin, "左余白(&L)：", "dot"),
             number(item::kTextTopMargin, "上余白(&T)：", "dot"),
             number(item::kTextLineSpacing, "行間(&S)：", "dot"),
             number(item::kTextViewWidth, "表示幅(&W)：", "dot"),
             number(item::kTextIconTagHeight, "ｱｲｺﾝ付きﾀｸﾞの高さ(&I)：", "dot"),
             number(item::kTextSeparatorWidth, "区切線の線幅(&R)：", "dot"),
             number(item::kTextSeparatorGap, "区切線までの行間(&H)：", "dot"),
             number(item::kTextTabWidth, "TAB文字数(&B)：", "文字"),
             number(item::kPrintLineCharacters, "印刷時の1行の文字数(&C)：", "文字"),
             number(item::kPrintTopMargin, "印刷時の上余白(&1)：", "dot"),
             number(item::kPrintBottomMargin, "印刷時の下余白(&2)：", "dot"),
             number(item::kPrintLeftMargin, "印刷時の左余白(&3)：", "dot"),
             number(item::kPrintRightMargin, "印刷時の右余白(&4)：", "dot")})});
}

SettingsPage sendPage() {
  return page("送信",
              {text(item::kSenderName, "氏名(&U)"),
               text(item::kOrganization, "会社名(&O)"),
               text(item::kReplyTo, "返信先(&R)"),
               text(item::kSenderAddress, "ﾒｰﾙｱﾄﾞﾚｽ(&J)"),
               choice(item::kComposeFormHeight, "送信ﾀﾞｲｱﾛｸﾞ高さ(&H)", {"標準", "高い", "より高い", "最大"}),
               check(item::kWarnNewRecipient, "住所録に無い宛先に警告する(&W)"),
               check(item::kFirstLineAsSubject, "1行目を件名にする(&1)"),
               check(item::kExpandTextAttachmentsOnSend, "添付ﾃｷｽﾄを展開して送信する(&T)"),
               field(ControlKind::SwitchedNumber, item::kLineWrapWidth, "自動改行する(&L)", "文字", 0),
               check(item::kHalfWidthKanaToFullWidth, "半角ｶﾀｶﾅを全角に変換する(&K)"),
               field(ControlKind::SwitchedNumber, item::kAutoSendDelay, "自動送信する(&A)", "秒後", -1),
               check(item::kTrayNameIsKeyword, "ﾄﾚｲ名をｷｰﾜｰﾄﾞにする(&Y)")},
              {page("署名の設定", {field(ControlKind::Lines, item::kJapaneseSignature, "日本語署名(&J)"),
                                   field(ControlKind::Lines, item::kEnglishSignature, "英語署名(&E)")})});
}

// The editor's key definition, with the ready-made layouts to load.
SettingsField editorKeys() {
  SettingsField result = field(ControlKind::KeyTable, item::kEditorKeys, "制御キー設定(&K)");
  int index = 0;
  for (const KeyPreset& preset : editorKeyPresets()) result.choices.push_back({preset.name, index++, preset.definition});
  return result;
}

SettingsPage editorPage() {
  return page("ｴﾃﾞｨﾀ", {field(ControlKind::Font, item::kEditorFontName, "ﾌｫﾝﾄ(&F)..."),
                        colour(item::kEditorBackgroundColour, "背景(&B)"),
                        colour(item::kEditorTextColour, "入力文字(&I)"),
                        colour(item::kEditorLockedColour, "変更禁止文字(&X)"),
                        colour(item::kEditorTagColour, "タグ文字列(&T)"),
                        editorKeys(),
                        number(item::kEditorColumns, "キー入力時自動折り返し半角桁数(&A)"),
                        number(item::kEditorLeftIndent, "キー入力時行頭インデント半角桁数(&L)"),
                        check(item::kEditorLockLoaded, "引用テキストを保護する(&P)"),
                        check(item::kEditorDropList, "添付ﾌｧｲﾙ用ﾄﾞﾛｯﾌﾟﾘｽﾄを表示(&D)")});
}

SettingsPage serverPage() {
  return page("ｻｰﾊﾞｰ",
              {text(item::kSmtpServer, "送信ｻｰﾊﾞｰ(SMTP)(&S)"),
               text(item::kPopServer, "受信ｻｰﾊﾞｰ(POP)(&P)"),
               text(item::kPopUser, "ﾕｰｻﾞｰ名(&U)"),
               field(ControlKind::Secret, item::kPopPassword, "ﾊﾟｽﾜｰﾄﾞ(&W)"),
               number(item::kSmtpMaxSize, "送信ﾒｰﾙの最大ｻｲｽﾞ(&M)", "KB"),
               number(item::kMaxMailSize, "受信ﾒｰﾙの最大ｻｲｽﾞ(&R)", "KB"),
               number(item::kMaxAttachmentSize, "添付ﾌｧｲﾙの最大ｻｲｽﾞ(&A)", "KB"),
               check(item::kConfirmServerWork, "送受信の前に確認する(&C)"),
               check(item::kDeleteFromServer, "受信したﾒｰﾙをｻｰﾊﾞｰから消去する(&D)"),
               check(item::kDeleteUnread, "未読ﾒｰﾙも消去する(&N)"),
               check(item::kKeepUnsavedOnServer, "添付ﾌｧｲﾙを保存しなかったﾒｰﾙはｻｰﾊﾞｰに残す(&K)")},
              {page("ｻｰﾊﾞｰの詳細設定",
                    {number(item::kSmtpPort, "SMTPﾎﾟｰﾄ番号(&S)："),
                     number(item::kSmtpSendTimeout, "SMTP送信ﾀｲﾑｱｳﾄ(&T)：", "秒"),
                     number(item::kSmtpReceiveTimeout, "SMTP受信ﾀｲﾑｱｳﾄ(&R)：", "秒"),
                     text(item::kSmtpHeloName, "SMTP接続時のﾎｽﾄ名(&H)："),
                     number(item::kPopProtocol, "受信ﾌﾟﾛﾄｺﾙ(&L)："),
                     number(item::kPopPort, "POPﾎﾟｰﾄ番号(&P)："),
                     number(item::kPopSendTimeout, "POP送信ﾀｲﾑｱｳﾄ(&O)：", "秒"),
                     number(item::kPopReceiveTimeout, "POP受信ﾀｲﾑｱｳﾄ(&I)：", "秒"),
                     check(item::kUseApop, "APOPを使用する(&A)"),
                     check(item::kUseUidl, "UIDLを使用する(&U)"),
                     check(item::kPopBeforeSmtp, "POPﾛｸﾞｲﾝ後にSMTPで送信する(&B)"),
                     number(item::kPopBeforeSmtpWait, "POP後SMTPまでの待ち時間(&W)：", "秒")})});
}

SettingsPage receivePage() {
  return page("受信", {field(ControlKind::SwitchedNumber, item::kCheckInterval, "新規ﾒｰﾙが有るか定期的にﾁｪｯｸする(&C)",
                             "秒", 0),
                       check(item::kPopUpOnNewMail, "新着ﾒｰﾙ到着時にﾎﾟｯﾌﾟｱｯﾌﾟする(&P)"),
                       check(item::kExpandTextAttachments, "添付ﾃｷｽﾄを展開して受信する(&T)"),
                       check(item::kAutoSort, "受信ﾒｰﾙを自動振分する(&S)"),
                       check(item::kDoNotSaveAttachments, "添付ﾌｧｲﾙを保存しない(&A)"),
                       check(item::kCreateTraysFromKeywords, "ｷｰﾜｰﾄﾞでﾄﾚｲを自動生成する(&K)")});
}

SettingsPage connectionPage() {
  return page("接続", {field(ControlKind::DialUpEntry, item::kDialUpEntry, "接続先(&R)"),
                       text(item::kDialUpDomain, "NTﾄﾞﾒｲﾝ名(&I)"),
                       text(item::kDialUpUser, "ﾕｰｻﾞｰ名(&N)"),
                       field(ControlKind::Secret, item::kDialUpPassword, "ﾊﾟｽﾜｰﾄﾞ(&W)"),
                       check(item::kDialUpConfirm, "接続を確認するﾀﾞｲｱﾛｸﾞを表示(&V)"),
                       check(item::kDialUpWhileRunning, "Zorvik起動時に接続して終了時に切断する(&S)"),
                       field(ControlKind::InvertedCheck, item::kNoCheckWhileOffline, "RAS切断時も定期的に新着検査をする(&U)")});
}

SettingsPage securityPage() {
  SettingsField fingerprints = field(ControlKind::Lines, item::kTrustedFingerprints, "信頼するｻｰﾊﾞｰ証明書の指紋(&F)");
  fingerprints.action = sjisLiteral("証明書を表示(&V)...");
  return page("ｾｷｭﾘﾃｨ",
              {choice(item::kPopSecurity, "受信の暗号化(&R)", {"なし", "STLS", "SSL/TLS"}),
               choice(item::kSmtpSecurity, "送信の暗号化(&S)", {"なし", "STARTTLS", "SSL/TLS"}),
               check(item::kPopAuthPlain, "POP3のAUTH PLAINを使用する(&P)"),
               choice(item::kSmtpAuthMethod, "SMTP認証(&A)", {"なし", "自動", "PLAIN", "LOGIN", "CRAM-MD5"}),
               text(item::kSmtpUser, "SMTP認証ﾕｰｻﾞｰ名(&U)"),
               field(ControlKind::Secret, item::kSmtpPassword, "SMTP認証ﾊﾟｽﾜｰﾄﾞ(&W)"),
               check(item::kAllowPlainAuthInClear, "暗号化なしの平文認証(PLAIN/LOGIN)を許可する(&L)"),
               fingerprints});
}

SettingsPage pgpPage() {
  return page("PGP", {field(ControlKind::File, item::kPublicKeyRing, "公開鍵束(&P)："),
                      field(ControlKind::File, item::kSecretKeyRing, "秘密鍵束(&S)：")});
}

void collect(const SettingsPage& page, std::vector<int>& ids) {
  for (const SettingsField& f : page.fields) {
    if (f.control == ControlKind::ColourList) {
      for (const FieldChoice& c : f.choices) ids.push_back(c.value);
    } else if (f.control == ControlKind::Font) {
      ids.insert(ids.end(), {f.id, f.id + 1, f.id + 2});
    } else {
      ids.push_back(f.id);
    }
  }
  for (const SettingsPage& detail : page.details) collect(detail, ids);
}

}  // namespace

const std::vector<SettingsPage>& environmentPages() {
  static const std::vector<SettingsPage> pages = {systemPage(),  displayPage(),  sendPage(),       editorPage(),
                                                  serverPage(),  securityPage(), receivePage(),    connectionPage(),
                                                  pgpPage()};
  return pages;
}

std::vector<int> itemsOf(const SettingsPage& page) {
  std::vector<int> ids;
  collect(page, ids);
  return ids;
}

}  // namespace zorvik::view
