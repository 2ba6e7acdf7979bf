/// \file
/// Writes vCards so that other programs read them: vCard 3.0, UTF-8, CR LF
/// line ends, lines folded at 75 bytes (never inside a UTF-8 character),
/// and the FN and N that vCard 3.0 requires added when a card lacks them
/// (FN from N or from the first address). Every property of the card is
/// written, in its order.
#pragma once

#include <string>
#include <vector>

#include "addressbook/VCardEntry.h"

namespace zorvik::addressbook {

class VCardWriter {
public:
  static std::string write(const std::vector<VCardEntry>& entries);
  /// Appends one card to `out`.
  static void append(const VCardEntry& entry, std::string& out);
};

}  // namespace zorvik::addressbook
