/// \file
/// The key definition texts of the settings (tree, list, text view and
/// compose editor): entries separated by ",", each one stroke or two strokes
/// joined by "+", then "=" and a macro name. A stroke is any of the
/// prefixes "^" (Ctrl), "!" (Shift), "#" (Alt) and a decimal key code:
/// "^88+^88=XTGS" is Ctrl+X twice, "#!188=TOF" Alt+Shift and key 188.
///
/// Parsing is forgiving, as a hand-edited settings file needs: everything up
/// to a first ":" is a label and skipped; unknown macro names and entries
/// without a key are ignored; a later entry for a macro replaces an earlier
/// one ("^67=BFCP" twice binds BFCP once); a stray "," or a trailing one
/// ends an empty entry. Writing gives one entry per bound macro, in table
/// order, prefixes in the order "#", "!", "^".
#pragma once

#include <string>
#include <string_view>

#include "view/MacroTable.h"

namespace zorvik::view {

/// Clears every binding of `table` and binds what `text` defines.
void parseKeyDefinition(std::string_view text, MacroTable& table);

/// The definition text of `table`'s bindings.
std::string writeKeyDefinition(const MacroTable& table);

}  // namespace zorvik::view
