/// \file
/// The tray property table: items 1000-1026 with which tray properties are
/// written into and read from tray property files (".XM7") by the same item
/// reader and writer as the personal settings file, and the mapping between
/// those items and `TrayProperties`.
///
/// Items 1000 (record kind: 0 tray, 1 cabinet) and 1001 (path relative to the
/// top cabinet) describe a record of a property file, not the tray; the
/// others are one member of `TrayProperties` each, except that the sort
/// direction (1021) and column (1022) share the sort word.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/ItemTable.h"
#include "core/ItemValues.h"
#include "store/TrayProperties.h"

namespace zorvik::store {

const core::ItemTable& trayPropertyTable();

namespace trayitem {
inline constexpr int kRecordKind = 1000;
inline constexpr int kPath = 1001;
inline constexpr int kFlags = 1002;
inline constexpr int kDescription = 1003;
inline constexpr int kBodyFilePlace = 1004;
inline constexpr int kSortKeyword = 1005;
inline constexpr int kSortExpression = 1006;
inline constexpr int kSendGroupTo = 1007;
inline constexpr int kSendGroupCc = 1008;
inline constexpr int kSendGroupBcc = 1009;
inline constexpr int kSignatureKind = 1010;
inline constexpr int kNewMailTemplate = 1011;
inline constexpr int kReplyTemplate = 1012;
inline constexpr int kForwardTemplate = 1013;
inline constexpr int kTagSelection = 1014;
inline constexpr int kTagEndSymbol = 1015;
inline constexpr int kUserTag = 1016;
inline constexpr int kDisplayPeriod = 1017;
inline constexpr int kUserDisplayDays = 1018;
inline constexpr int kSoundFile = 1019;
inline constexpr int kSplitSize = 1020;
inline constexpr int kSortDirection = 1021;
inline constexpr int kSortColumn = 1022;
inline constexpr int kFrom = 1023;
inline constexpr int kOrganization = 1024;
inline constexpr int kReplyTo = 1025;
inline constexpr int kSignatureFile = 1026;
inline constexpr int kEnd = 9999;

/// The items that belong to a tray (everything but the record kind and path).
inline constexpr int kFirstProperty = kFlags;
inline constexpr int kLastProperty = kSignatureFile;
}  // namespace trayitem

/// Record kinds of item 1000.
inline constexpr int kTrayRecord = 0;
inline constexpr int kCabinetRecord = 1;

/// The properties of a tray created where no ".Default" tray applies: the
/// table's defaults (flags 0000CE34, the templates "標準", ...).
TrayProperties defaultTrayProperties();

/// Copies every property into items 1002-1026 of `values`.
void propertiesToValues(const TrayProperties& properties, core::ItemValues& values);
/// The properties held by items 1002-1026 of `values`.
TrayProperties propertiesFromValues(const core::ItemValues& values);

/// One property as text, as a command line shows it: numbers in decimal, the
/// flags (1002) as eight hexadecimal digits, multi-line texts with CR LF.
/// Empty for an id outside 1002-1026.
std::optional<std::string> propertyText(const TrayProperties& properties, int id);
/// Sets one property from text given as `propertyText` shows it (the flags
/// may carry "0x"). False, with nothing changed, for an id outside 1002-1026
/// or a number item whose text is not a whole number. The sort direction
/// keeps one bit and the sort column three, as the sort word holds them.
bool setPropertyText(TrayProperties& properties, int id, std::string_view text);

}  // namespace zorvik::store
