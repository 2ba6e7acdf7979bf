/// \file
/// What the sorting-log window shows of the log: its end (at most
/// sorting::SortingLog::kViewBytes bytes), in whole lines, one "\n" at the
/// end of each.
///
/// The end of a long log is cut at a byte count, which may fall inside a
/// line and even between the two bytes of a Shift_JIS character. Shift_JIS
/// does not resynchronise on its own: a lone second byte read as a first one
/// swallows the next character, and the line comes out garbled. So when the
/// log is longer than what is shown, the part line before the first line end
/// is left out; a log that fits is shown whole.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zorvik::view {

class SortingLogExcerpt {
public:
  /// The text to show of `tail`, the last bytes of a log of `logBytes`
  /// bytes (Shift_JIS, CR LF line ends); CR LF becomes "\n".
  static std::string shown(std::string_view tail, std::uint64_t logBytes);
};

}  // namespace zorvik::view
