/// \file
/// The reversible scrambling that keeps passwords (POP, dial-up, passphrase)
/// from standing in plain text in the settings file. It hides a password from
/// a glance over the file, nothing more: anyone with the program can reverse it.
#pragma once

#include <string>
#include <string_view>

namespace zorvik::core {

/// Four hexadecimal digits per byte of `plain`.
std::string scramblePassword(std::string_view plain);

/// The plain password of a scrambled text. Groups of four digits; a shorter
/// last group counts as one group; characters that are not hexadecimal end
/// a group's number early, as a lenient reader of a hand-edited file would.
std::string unscramblePassword(std::string_view scrambled);

}  // namespace zorvik::core
