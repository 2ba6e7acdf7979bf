#include "core/MessageTable.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "core/MessageNumber.h"
#include "platform/TextEncoding.h"

namespace zorvik::core {

namespace {

struct MessageSource {
  int r;
  const char* utf8Text;
};

// Texts exactly as the user sees them, in UTF-8. Half-width katakana (ﾄﾚｲ),
// full-width punctuation, the ideographic space in 40190 and the lone space
// in 40132 are deliberate: users quote these texts and search for them.
// Kept in ascending R; the static_assert below refuses anything else, since
// the lookup is a binary search and would silently miss a misplaced entry.
constexpr MessageSource kMessages[] = {
  {40121, "引出「%s」の中のすべてのトレイのリンクを消去しますか"},
  {40122, "トレイ「%s」とトレイの中のメールを消去してもよいですか。"},
  {40123, "トレイ「%s」の中のメールをすべて消去してもよいですか。"},
  {40124, "引出「%s」を消去してもよいですか。"},
  {40126, "振分先トレイの設定により「%s」にリンクは残りません。\nトレイ「%s」に振分けてもよいですか。"},
  {40127, "ﾄﾚｲ「%s」の中のすべてのﾒｰﾙを「%s」に変更してもよいですか。"},
  {40128, "引出「%s」の中のすべてのﾒｰﾙを「%s」に変更してもよいですか。"},
  {40129, "相手先アドレス「%s」は\nトレイ「%s」の送信グループに含まれていない\n初めてのメールアドレスです。本当に送信しますか。"},
  {40131, "振り分け先トレイが見つかりません。"},
  {40132, "メールが属するトレイ「%s」 が見つかりません。"},
  {40133, "メール本文にファイルは含まれていません"},
  {40134, "UUENCODE: メールが途切れています。\nファイルの途中までが取り出されます。"},
  {40135, "BASE64: メールが途切れています。\nファイルの途中までが取り出されます。"},
  {40150, "検索文字列が設定されていません。"},
  {40160, "使用している同じトレイツリーにはバックアップはできません。"},
  {40161, "マージ元の引出 %s がありません。"},
  {40162, "マージ元のトレイ %s がありません。"},
  {40185, "メールサーバ送受信\n現在サーバと通信中です。"},
  {40186, "設定ファイル「%s」が作れません。"},
  {40190, "個別設定ファイル「%s」\n「%d」行 :　「%s」のエラーです。\n「%s」"},
  {40201, "変更する名前が設定されていません。"},
  {40202, "引出名「%s」の名前が変更できません。\n権限があるかどうか確認してください。"},
  {40203, "トレイ名「%s」の名前が変更できません。\n権限があるかどうか確認してください。"},
  {40204, "引出名、トレイ名に「%s」の文字は使えません。"},
  {40210, "「%s」の下に新規引出しは作成できません。"},
  {40211, "「%s」下に新しい引出しの作成ができません。\n権限があるかどうか確認してください。"},
  {40212, "「%s」の下には新規トレイが作成できません。\n引出の下にしかトレイは作れません"},
  // Failure to create a new tray, worded like its cabinet counterpart 40211.
  {40213, "「%s」下に新しいトレイの作成ができません。\n権限があるかどうか確認してください。"},
  {40220, "「%s」の消去はできません。"},
  {40221, "トレイ「%s」が削除できません。\n権限があるかどうか確認してください。"},
  {40222, "トレイ「%s」内のメールが削除できません。\n権限があるかどうか確認してください。"},
  {40223, "メール一括削除が設定されていません。"},
  {40224, "引出し「%s」は削除できません。\nトレイを含む引出は削除できません。"},
  {40226, "引出し「%s」は削除できません。\n引出を含む引出は削除できません。"},
  {40230, "「%s」の名前の変更はできません。"},
  {40240, "「%s」が移動できませんでした。\n同じ名前があると移動できません。"},
  {40251, "すいません。メール以外のリンクはまだ実装されていません。"},
  {40253, "すいません。リンク参照メールの多重リンクはまだ実装されていません。"},
  {40264, "すいません。メール以外の複数選択移動はまだ実装されていません。"},
  {40290, "TreeViewキーマクロ異常です。"},
  {40301, "変更する名前が設定されていません。"},
  {40302, "引出名「%s」の名前が変更できません。\n権限があるかどうか確認してください。"},
  {40303, "トレイ名「%s」の名前が変更できません。\n権限があるかどうか確認してください。"},
  {40331, "「%s」の名前の変更はできません。"},
  {40351, "すいません。リンク参照メールのドロップはまだ実装されていません。"},
  {40390, "ListViewキーマクロ異常です。"},
  {40410, "パスもしくはファイルが見つかりません。\nタグ「%s」が間違っています。"},
  {40411, "対応するアプリケーションがインストールされていません。"},
  {40490, "TextViewキーマクロ異常です。"},
  {40501, "送信メッセージが設定されていません。"},
  {40502, "宛先が設定されていません。"},
  {40503, "件名が設定されていません。"},
  {40504, "自アドレスが設定されていません。"},
  {40505, "送信先で正しく表示されない文字が %d 文字あります（%d 行目の「%s」など）。\nこのまま送信しますか。"},
  {40540, "正しいテンプレートが選択されていません。"},
  {40599, "送信メッセージファイル「%s」の保存をシステムが許可しませんでした。"},
  {40610, "引出し「%s」の下のすべてのトレイ・プロパティを変更しますか"},
  {40611, "選択されたすべてのトレイ・プロパティを変更しますか"},
  {40630, "試験対象となるメールが選択されていません。"},
  {40680, "変換するファイルが選択されていません。"},
  {40681, "変換するファイル名「%s」が間違っています。"},
  {40682, "ファイル「%s」のコピーをシステムが許可しませんでした。"},
  {40683, "ファイル「%s」の変換をシステムが許可しませんでした。"},
  {40684, "AL-Mail(16)ファイル「%s」の変換をシステムが許可しませんでした。"},
  {40685, "すいません。AL-Mail(32)からの取込みはまだ実装されていません。"},
  {40686, "すいません。NetScape Mailからの取込みはまだ実装されていません。"},
  {40687, "すいません。電信8号からの取込みはまだ実装されていません。"},
  {40688, "既にトレイ内にメールが存在します。\nすべて消去してもいいですか"},
  {40689, "メーラの種類が選択されていません。"},
  {40690, "MIME変換に失敗しました。"},
  {40700, "すいません。MS Exchangeからの取込みはまだ実装されていません。"},
  {40711, "添付ファイル「%s」に\nセキュリティ上好ましくないタグが発見されました。\nこのまま開くとシステムを破壊する危険性があります。\nそれでもあなたは処理を続行しますか？"},
  {40731, "検索を中断しました"},
  {40732, "検索は継続できません\n最初から検索してください"},
  {40800, "設定ファイル「%s」が間違っています\n設定ファイルを標準で作り直しますか？\n（現在の設定ファイルは.BAKで保存されます）"},
  {40801, "フォルダ「%s」にメール動作環境が構築されていません\nデフォルトでディレクトリとシステムトレイを作りますか"},
  {40802, "フォルダ「%s」には，システムトレイが作れません。"},
  {40803, "フォルダ「%s」のシステムトレイが破壊されています。\n環境修復を試みましたがシステムトレイを作ることができませんでした。\n管理者に連絡してください。"},
  {40804, "環境設定ファイル「%s」に書き込めません。"},
  {40806, "デスクトップへショートカットを作成できませんでした。"},
  {40900, "ダイアルアップ接続時にエラーが発生しました。\nダイアルアップ接続がインストールされていません。"},
  {40922, "ダイアルアップ接続時にエラーが発生しました。\n接続の設定が間違っています。"},
  {40923, "RASを回線を切断しました"},
  {40924, "ダイアルアップ接続時にエラーが発生しました。\n接続先が見つかりません。"},
  {41001, "SMTPサーバに接続できません。"},
  {41002, "SMTPサーバに接続できません。\n「%s」"},
  {41003, "SMTPサーバに接続できません。\n「%s」"},
  {41004, "「%s」\n宛先メールアドレスが間違っています。\n「%s」"},
  {41005, "宛先が指定されていません。"},
  {41006, "SMTPサーバに接続できません。"},
  {41007, "一時ファイル「%s」が開けません。"},
  {41008, "メール送信手続き時に通信エラーが起こりました。\n「%s」"},
  {41009, "メール本文送信時に通信エラーが起こりました。\n「%s」"},
  {41010, "メール送信途中でサーバから異常な応答がありました。\n「%s」"},
  {41011, "メール送信途中に通信回線が切れました。"},
  {41012, "メール送信中データ部分でエラーが発生しました。\n「%s」"},
  {41013, "メール送信時の終了時にエラーが発生しました。\n「%s」"},
  {41014, "ソケットの生成に失敗しました。（システムエラー）"},
  {41015, "メール送信(SMTP)データ送信エラー。"},
  {41016, "サーバから切断されました"},
  // Secure connections and SMTP authentication.
  {41017, "SMTPサーバが暗号化(STARTTLS)に対応していません。\nパスワードもメールも送信していません。\n「%s」"},
  {41018, "SMTP:ユーザ認証が拒否されました\n「%s」"},
  {41019, "SMTPサーバには使える認証方式がありません。\nサーバの認証方式「%s」"},
  {41020, "暗号化されていない接続ではパスワードをそのまま送る認証(%s)は使いません。\n送信の暗号化を設定するか，平文認証を許可してください。"},
  {41050, "メール一覧表取得時にエラーが発生しました。\n「%s」"},
  {41051, "メール受信(POP3)にてデータ通信エラーが発生しました。"},
  {41052, "メール受信(POP3)にて，データを受信できなくなりました。"},
  {41053, "POP3サーバが APOPプロトコルに対応していません。"},
  {41054, "POPサーバに接続できません\n「%s」"},
  {41055, "メール受信ユーザ名の通信中にエラーが発生しました。\n「%s」"},
  {41056, "POP3:ユーザ認証が拒否されました\n「%s」"},
  {41057, "メール受信パスワードの通信中にエラーが発生しました。"},
  {41058, "APOP:ユーザ認証が拒否されました\n「%s」"},
  {41059, "APOPの認証時にエラーが発生しました。"},
  {41060, "メール受信の状態取得時にエラーが発生しました。\n「%s」"},
  {41061, "メールのヘッダーのみ受信時にエラーが発生しました。\n「%s」"},
  {41062, "メール識別子(UIDL)受信時にエラーが発生しました。\n「%s」"},
  {41063, "メール1通全部を受信時(RETR)にエラーが発生しました。\n「%s」"},
  {41064, "メール消去時にエラーが発生しました。\n「%s」"},
  {41066, "メール受信時(POP3)に，コマンドが送信できません。"},
  {41067, "ソケットが生成できません。(システムエラー)"},
  {41068, "POPサーバに接続できません。"},
  {41069, "メール受信時にエラーが発生しました。"},
  {41070, "メール消去時にエラーが発生しました。"},
  {41071, "メモリ不足のためメールの受信ができません。\n他のアプリケーションを終了させて下さい。"},
  {41072, "POPサーバが暗号化(STLS)に対応していません。\nパスワードは送信していません。\n「%s」"},
  {41073, "AUTH PLAIN:ユーザ認証が拒否されました\n「%s」"},
  {41074, "AUTH PLAINの認証時にエラーが発生しました。"},
  {41100, "添付ファイル「%s」を開けません。\nこのメールは送信されませんでした。"},
  {41101, "一時ファイル「%s」が生成できません。"},
  {41110, "添付ファイル「%s」を展開できません。"},
  {41111, "添付ファイル用一時ファイルを生成できません。"},
  {41124, "メモリが不足しています。処理を中断します。"},
  {41125, "ディスク空き領域が不足しています。処理を中断します。"},
  {41126, "ディレクトリの作成に失敗しました。処理を中断します。"},
  {41130, "サーバ「%s」と暗号化通信(TLS)を開始できません。\n%s"},
  {41131, "サーバ「%s」の証明書を確認できません。\n%s\n証明書の指紋(SHA-256)：\n%s\n信頼できる証明書であることを確かめたうえで，この指紋を設定「信頼するサーバ証明書の指紋」に登録すると接続できます。"},
  {42680, "トレイ「%s」にて，参照が15を超えてるためリンクができません。"},
  {43001, "ログファイルを開けません。"},
  {43002, "添付ファイルフォルダを指定してください。\n添付ファイルは変換されません。"},
  {43003, "添付ファイル「%s」をコピーできません。"},
  {43009, "メール受信(POP3)にてエラーが発生しました。\n"},
  {43011, "POP3 送信タイムアウトです。"},
  {43012, "POP3[%d]受信タイムアウトです。"},
  {43013, "「%s」 (「%s」KB)\n最大送信メールサイズを超えています。このメールを送信しますか？"},
  {43014, "メール送信エラー終了。"},
  {43015, "SMTP 送信タイムアウトです。"},
  {43016, "SMTP 受信タイムアウトです。"},
  {43018, "OLE の初期化に失敗しました。OLE ﾗｲﾌﾞﾗﾘが正しいﾊﾞｰｼﾞｮﾝのものか確認してください。"},
  {43019, "Windows ｿｹｯﾄの初期化に失敗しました。"},
  {43020, "ﾜﾝﾎﾟｲﾝﾄ ﾌｧｲﾙの読み込み中にｴﾗｰが発生しました。"},
  {43022, "メールアドレスに＠が含まれてません。"},
  {43023, "メールアドレスにドメイン名がありません。"},
  {43030, "メール受信中のため、しばらくお待ちください。"},
  {43040, "ディスクの空き領域が不足しています。メールは受信しませんでした。"},
  {44000, "検索処理中です"},
  {44101, "ディスク容量不足のため，これ以上処理できません。\n不要なファイルを消去して「続行」するか，\n「強制終了」にてZorvikを終了させてください"},
  {44110, "前回の受信時にディスク容量が不足したので，\n作業用ファイルに新着メールが残っています\n不要なファイルを消去してから再度起動してください。"},
  {44111, "前回の受信時にディスク容量が不足したので，\n作業用ファイルに新着メールが残っています\n「はい」＝新着トレイに移動。\n「いいえ」＝作業ファイルに残っているメールを消去してしまう。"},
  {44112, "作業ファイルから新着トレイへ正常に移動できませんでした。\n不要なファイルを消去してから再度実行してください。\n何度やっても駄目な場合は作業ファイルが破壊されいるので，\n次回起動時に「いいえ」を選んで作業ファイルを消去してください。"},
  {44200, "設定ファイル「%s」が見つかりません。"},
  {44201, "設定ファイル「%s」を読み込めません。\nZorvikの設定ファイルでないか、壊れています。"},
  {44202, "このメール環境では別の処理（%s）が実行中です。\n終わってからもう一度実行してください。"},
  {44203, "前回の受信が途中で終わったため、作業用ファイル「%s」に受信済みのメールが残っていますが、新着トレイに移動できませんでした。\n起動時の環境チェック（zorvik-cli check）で移動してから、もう一度実行してください。"},
  {44204, "作業用ファイルのメールを「%s」として残しました。\n後で新着トレイに移すには、このファイルの名前を「%s」に戻してから起動し直してください。"},
  {44205, "フォルダ「%s」にメール環境がないか、書き込めません。"},
  {44206, "POPサーバ「%s」（ポート%s）から応答がありません。\n接続はできましたが、%s秒待っても最初の応答が届きませんでした。"},
  {44207, "設定ファイル「%s」はすでにあります。\n設定を初めから作り直しますか？\n（今の設定ファイルは.BAKとして残り、メールはそのまま残ります）"},
  {44208, "設定項目 %s「%s」には「%s」を設定できません。\n%sを指定してください。"},
  {44209, "「%s」という名前の引出またはトレイはすでにあります。"},
  {44210, "トレイ「%s」がありません。"},
  {44211, "トレイ「%s」に番号 %s のメールはありません。"},
  {44220, "ダイアルアップ中にエラーが起こりました。\n接続先「%s」：%s"},
  {44221, "ファイル「%s」は%sのメールボックスではないか、途中が壊れています。\n読めたところまでのメールを取り込みました。"},
  {44222, "トレイ「%s」のインデックスを再生成できませんでした。\n権限があるかどうか確認してください。"},
};

constexpr int kFirstNumber = 40000;
constexpr int kLastNumber = 44999;

constexpr bool numbersAscendInRange() {
  for (std::size_t i = 0; i < std::size(kMessages); ++i) {
    if (kMessages[i].r < kFirstNumber || kMessages[i].r > kLastNumber) return false;
    if (i > 0 && kMessages[i - 1].r >= kMessages[i].r) return false;
  }
  return true;
}

static_assert(numbersAscendInRange(),
              "message numbers must lie in 40000-44999, ascending and without duplicates");

// Whether R is one of the names in MessageNumber. The switch has no default
// and leaving out a name is an error here, so every name must be listed.
#pragma GCC diagnostic push
#pragma GCC diagnostic error "-Wswitch"
constexpr bool isNamed(int r) {
  switch (static_cast<MessageNumber>(r)) {
    case MessageNumber::ClearCabinetLinks:
    case MessageNumber::DeleteTrayAndMails:
    case MessageNumber::DeleteAllMails:
    case MessageNumber::DeleteCabinet:
    case MessageNumber::SortWithoutLink:
    case MessageNumber::ChangeTrayReadState:
    case MessageNumber::ChangeCabinetReadState:
    case MessageNumber::FirstTimeRecipient:
    case MessageNumber::SortTrayNotFound:
    case MessageNumber::MailTrayNotFound:
    case MessageNumber::NoAttachmentInBody:
    case MessageNumber::UuencodeTruncated:
    case MessageNumber::Base64Truncated:
    case MessageNumber::NoSearchText:
    case MessageNumber::BackupIntoOwnTree:
    case MessageNumber::NoSourceCabinet:
    case MessageNumber::NoSourceTray:
    case MessageNumber::ServerCommandRunning:
    case MessageNumber::SettingsFileNotCreated:
    case MessageNumber::SettingsFileLineError:
    case MessageNumber::TreeNameEmpty:
    case MessageNumber::TreeCabinetRenameFailed:
    case MessageNumber::TreeTrayRenameFailed:
    case MessageNumber::ForbiddenNameCharacter:
    case MessageNumber::NoCabinetBelow:
    case MessageNumber::CabinetCreateFailed:
    case MessageNumber::NoTrayBelow:
    case MessageNumber::TrayCreateFailed:
    case MessageNumber::NotDeletable:
    case MessageNumber::TrayDeleteFailed:
    case MessageNumber::MailsDeleteFailed:
    case MessageNumber::NoBulkDelete:
    case MessageNumber::CabinetHoldsTrays:
    case MessageNumber::CabinetHoldsCabinets:
    case MessageNumber::TreeNotRenamable:
    case MessageNumber::TreeMoveFailed:
    case MessageNumber::LinkOfNonMailUnsupported:
    case MessageNumber::MultipleLinkUnsupported:
    case MessageNumber::MultipleMoveOfNonMailUnsupported:
    case MessageNumber::TreeKeyMacroFault:
    case MessageNumber::ListNameEmpty:
    case MessageNumber::ListCabinetRenameFailed:
    case MessageNumber::ListTrayRenameFailed:
    case MessageNumber::ListNotRenamable:
    case MessageNumber::LinkedMailDropUnsupported:
    case MessageNumber::ListKeyMacroFault:
    case MessageNumber::TagPathNotFound:
    case MessageNumber::NoApplication:
    case MessageNumber::TextKeyMacroFault:
    case MessageNumber::NoMailText:
    case MessageNumber::NoRecipient:
    case MessageNumber::NoSubject:
    case MessageNumber::NoOwnAddress:
    case MessageNumber::CharactersNotArriving:
    case MessageNumber::NoTemplate:
    case MessageNumber::DraftNotStored:
    case MessageNumber::ChangeCabinetTrayProperties:
    case MessageNumber::ChangeSelectedTrayProperties:
    case MessageNumber::NoMailToTest:
    case MessageNumber::NoImportFile:
    case MessageNumber::BadImportFileName:
    case MessageNumber::ImportCopyRefused:
    case MessageNumber::ImportConversionRefused:
    case MessageNumber::AlMail16ConversionRefused:
    case MessageNumber::AlMail32Unsupported:
    case MessageNumber::NetscapeMailUnsupported:
    case MessageNumber::Denshin8Unsupported:
    case MessageNumber::ClearTrayBeforeImport:
    case MessageNumber::NoMailerKind:
    case MessageNumber::MimeConversionFailed:
    case MessageNumber::ExchangeUnsupported:
    case MessageNumber::DangerousAttachmentTag:
    case MessageNumber::SearchInterrupted:
    case MessageNumber::SearchCannotContinue:
    case MessageNumber::RewriteSettings:
    case MessageNumber::BuildStore:
    case MessageNumber::StoreNotBuilt:
    case MessageNumber::SystemTraysBroken:
    case MessageNumber::SettingsNotWritten:
    case MessageNumber::NoDesktopShortcut:
    case MessageNumber::DialUpNotInstalled:
    case MessageNumber::DialUpBadSettings:
    case MessageNumber::DialUpHungUp:
    case MessageNumber::DialUpEntryNotFound:
    case MessageNumber::SmtpNotConnected:
    case MessageNumber::SmtpGreetingRefused:
    case MessageNumber::SmtpHeloRefused:
    case MessageNumber::BadAddress:
    case MessageNumber::NoRecipients:
    case MessageNumber::SmtpConnectFailed:
    case MessageNumber::TemporaryFileNotOpened:
    case MessageNumber::SmtpMailRefused:
    case MessageNumber::SmtpDataRefused:
    case MessageNumber::SmtpUnexpectedReply:
    case MessageNumber::SmtpConnectionLost:
    case MessageNumber::SmtpMailBodyRefused:
    case MessageNumber::SmtpQuitFailed:
    case MessageNumber::SmtpNoSocket:
    case MessageNumber::SmtpWriteFailed:
    case MessageNumber::SmtpDisconnected:
    case MessageNumber::SmtpNoStartTls:
    case MessageNumber::SmtpAuthRefused:
    case MessageNumber::SmtpNoAuthMechanism:
    case MessageNumber::SmtpPlainAuthInClear:
    case MessageNumber::PopListFailed:
    case MessageNumber::PopReceiveError:
    case MessageNumber::PopConnectionGone:
    case MessageNumber::PopNoApop:
    case MessageNumber::PopBadGreeting:
    case MessageNumber::PopUserFailed:
    case MessageNumber::PopPassRefused:
    case MessageNumber::PopPassFailed:
    case MessageNumber::PopApopRefused:
    case MessageNumber::PopApopFailed:
    case MessageNumber::PopStatFailed:
    case MessageNumber::PopTopFailed:
    case MessageNumber::PopUidlFailed:
    case MessageNumber::PopRetrFailed:
    case MessageNumber::PopDeleFailed:
    case MessageNumber::PopSendError:
    case MessageNumber::PopNoSocket:
    case MessageNumber::PopCannotConnect:
    case MessageNumber::PopFetchRefused:
    case MessageNumber::PopDeleteRefused:
    case MessageNumber::PopOutOfMemory:
    case MessageNumber::PopNoStls:
    case MessageNumber::PopAuthPlainRefused:
    case MessageNumber::PopAuthPlainFailed:
    case MessageNumber::AttachmentNotOpened:
    case MessageNumber::TemporaryFileNotCreated:
    case MessageNumber::AttachmentNotExtracted:
    case MessageNumber::AttachmentTemporaryFileNotCreated:
    case MessageNumber::OutOfMemory:
    case MessageNumber::DiskFull:
    case MessageNumber::DirectoryNotCreated:
    case MessageNumber::TlsFailed:
    case MessageNumber::TlsCertificateRefused:
    case MessageNumber::TooManyLinks:
    case MessageNumber::LogNotOpened:
    case MessageNumber::NoAttachmentFolder:
    case MessageNumber::AttachmentNotCopied:
    case MessageNumber::PopError:
    case MessageNumber::PopSendTimeout:
    case MessageNumber::PopReceiveTimeout:
    case MessageNumber::MailTooLarge:
    case MessageNumber::SendFailed:
    case MessageNumber::SmtpSendTimeout:
    case MessageNumber::SmtpReceiveTimeout:
    case MessageNumber::OleInitFailed:
    case MessageNumber::SocketInitFailed:
    case MessageNumber::OnePointFileError:
    case MessageNumber::AddressWithoutAt:
    case MessageNumber::AddressWithoutDomain:
    case MessageNumber::ReceiveRunning:
    case MessageNumber::ReceiveDiskFull:
    case MessageNumber::SearchRunning:
    case MessageNumber::LowDiskSpace:
    case MessageNumber::WorkFileLeft:
    case MessageNumber::RecoverWorkFile:
    case MessageNumber::WorkFileNotMoved:
    case MessageNumber::NoSettingsFile:
    case MessageNumber::UnreadableSettingsFile:
    case MessageNumber::OtherWorkRunning:
    case MessageNumber::LeftoverNotMoved:
    case MessageNumber::WorkFileSetAside:
    case MessageNumber::NoStore:
    case MessageNumber::PopNoGreeting:
    case MessageNumber::RebuildExistingSettings:
    case MessageNumber::BadItemValue:
    case MessageNumber::NameTaken:
    case MessageNumber::NoSuchTray:
    case MessageNumber::NoSuchMail:
    case MessageNumber::DialUpFailed:
    case MessageNumber::NotAMailbox:
    case MessageNumber::TrayRebuildFailed:
      return true;
  }
  return false;
}
#pragma GCC diagnostic pop

// Every name has a text and every text a name: one walk over 40000-44999
// beside the ascending table.
constexpr bool namesMatchTexts() {
  std::size_t row = 0;
  for (int r = kFirstNumber; r <= kLastNumber; ++r) {
    const bool hasText = row < std::size(kMessages) && kMessages[row].r == r;
    if (hasText) ++row;
    if (hasText != isNamed(r)) return false;
  }
  return true;
}

static_assert(namesMatchTexts(), "every MessageNumber needs a text in kMessages, and every text a name");

struct Message {
  int r;
  std::string text;
};

// Converted once, on first use; the function-local static makes the first use
// safe from any thread (reception and sorting workers report messages too).
// The vector keeps the order of kMessages, so it stays searchable and the
// strings never move after the conversion: callers may keep the pointer.
const std::vector<Message>& sjisMessages() {
  static const std::vector<Message> messages = [] {
    std::vector<Message> converted;
    converted.reserve(std::size(kMessages));
    for (const MessageSource& source : kMessages) {
      converted.push_back({source.r, platform::utf8ToSjis(source.utf8Text)});
    }
    return converted;
  }();
  return messages;
}

}  // namespace

const std::string* messageText(int r) {
  const std::vector<Message>& messages = sjisMessages();
  const auto found = std::lower_bound(messages.begin(), messages.end(), r,
                    [](const Message& m, int wanted) { return m.r < wanted; });
  if (found == messages.end() || found->r != r) return nullptr;
  return &found->text;
}

}  // namespace zorvik::core
