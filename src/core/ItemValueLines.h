/// \file
/// How a text value is written as the value lines of an item file (the
/// personal settings file, tray property files) so that the item reader
/// gives it back byte for byte.
///
/// A one-line item is one line; a multi-line item is one line per piece
/// between its CR LF breaks. A piece is written as it is, unless reading
/// it back would go wrong: a line beginning with "##" or ";;" would end a
/// multi-line value and read as the next item (a signature line "##0603:x"
/// followed by "99" would set the SMTP port), and a line feed inside a piece
/// would cut it. Such a piece is
/// written escaped: "#>" and the piece with "\" as "\\", LF as "\n" and CR
/// as "\r". A line beginning with "#>" is therefore always escaped too.
///
/// A CR at the end of a piece needs nothing: the line reader takes only the
/// CR of the line end away.
#pragma once

#include <string>
#include <string_view>

namespace zorvik::core {

/// Appends the value lines of `text`, each ending with CR LF. A one-line
/// item (`multiLine` false) always gives exactly one line.
void appendValueLines(std::string& out, std::string_view text, bool multiLine);

/// The piece of a value that the line `line` (its line end taken off)
/// stands for.
std::string valueOfLine(std::string_view line);

}  // namespace zorvik::core
