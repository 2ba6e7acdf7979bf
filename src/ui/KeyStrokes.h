/// \file
/// Qt key events as the key strokes of Zorvik's key definitions: the
/// virtual key numbers of the Windows keyboard, read from the key a person
/// pressed rather than the character it made. Letters and digits are their
/// ASCII codes, F1-F24 112-135, navigation keys 8-46, the keypad 96-111,
/// and the symbol keys by their JIS key caps (":*" 186, ";+" 187, ",<" 188,
/// "-=" 189, ".>" 190, "/?" 191, "@`" 192, "[{" 219, "¥|" 220, "]}" 221,
/// "^~" 222, "\_" 226); a shifted digit ("!" on the 1 key) is the digit's
/// key. A modifier pressed alone, and keys without a number, give no
/// stroke.
#pragma once

#include <optional>

#include "view/KeyStroke.h"

class QKeyEvent;

namespace zorvik::ui {

std::optional<view::KeyStroke> strokeOf(const QKeyEvent& event);
/// The virtual key number of a Qt key (Qt::Key), with the keypad flag.
int virtualKeyOf(int qtKey, bool keypad);

}  // namespace zorvik::ui
