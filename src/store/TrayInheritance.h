/// \file
/// Where a new tray's properties come from: the nearest ".Default" tray.
///
/// A ".Default" tray is a hidden tray that only carries properties. A new
/// tray created by the user in cabinet D takes all properties of D's
/// ".Default" tray, or else of its parent's, and so on up to the top
/// cabinet (for a name relative to the top cabinet) or to "/" (for a full
/// path); without one it gets the table's defaults. Its description always
/// starts empty: it describes the ".Default" tray, not the new one.
///
/// System trays and trays read from a tray property file are created
/// without inheritance.
#pragma once

#include <string_view>

#include "store/TrayName.h"
#include "store/TrayProperties.h"

namespace zorvik::store {

/// The name of the hidden property tray of a cabinet.
inline constexpr std::string_view kDefaultTrayName = ".Default";

/// The ".Default" tray of `cabinet` ("" is the top cabinet).
std::string defaultTrayOf(std::string_view cabinet);

/// The properties of a new tray in `cabinet` (a tray name: relative to the
/// top cabinet, or a full path). A ".Default" tray whose index cannot be
/// read is passed over, as if it were not there.
TrayProperties inheritedProperties(const StoreLocation& store, std::string_view cabinet);

}  // namespace zorvik::store
