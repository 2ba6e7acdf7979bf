/// \file
/// Turns the keys a view receives into its macros, one or two strokes at a
/// time. The table is scanned in order: an entry whose first stroke equals
/// the pending one runs at once when it has no second stroke; when it has
/// one, the dispatcher waits for the next key (and stops scanning, so a
/// later single-stroke entry with the same first stroke is never reached).
/// A second stroke matches by key, and by modifiers only when the entry's
/// second stroke has any ("^88+85" accepts Ctrl+X then U or Ctrl+U; "^88+^88"
/// only Ctrl+X twice). A key that matches nothing clears what was pending
/// and goes to the view's own handling.
///
/// The same dispatcher serves the tree, the list, the text view and the
/// compose editor: each owns one with its own table.
#pragma once

#include <cstddef>
#include <optional>

#include "view/KeyStroke.h"
#include "view/MacroTable.h"

namespace zorvik::view {

class KeyDispatcher {
public:
  enum class Outcome { Run, Wait, Unhandled };
  struct Result {
    Outcome outcome = Outcome::Unhandled;
    std::size_t macro = 0;  // for Run: the position in the table
  };

  /// The table must outlive the dispatcher.
  explicit KeyDispatcher(const MacroTable& table) : table_(&table) {}

  /// Feeds one stroke (not a lone modifier key).
  Result press(const KeyStroke& stroke);
  /// A first stroke is waiting for its second.
  bool waiting() const { return pending_.has_value(); }
  void reset() { pending_.reset(); }

private:
  Result first(const KeyStroke& stroke);
  Result second(const KeyStroke& first, const KeyStroke& stroke);

  const MacroTable* table_;
  std::optional<KeyStroke> pending_;
};

}  // namespace zorvik::view
