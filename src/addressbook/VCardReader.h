/// \file
/// Reads the vCards of a file as address books and phones write them:
/// vCard 3.0 and 4.0, and the vCard 2.1 that phones still export.
///
///  - folded lines (a line beginning with a space or tab continues the one
///    before) are joined; so are vCard 2.1's quoted-printable soft breaks
///    (a quoted-printable value ending with "=");
///  - quoted-printable values are decoded, values in another CHARSET are
///    converted to UTF-8, and both parameters dropped; vCard 2.1's bare
///    parameters ("EMAIL;INTERNET:") become "TYPE=INTERNET";
///  - a card without END ends at the next BEGIN or the end of the file;
///    lines outside cards, lines without ":" and empty lines are passed
///    over; every other property is kept, known or not.
#pragma once

#include <string_view>
#include <vector>

#include "addressbook/VCardEntry.h"

namespace zorvik::addressbook {

class VCardReader {
public:
  static std::vector<VCardEntry> parse(std::string_view text);
};

}  // namespace zorvik::addressbook
