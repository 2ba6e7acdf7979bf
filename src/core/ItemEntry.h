/// \file
/// An item as a person names it and a value as a person types it, for
/// `zorvik-cli get/set` and any other place where settings are typed in by
/// hand rather than chosen in a dialog.
///
/// An item is named by its number ("809"), by its description exactly as
/// the settings file shows it ("受信ポート番号") or by an English key
/// ("pop-port"). A value must fit the item's kind (integer, switch 0/1,
/// colour as 8 hexadecimal digits, text) and, for the integers that have
/// one, the item's range: "abc", "99999" or "-5" for a port are refused
/// with what the item takes, never stored as 0.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/ItemTable.h"
#include "core/SettingsFile.h"

namespace zorvik::core {

/// The row of `table` named by `text` (Shift_JIS); empty when none is, or
/// when the row holds no value (a section heading, the end row).
std::optional<std::size_t> findItem(const ItemTable& table, std::string_view text);

/// The English key of a settings item ("pop-server"), "" when it has none.
std::string_view settingsItemKey(int id);

/// Why `text` is no value of settings item `row`: what the item takes
/// (Shift_JIS, e.g. "整数 1～65535"); empty when the value fits.
std::optional<std::string> valueProblem(const ItemRow& row, std::string_view text);

/// The value of row `row` as a person reads it: numbers in decimal, colours
/// as 8 hexadecimal digits, passwords in plain text.
std::string valueText(const SettingsFile& settings, std::size_t row);
/// Sets row `row` from `text`, which valueProblem() has accepted.
void setValueText(SettingsFile& settings, std::size_t row, std::string_view text);
/// The same for items of any table, none of them a password.
std::string valueText(const ItemValues& values, std::size_t row);
void setValueText(ItemValues& values, std::size_t row, std::string_view text);

}  // namespace zorvik::core
