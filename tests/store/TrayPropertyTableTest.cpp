#include <gtest/gtest.h>

#include "core/SettingsItemTable.h"
#include "platform/TextEncoding.h"
#include "store/SystemTrays.h"
#include "store/TrayPropertyTable.h"

namespace zorvik::store {
namespace {

TEST(TrayPropertyTable, HasTheTwentyEightRowsInOrder) {
  const auto& rows = trayPropertyTable().rows();
  ASSERT_EQ(rows.size(), 28u);
  for (int i = 0; i < 27; ++i) EXPECT_EQ(rows[static_cast<std::size_t>(i)].id, 1000 + i);
  EXPECT_EQ(rows.back().id, 9999);
  EXPECT_EQ(rows[2].kind, core::ItemKind::Colour);
  EXPECT_EQ(rows[6].kind, core::ItemKind::MultiLine);
  EXPECT_EQ(rows[9].kind, core::ItemKind::MultiLine);
  EXPECT_EQ(rows[10].kind, core::ItemKind::Integer);
}

TEST(TrayPropertyTable, DefaultsAreThoseOfAnOrdinaryNewTray) {
  const TrayProperties defaults = defaultTrayProperties();
  EXPECT_EQ(defaults.flags, 0x0000CE34u);
  EXPECT_EQ(defaults.sortDirection(), 1);
  EXPECT_EQ(defaults.sortColumn(), 4);
  EXPECT_EQ(defaults.signatureKind, 1);
  EXPECT_EQ(defaults.newMailTemplate, platform::utf8ToSjis("標準"));
  EXPECT_EQ(defaults.replyTemplate, platform::utf8ToSjis("標準"));
  EXPECT_EQ(defaults.forwardTemplate, platform::utf8ToSjis("標準"));
  EXPECT_EQ(defaults.tagSelection, 2);
  EXPECT_EQ(defaults.tagEndSymbol, ">");
  EXPECT_EQ(defaults.userDisplayDays, 10);
  EXPECT_EQ(defaults.soundFile, "0x10");
  EXPECT_EQ(defaults.splitSizeKb, 64);
  EXPECT_TRUE(defaults.description.empty());
}

TEST(TrayPropertyTable, EveryPropertySurvivesTheItemValues) {
  TrayProperties p;
  p.flags = 0x80000006;
  p.setSort(0, 7);
  p.displayPeriod = 3;
  p.userDisplayDays = 45;
  p.description = "d";
  p.bodyFilePlace = "b";
  p.sortKeyword = "k";
  p.sortExpression = "a\r\nb";
  p.sendGroupTo = "t1\r\nt2";
  p.sendGroupCc = "c";
  p.sendGroupBcc = "x";
  p.signatureKind = 3;
  p.newMailTemplate = "n";
  p.replyTemplate = "r";
  p.forwardTemplate = "f";
  p.tagSelection = 1;
  p.tagEndSymbol = "|";
  p.userTag = "u";
  p.soundFile = "s.wav";
  p.splitSizeKb = 0;
  p.from = "from";
  p.organization = "org";
  p.replyTo = "rt";
  p.signatureFile = "sig";
  core::ItemValues values(trayPropertyTable());
  propertiesToValues(p, values);
  EXPECT_EQ(values.number(trayitem::kSortDirection), 0);
  EXPECT_EQ(values.number(trayitem::kSortColumn), 7);
  EXPECT_EQ(propertiesFromValues(values), p);
}

TEST(TrayPropertyTable, PropertyTextShowsFlagsInHexAndRefusesOtherIds) {
  TrayProperties p = defaultTrayProperties();
  EXPECT_EQ(propertyText(p, trayitem::kFlags), "0000CE34");
  EXPECT_EQ(propertyText(p, trayitem::kSortColumn), "4");
  EXPECT_EQ(propertyText(p, trayitem::kTagEndSymbol), ">");
  EXPECT_FALSE(propertyText(p, trayitem::kRecordKind));
  EXPECT_FALSE(propertyText(p, trayitem::kPath));
  EXPECT_FALSE(propertyText(p, trayitem::kSignatureFile + 1));
  EXPECT_FALSE(propertyText(p, trayitem::kEnd));
}

TEST(TrayPropertyTable, SetPropertyTextTakesOnlyWholeNumbers) {
  TrayProperties p = defaultTrayProperties();
  const TrayProperties before = p;
  EXPECT_FALSE(setPropertyText(p, trayitem::kDisplayPeriod, "12abc"));
  EXPECT_FALSE(setPropertyText(p, trayitem::kDisplayPeriod, ""));
  EXPECT_FALSE(setPropertyText(p, trayitem::kDisplayPeriod, "99999999999"));
  EXPECT_FALSE(setPropertyText(p, trayitem::kFlags, "-1"));
  EXPECT_FALSE(setPropertyText(p, trayitem::kFlags, "1FFFFFFFF"));
  EXPECT_FALSE(setPropertyText(p, trayitem::kPath, "x"));
  EXPECT_EQ(p, before);

  EXPECT_TRUE(setPropertyText(p, trayitem::kFlags, "0xffffffff"));
  EXPECT_EQ(p.flags, 0xFFFFFFFFu);
  EXPECT_TRUE(setPropertyText(p, trayitem::kFlags, "6"));
  EXPECT_EQ(p.flags, 6u);
  EXPECT_TRUE(setPropertyText(p, trayitem::kDisplayPeriod, "-3"));
  EXPECT_EQ(p.displayPeriod, -3);
  EXPECT_TRUE(setPropertyText(p, trayitem::kSortDirection, "0"));
  EXPECT_TRUE(setPropertyText(p, trayitem::kSortColumn, "5"));
  EXPECT_EQ(p.sortWord, 5 << 1);
  // A one-line text keeps one line; a multi-line one keeps them all.
  EXPECT_TRUE(setPropertyText(p, trayitem::kSortKeyword, "key\r\n##1006:x"));
  EXPECT_EQ(p.sortKeyword, "key");
  EXPECT_TRUE(setPropertyText(p, trayitem::kSortExpression, "a\r\nb"));
  EXPECT_EQ(p.sortExpression, "a\r\nb");
}

TEST(SystemTrays, KindIsFoundByTheWholeNameInTheGivenOrder) {
  core::ItemValues settings(core::settingsItemTable());
  EXPECT_EQ(systemTrayKind(settings, platform::utf8ToSjis("新着受信")), kNewMailTray);
  EXPECT_EQ(systemTrayKind(settings, platform::utf8ToSjis("メールサーバ")), kMailServerTray);
  EXPECT_EQ(systemTrayKind(settings, platform::utf8ToSjis("ごみ箱")), kTrashTray);
  EXPECT_EQ(systemTrayKind(settings, platform::utf8ToSjis("検索結果")), kSearchResultsTray);
  EXPECT_EQ(systemTrayKind(settings, platform::utf8ToSjis("A/新着受信")), kOrdinaryTray);
  EXPECT_EQ(systemTrayKind(settings, ""), kOrdinaryTray);
  // Two items with the same name: new mail (203) is compared before trash (206).
  settings.setText(core::item::kTrashTray, platform::utf8ToSjis("新着受信"));
  EXPECT_EQ(systemTrayKind(settings, platform::utf8ToSjis("新着受信")), kNewMailTray);
  // Case matters.
  settings.setText(core::item::kMailServerTray, "Server");
  EXPECT_EQ(systemTrayKind(settings, "server"), kOrdinaryTray);
  EXPECT_EQ(systemTrayKind(settings, "Server"), kMailServerTray);
}

TEST(SystemTrays, FlagsRuleKeepsOnlySystemBits) {
  EXPECT_EQ(systemTrayFlags(0x0000CE34, kNewMailTray), 0x0001000Cu);
  EXPECT_EQ(systemTrayFlags(0x0000CE34, kTrashTray), 0x0011000Cu);
  EXPECT_EQ(systemTrayFlags(0xFFFFFFFF, kSentTray), 0xFFC1000Cu);
  EXPECT_EQ(systemTrayFlags(0, kMailServerTray), 0x00110008u);
  EXPECT_EQ(systemTrayFlags(0, kSearchResultsTray), 0x00110008u);
  EXPECT_EQ(systemTrayFlags(0, kDraftsTray), 0x00010008u);
}

TEST(SystemTrays, PropertiesStartFromTheEmptySet) {
  const TrayProperties trash = systemTrayProperties(kTrashTray);
  EXPECT_EQ(trash.flags, 0x00110008u);
  EXPECT_EQ(trash.sortWord, 0);
  EXPECT_EQ(trash.displayPeriod, 0);
  EXPECT_EQ(trash.userDisplayDays, 10);
  EXPECT_EQ(trash.signatureKind, 0);
  EXPECT_EQ(trash.tagSelection, 0);
  EXPECT_EQ(trash.splitSizeKb, 0);
  EXPECT_EQ(trash.tagEndSymbol, ">");
  EXPECT_EQ(trash.soundFile, "");
  EXPECT_EQ(trash.description, platform::utf8ToSjis("消去したばかりのメール"));
  EXPECT_EQ(trash.replyTemplate, platform::utf8ToSjis("標準"));
  EXPECT_EQ(systemTrayProperties(kNewMailTray).description, platform::utf8ToSjis("受信したばかりの未整理メール"));
  EXPECT_EQ(systemTrayProperties(kUnsentTray).flags, 0x00010008u);
}

}  // namespace
}  // namespace zorvik::store
