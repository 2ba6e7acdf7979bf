/// \file
/// Whether a body line is quoted text, drawn in the quote colour: scanning
/// from the start, a ">" comes before any "<", and that ">" is the first
/// character or does not end an arrow ("->", "=>": those are passed over
/// and the scan goes on). A "<" met first ends the scan: "<html>" is no
/// quote. Neither byte occurs inside a Shift_JIS double-byte character, so
/// the line is read byte by byte.
#pragma once

#include <string_view>

namespace zorvik::view {

class QuoteLine {
public:
  static bool is(std::string_view line);
};

}  // namespace zorvik::view
