#include "store/TrayPropertyTable.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstdio>

namespace zorvik::store {
namespace {

using StringMember = std::string TrayProperties::*;
using NumberMember = std::int32_t TrayProperties::*;

struct StringItem {
  int id;
  StringMember member;
};
struct NumberItem {
  int id;
  NumberMember member;
};

// Text items: string and multi-line alike, the table knows which is which.
constexpr StringItem kStringItems[] = {
    {trayitem::kDescription, &TrayProperties::description},
    {trayitem::kBodyFilePlace, &TrayProperties::bodyFilePlace},
    {trayitem::kSortKeyword, &TrayProperties::sortKeyword},
    {trayitem::kSortExpression, &TrayProperties::sortExpression},
    {trayitem::kSendGroupTo, &TrayProperties::sendGroupTo},
    {trayitem::kSendGroupCc, &TrayProperties::sendGroupCc},
    {trayitem::kSendGroupBcc, &TrayProperties::sendGroupBcc},
    {trayitem::kNewMailTemplate, &TrayProperties::newMailTemplate},
    {trayitem::kReplyTemplate, &TrayProperties::replyTemplate},
    {trayitem::kForwardTemplate, &TrayProperties::forwardTemplate},
    {trayitem::kTagEndSymbol, &TrayProperties::tagEndSymbol},
    {trayitem::kUserTag, &TrayProperties::userTag},
    {trayitem::kSoundFile, &TrayProperties::soundFile},
    {trayitem::kFrom, &TrayProperties::from},
    {trayitem::kOrganization, &TrayProperties::organization},
    {trayitem::kReplyTo, &TrayProperties::replyTo},
    {trayitem::kSignatureFile, &TrayProperties::signatureFile},
};

// Number items with a member of their own (flags and the sort word aside).
constexpr NumberItem kNumberItems[] = {
    {trayitem::kSignatureKind, &TrayProperties::signatureKind},
    {trayitem::kTagSelection, &TrayProperties::tagSelection},
    {trayitem::kDisplayPeriod, &TrayProperties::displayPeriod},
    {trayitem::kUserDisplayDays, &TrayProperties::userDisplayDays},
    {trayitem::kSplitSize, &TrayProperties::splitSizeKb},
};

bool isPropertyId(int id) { return id >= trayitem::kFirstProperty && id <= trayitem::kLastProperty; }

// A whole number in `text`: optional blanks and sign, then digits in `base`
// and nothing else. Command-line values must be numbers, not "about" numbers.
std::optional<long long> wholeNumber(std::string_view text, int base) {
  const std::string copy(text);
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(copy.c_str(), &end, base);
  if (end == copy.c_str() || *end != '\0' || errno == ERANGE) return std::nullopt;
  return value;
}

}  // namespace

const core::ItemTable& trayPropertyTable() {
  using K = core::ItemKind;
  static constexpr core::ItemRowSource kRows[] = {
      {1000, K::Integer, "0", "-------------トレイの種類(0=トレイ/1=引出)-------------"},
      {1001, K::String, "", "トレイパス名"},
      {1002, K::Colour, "0000CE34", "フラッグ"},
      {1003, K::String, "", "説明"},
      {1004, K::String, "", "本文ファイルの場所"},
      {1005, K::String, "", "受信振分:キーワード"},
      {1006, K::MultiLine, "", "受信振分:論理定義"},
      {1007, K::MultiLine, "", "送信グループTo:"},
      {1008, K::MultiLine, "", "送信グループCc:"},
      {1009, K::MultiLine, "", "送信グループBcc:"},
      {1010, K::Integer, "1", "署名の種類(0=なし:1=自動:2=日:3=英"},
      {1011, K::String, "標準", "送信テンプレート新規"},
      {1012, K::String, "標準", "送信テンプレート返信"},
      {1013, K::String, "標準", "送信テンプレート転送"},
      {1014, K::Integer, "2", "タグ文字列選択"},
      {1015, K::String, ">", "タグ終了記号文字"},
      {1016, K::String, "", "ユーザ定義タグ"},
      {1017, K::Integer, "0", "メール表示期間"},
      {1018, K::Integer, "10", "ユーザ設定表示日数"},
      {1019, K::String, "0x10", "着信音WAVファイル名"},
      {1020, K::Integer, "64", "分割メール送信 分割サイズ(KBytes)"},
      {1021, K::Integer, "1", "ソート方向:0=昇順(下) 1=降順(上)"},
      {1022, K::Integer, "4", "ソート項目番号=0=Def:1..5=項目 7=スレッド"},
      {1023, K::String, "", "From:名前＋メールアドレス"},
      {1024, K::String, "", "Organization:会社名"},
      {1025, K::String, "", "ReplyTo:に設定するアドレス"},
      {1026, K::String, "", "署名ファイル名"},
      {9999, K::End, "", "終了"},
  };
  static const core::ItemTable table(kRows);
  return table;
}

TrayProperties defaultTrayProperties() {
  const core::ItemValues defaults(trayPropertyTable());
  return propertiesFromValues(defaults);
}

void propertiesToValues(const TrayProperties& properties, core::ItemValues& values) {
  values.setNumber(trayitem::kFlags, static_cast<std::int32_t>(properties.flags));
  values.setNumber(trayitem::kSortDirection, properties.sortDirection());
  values.setNumber(trayitem::kSortColumn, properties.sortColumn());
  for (const NumberItem& item : kNumberItems) values.setNumber(item.id, properties.*item.member);
  for (const StringItem& item : kStringItems) values.setText(item.id, properties.*item.member);
}

TrayProperties propertiesFromValues(const core::ItemValues& values) {
  TrayProperties properties;
  properties.flags = static_cast<std::uint32_t>(values.number(trayitem::kFlags));
  properties.setSort(values.number(trayitem::kSortDirection), values.number(trayitem::kSortColumn));
  for (const NumberItem& item : kNumberItems) properties.*item.member = values.number(item.id);
  for (const StringItem& item : kStringItems) properties.*item.member = values.text(item.id);
  return properties;
}

std::optional<std::string> propertyText(const TrayProperties& properties, int id) {
  if (!isPropertyId(id)) return std::nullopt;
  core::ItemValues values(trayPropertyTable());
  propertiesToValues(properties, values);
  if (id == trayitem::kFlags) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(properties.flags));
    return hex;
  }
  const auto row = trayPropertyTable().indexOf(id);
  if (core::isNumericKind(trayPropertyTable().rows()[*row].kind)) return std::to_string(values.number(id));
  return values.text(id);
}

bool setPropertyText(TrayProperties& properties, int id, std::string_view text) {
  if (!isPropertyId(id)) return false;
  core::ItemValues values(trayPropertyTable());
  propertiesToValues(properties, values);
  const auto row = trayPropertyTable().indexOf(id);
  const core::ItemKind kind = trayPropertyTable().rows()[*row].kind;
  if (kind == core::ItemKind::Colour) {
    // The flags are a bit pattern: "0x" in front is accepted, a sign is not.
    if (text.starts_with("0x") || text.starts_with("0X")) text.remove_prefix(2);
    const auto number = wholeNumber(text, 16);
    if (!number || text.empty() || text.front() == '-' || text.front() == '+' || *number > 0xFFFFFFFFLL)
      return false;
    values.setNumber(id, static_cast<std::int32_t>(static_cast<std::uint32_t>(*number)));
  } else if (core::isNumericKind(kind)) {
    const auto number = wholeNumber(text, 10);
    if (!number || *number > INT32_MAX || *number < INT32_MIN) return false;
    values.setNumber(id, static_cast<std::int32_t>(*number));
  } else {
    values.setText(id, text);
  }
  properties = propertiesFromValues(values);
  return true;
}

}  // namespace zorvik::store
