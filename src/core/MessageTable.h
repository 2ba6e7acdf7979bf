/// \file
/// The text of every numbered message. A message is known by the number R of
/// its text (40000-44999); the texts hold printf-style placeholders.
#pragma once

#include <string>

namespace zorvik::core {

/// The Shift_JIS text of message R, or nullptr when no such message exists.
/// The table is converted from its UTF-8 source once, on first use.
const std::string* messageText(int r);

}  // namespace zorvik::core
