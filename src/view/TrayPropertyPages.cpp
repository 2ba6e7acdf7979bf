#include "view/TrayPropertyPages.h"

#include "platform/TextEncoding.h"
#include "store/TrayFlags.h"
#include "store/TrayPropertyTable.h"

namespace zorvik::view {
namespace {

namespace item = store::trayitem;
namespace flag = store::trayflag;
using platform::sjisLiteral;

SettingsField field(ControlKind control, int id, const char* label, const char* unit = "") {
  return {control, id, sjisLiteral(label), {}, sjisLiteral(unit), 0, false, {}};
}
SettingsField text(int id, const char* label) { return field(ControlKind::Text, id, label); }
SettingsField lines(int id, const char* label) { return field(ControlKind::Lines, id, label); }
SettingsField bit(std::uint32_t mask, const char* label, bool readOnly = false) {
  SettingsField result = field(ControlKind::FlagBit, item::kFlags, label);
  result.offValue = static_cast<int>(mask);
  result.readOnly = readOnly;
  return result;
}
SettingsField choice(int id, const char* label, std::initializer_list<const char*> texts) {
  SettingsField result = field(ControlKind::Choice, id, label);
  int value = 0;
  for (const char* t : texts) result.choices.push_back({sjisLiteral(t), value++, {}});
  return result;
}

SettingsPage page(const char* title, std::vector<SettingsField> fields) {
  return {sjisLiteral(title), std::move(fields), {}};
}

}  // namespace

const std::vector<SettingsPage>& trayPropertyPages() {
  static const std::vector<SettingsPage> pages = {
      page("ﾄﾚｲ情報",
           {text(item::kDescription, "説明(&E)"),
            choice(item::kDisplayPeriod, "表示期間(&P)", {"全部", "1ヶ月", "3ヶ月", "半年", "1年", "日数指定"}),
            field(ControlKind::Number, item::kUserDisplayDays, "日数(&Y)", "日"),
            bit(flag::kDeleteTray, "ﾄﾚｲの削除を許可する(&T)"),
            bit(flag::kDeleteMails, "ﾒｰﾙの一括削除を許可する(&M)"),
            bit(flag::kOneFilePerMail, "1ﾒｰﾙ1ﾌｧｲﾙ", true),
            bit(flag::kSystem, "ｼｽﾃﾑ定義(&S)", true),
            bit(flag::kNoSearch, "検索対象から除外する(&N)"),
            field(ControlKind::Folder, item::kBodyFilePlace, "本文ﾌｧｲﾙの場所(&L)")}),
      page("個人情報", {text(item::kFrom, "差出人(&F)"), text(item::kOrganization, "会社名(&O)"),
                        text(item::kReplyTo, "返信先(&R)")}),
      page("受信設定",
           {bit(flag::kAutoSort, "受信ﾒｰﾙを自動的に振分ける(&A)"),
            bit(flag::kSendGroup, "送信ｸﾞﾙｰﾌﾟを受信振分に適用する(&G)"),
            bit(flag::kLeaveLink, "振分時に「新着受信」ﾄﾚｲにﾘﾝｸを残す(&L)"),
            bit(flag::kNoNameKeyword, "ﾄﾚｲ名をｷｰﾜｰﾄﾞにしない(&W)"),
            text(item::kSortKeyword, "ｷｰﾜｰﾄﾞ(&K)"),
            lines(item::kSortExpression, "論理定義(&D)"),
            field(ControlKind::File, item::kSoundFile, "着信音(&S)")}),
      page("送信ｸﾞﾙｰﾌﾟ",
           {lines(item::kSendGroupTo, "To(&T)"),
            bit(flag::kSendToAll, "全員に送付"),
            lines(item::kSendGroupCc, "Cc(&C)"),
            bit(flag::kNoCcAttachments, "添付ファイルを送らない"),
            lines(item::kSendGroupBcc, "Bcc(&B)"),
            bit(flag::kNoBccAttachments, "添付ファイルを送らない"),
            bit(flag::kAddRecipients, "初めての宛先を送信ｸﾞﾙｰﾌﾟに自動追加(&D)")}),
      page("送信設定",
           {bit(flag::kSentAutoSort, "送信ﾒｰﾙを自動的に振分ける(&A)"),
            bit(flag::kSentLink, "送信ﾒｰﾙ振分時に「送信済み」ﾄﾚｲにﾘﾝｸを残す(&L)"),
            bit(flag::kNoKeepSent, "送信ﾒｰﾙを保存しない(&K)"),
            bit(flag::kSplit, "分割ﾒｰﾙ送信(&P)"),
            field(ControlKind::Number, item::kSplitSize, "分割ｻｲｽﾞ(&Z)", "KB"),
            text(item::kNewMailTemplate, "新規ﾃﾝﾌﾟﾚｰﾄ(&N)"),
            text(item::kReplyTemplate, "返信ﾃﾝﾌﾟﾚｰﾄ(&R)"),
            text(item::kForwardTemplate, "転送ﾃﾝﾌﾟﾚｰﾄ(&F)"),
            bit(flag::kReplyTo, "Reply-To:を付ける(&Y)"),
            bit(flag::kOrganization, "Organization:を付ける(&O)"),
            bit(flag::kNoSubjectKeyword, "件名に[ｷｰﾜｰﾄﾞ]を付けない(&J)"),
            choice(item::kTagSelection, "引用記号(&Q)", {"終了記号のみ", "ﾕｰｻﾞ定義", "差出人ｱﾄﾞﾚｽ+終了記号", "差出人名+終了記号"}),
            text(item::kTagEndSymbol, "終了記号(&E)"),
            text(item::kUserTag, "ﾕｰｻﾞ定義(&U)"),
            choice(item::kSignatureKind, "署名(&G)", {"なし", "自動", "日本語", "英語"}),
            field(ControlKind::File, item::kSignatureFile, "署名ﾌｧｲﾙ(&I)")})};
  return pages;
}

}  // namespace zorvik::view
