/// \file
/// The seven system trays: mail server, new mail, unsent, sent, drafts,
/// search results and trash. Each is named by a settings item; a tray is a
/// system tray when its whole name relative to the top cabinet equals one of
/// those item values, byte for byte (so "A/新着受信" in a sub-cabinet is an
/// ordinary tray).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/ItemValues.h"
#include "store/TrayProperties.h"

namespace zorvik::store {

/// Kind numbers, kept in bits 12-14 of a tree node's key; 0 is an ordinary tray.
enum SystemTrayKind : int {
  kOrdinaryTray = 0,
  kMailServerTray = 1,
  kNewMailTray = 2,
  kUnsentTray = 3,
  kSentTray = 4,
  kDraftsTray = 5,
  kSearchResultsTray = 6,
  kTrashTray = 7,
};

struct SystemTray {
  SystemTrayKind kind;
  int settingsItem;  // the item that names the tray
};

/// The system trays in the order names are compared and trays are checked:
/// items 203, 204, 205, 206, 212, 213, 214.
const std::array<SystemTray, 7>& systemTrays();

/// The kind of the tray `trayName` under the names in `settings`; the first
/// item (in the order above) equal to the name decides.
SystemTrayKind systemTrayKind(const core::ItemValues& settings, std::string_view trayName);

/// True for the trays whose mails still have work to do: the mail-server
/// tray (the next receive decides by it which mails on the server are new)
/// and the unsent tray (its mails wait to be sent). Bulk removals (backup
/// --delete, export --remove) copy their mails but leave them in place.
bool holdsPendingWork(SystemTrayKind kind);

/// The description a system tray gets when it is created (Shift_JIS).
const std::string& systemTrayDescription(SystemTrayKind kind);

/// A flags word turned into that of a system tray of `kind`: only the bits
/// that make sense for a system tray are kept, the system bits are set, and
/// the no-search bit is set for the mail server, search results and trash
/// trays and cleared for the others.
std::uint32_t systemTrayFlags(std::uint32_t flags, SystemTrayKind kind);

/// The properties a system tray is created with: an empty set (every number
/// 0, every text empty) with the system flags, display days 10, its
/// description and the templates "標準". The table's defaults do not apply.
TrayProperties systemTrayProperties(SystemTrayKind kind);

}  // namespace zorvik::store
