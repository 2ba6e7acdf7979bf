/// \file
/// How key strokes and bindings are shown to the user (Shift_JIS): a key
/// code's name ("Tab", "Numpad3", "F12", ":"), a stroke as "Shift+Ctrl+X",
/// a two-stroke binding joined by " ⇒ ", and "割当なし" for none. Codes
/// without a name show as an empty name.
#pragma once

#include <string>

#include "view/KeyStroke.h"

namespace zorvik::view {

std::string keyName(int key);
/// "Shift+", "Ctrl+", "Alt+" as present, in that order, then the key name.
std::string strokeText(const KeyStroke& stroke);
/// The first stroke, then " ⇒ " and the second when there is one;
/// "割当なし" when the first is empty.
std::string bindingText(const KeyStroke& first, const KeyStroke& second);

}  // namespace zorvik::view
