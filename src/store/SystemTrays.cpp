#include "store/SystemTrays.h"

#include "core/SettingsItemTable.h"
#include "platform/TextEncoding.h"
#include "store/TrayFlags.h"

namespace zorvik::store {
namespace {

bool isLeftOutOfSearch(SystemTrayKind kind) {
  return kind == kMailServerTray || kind == kSearchResultsTray || kind == kTrashTray;
}

}  // namespace

const std::array<SystemTray, 7>& systemTrays() {
  static constexpr std::array<SystemTray, 7> kTrays{{
      {kNewMailTray, core::item::kNewMailTray},
      {kUnsentTray, core::item::kUnsentTray},
      {kSentTray, core::item::kSentTray},
      {kTrashTray, core::item::kTrashTray},
      {kMailServerTray, core::item::kMailServerTray},
      {kDraftsTray, core::item::kDraftsTray},
      {kSearchResultsTray, core::item::kSearchResultsTray},
  }};
  return kTrays;
}

SystemTrayKind systemTrayKind(const core::ItemValues& settings, std::string_view trayName) {
  for (const SystemTray& tray : systemTrays())
    if (settings.text(tray.settingsItem) == trayName) return tray.kind;
  return kOrdinaryTray;
}

const std::string& systemTrayDescription(SystemTrayKind kind) {
  static const std::string kNone;
  switch (kind) {
    case kMailServerTray: return platform::sjisLiteral("現在のメール受信状況");
    case kNewMailTray: return platform::sjisLiteral("受信したばかりの未整理メール");
    case kUnsentTray: return platform::sjisLiteral("次回サーバ接続時に送信予定メール");
    case kSentTray: return platform::sjisLiteral("前回サーバ接続時に送信したメール");
    case kDraftsTray: return platform::sjisLiteral("送信されることのない書きかけの原稿");
    case kSearchResultsTray: return platform::sjisLiteral("検索した結果見つかったメールのリンク");
    case kTrashTray: return platform::sjisLiteral("消去したばかりのメール");
    case kOrdinaryTray: return kNone;
  }
  return kNone;
}

std::uint32_t systemTrayFlags(std::uint32_t flags, SystemTrayKind kind) {
  flags = (flags & trayflag::kSystemKeepMask) | trayflag::kSystemSet;
  if (isLeftOutOfSearch(kind)) return flags | trayflag::kSystemNoSearch;
  return flags & ~trayflag::kSystemNoSearch;
}

TrayProperties systemTrayProperties(SystemTrayKind kind) {
  // Start from the empty set: the struct's own initial values are the
  // table's defaults, which a system tray must not get.
  TrayProperties properties;
  properties.flags = systemTrayFlags(0, kind);
  properties.sortWord = 0;
  properties.displayPeriod = 0;
  properties.userDisplayDays = 10;
  properties.signatureKind = 0;
  properties.tagSelection = 0;
  // Quote prefix kind 0 is "the end mark alone": an empty mark would quote a
  // reply to a mail in 受信 or 送信済 with no mark at all, so the quoted text
  // could not be told from the answer. The system trays take the usual ">".
  properties.tagEndSymbol = ">";
  properties.soundFile.clear();
  properties.splitSizeKb = 0;
  properties.description = systemTrayDescription(kind);
  const std::string& standard = platform::sjisLiteral("標準");
  properties.newMailTemplate = standard;
  properties.replyTemplate = standard;
  properties.forwardTemplate = standard;
  return properties;
}

bool holdsPendingWork(SystemTrayKind kind) { return kind == kMailServerTray || kind == kUnsentTray; }

}  // namespace zorvik::store
