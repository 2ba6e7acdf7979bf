/// \file
/// The named functions (macros) of one view that key definitions can bind:
/// the mail list, the text view, the tray tree and the compose editor each
/// have a fixed table. Each macro carries its description (shown in the key
/// dialog) and at most one binding of one or two strokes. The order of the
/// table is the order in which the dispatcher scans and the writer writes.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "view/KeyStroke.h"

namespace zorvik::view {

struct Macro {
  std::string name;         // ASCII, 2-8 characters
  std::string description;  // Shift_JIS
  KeyStroke first;          // empty: not bound
  KeyStroke second;         // empty: a single-stroke binding
};

class MacroTable {
public:
  /// The four views' tables, every macro unbound.
  static MacroTable mailList();
  static MacroTable textView();
  static MacroTable trayTree();
  static MacroTable editor();

  const std::vector<Macro>& macros() const { return macros_; }
  std::size_t size() const { return macros_.size(); }
  const Macro& operator[](std::size_t at) const { return macros_[at]; }

  /// Position of the macro named exactly `name`.
  std::optional<std::size_t> find(std::string_view name) const;

  void bind(std::size_t at, KeyStroke first, KeyStroke second = {});
  void unbind(std::size_t at) { bind(at, {}, {}); }
  void clearBindings();

private:
  struct Entry {
    const char* name;
    const char* description;  // UTF-8 literal
  };
  template <std::size_t N>
  static MacroTable of(const Entry (&entries)[N]);

  std::vector<Macro> macros_;
};

}  // namespace zorvik::view
