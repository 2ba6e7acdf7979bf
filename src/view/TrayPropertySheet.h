/// \file
/// What the tray property sheet edits and how a change reaches the trays.
/// The sheet shows the properties of one tray: the first selected one, or,
/// for a cabinet, its ".Default" tray (what new trays in it inherit). On OK
/// the items that changed go into every tray edited (every tray below a
/// cabinet, its ".Default" tray included, created when missing), after the
/// question 40610 (a cabinet) or 40611 (several trays); each tray keeps
/// its other items. Of the flags word only the switches that changed are
/// carried over, so a tray keeps its own system and storage bits.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/ItemValues.h"
#include "core/Messages.h"
#include "store/StoreLocation.h"
#include "view/SettingsDraft.h"

namespace zorvik::view {

class TrayPropertySheet {
public:
  /// The sheet over the trays `trays` (tray names in the store); over a
  /// first tray whose index cannot be read, with the properties a new tray
  /// there inherits (only its rebuild can succeed).
  static std::optional<TrayPropertySheet> forTrays(const store::StoreLocation& store, std::vector<std::string> trays);
  /// The sheet over the cabinet `cabinet` ("" the top cabinet).
  static TrayPropertySheet forCabinet(const store::StoreLocation& store, std::string cabinet);

  /// The values the pages show.
  const core::ItemValues& values() const { return values_; }
  bool isCabinet() const { return cabinet_.has_value(); }
  /// The tray whose rule the page edits: the first tray, or the cabinet's
  /// ".Default" tray; also the tray "再生成(&R)" rebuilds (none for a
  /// cabinet).
  std::string firstTray() const;

  /// Writes the changed items of `draft` (made over values()) into the
  /// trays. True when nothing changed, or every tray was written; false
  /// when the user said no to the question or a tray could not be written
  /// (the trays written before it keep the change).
  bool apply(const SettingsDraft& draft, core::Messages& messages) const;

private:
  TrayPropertySheet(store::StoreLocation store, std::vector<std::string> trays, std::optional<std::string> cabinet,
                    const core::ItemValues& values);
  std::vector<std::string> editedTrays() const;

  store::StoreLocation store_;
  std::vector<std::string> trays_;
  std::optional<std::string> cabinet_;
  core::ItemValues values_;
};

}  // namespace zorvik::view
