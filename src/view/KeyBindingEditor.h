/// \file
/// What the key dialog "制御キーの設定" decides: a view's macro table
/// loaded from its key definition text, the captured strokes of the
/// capture field, and the text written back.
///
/// Capturing records up to two strokes as typed; a modifier pressed alone
/// records the modifiers with no key (nothing is captured yet), a third
/// key starts over. Binding captured strokes to a macro takes them away
/// from any other macro bound to the same strokes, and names those macros
/// (a binding the dispatcher would never reach otherwise). A two-stroke
/// binding whose first stroke is another macro's single stroke is named as
/// well: one of the two could never run.
#pragma once

#include <string>
#include <vector>

#include "view/MacroTable.h"

namespace zorvik::view {

class KeyCapture {
public:
  /// A key pressed (key 0: a modifier alone).
  void press(const KeyStroke& stroke);
  void clear() { first_ = {}; second_ = {}; pendingModifiers_ = {}; }
  bool captured() const { return !first_.empty(); }
  const KeyStroke& first() const { return first_; }
  const KeyStroke& second() const { return second_; }
  /// The strokes as the field shows them (Shift_JIS); the modifiers held
  /// while no key has come yet.
  std::string text() const;

private:
  KeyStroke first_;
  KeyStroke second_;
  KeyStroke pendingModifiers_;
};

class KeyBindingEditor {
public:
  /// `table` is the view's table (unbound); `definition` its settings text.
  KeyBindingEditor(MacroTable table, std::string_view definition);

  const MacroTable& table() const { return table_; }
  /// The list line of macro `at`: description, a tab, the binding.
  std::string line(std::size_t at) const;
  /// The binding of macro `at` as text ("割当なし" when none).
  std::string binding(std::size_t at) const;

  /// Binds the captured strokes to macro `at`; the names of the macros
  /// that lost them or now clash with them.
  std::vector<std::string> bind(std::size_t at, const KeyCapture& capture);
  void unbind(std::size_t at) { table_.unbind(at); }

  /// The definition text of the bindings.
  std::string definition() const;

private:
  MacroTable table_;
};

}  // namespace zorvik::view
