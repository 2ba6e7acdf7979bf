/// \file
/// Substring tests of the sorting rules: "does the keyword occur in the
/// list tag", "does the right text occur in the left". They are made for
/// every tray and every mail of a run, mostly failing, so a byte search
/// (memchr-fast) rules out the usual miss before the Shift_JIS-aware search
/// confirms a hit: a match that starts on a trail byte of a double-byte
/// character is no match.
#pragma once

#include <string_view>

namespace zorvik::sorting {

/// True when `needle` occurs in `text` at a character boundary; an empty
/// needle occurs everywhere.
bool containsSjis(std::string_view text, std::string_view needle);

}  // namespace zorvik::sorting
