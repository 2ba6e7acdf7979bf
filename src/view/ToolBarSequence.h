/// \file
/// A tool bar's sequence as the user arranges it: up to 20 entries, each
/// the index of a button of the bar's full set or 255 for a separator.
/// The full set is every command of the bar's built-in sequence, in that
/// order, so button i always means the same command.
///
/// The layout store keeps, per bar, "TBNUM" (the number of entries; above
/// 20 reads as 20; 0 or missing keeps the built-in sequence) and "TBSEQ"
/// (20 bytes as 40 hexadecimal digits) in the section "CustTB-<bar>", and
/// "VERSION" in "CustTB". Storing drops trailing separators and keeps 20
/// entries at most; a byte with the high bit set reads as a separator, an
/// index beyond the full set is passed over.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "view/LayoutStore.h"
#include "view/ToolBarLayout.h"

namespace zorvik::view {

class ToolBarSequence {
public:
  static constexpr int kSeparator = 255;
  static constexpr int kVersion = 1;

  /// The commands of the bar's full set, button index order.
  static std::vector<int> fullSet(const ToolBar& bar);
  /// The built-in sequence as entries.
  static std::vector<int> builtIn(const ToolBar& bar);
  /// The commands (0 a separator) of `entries`.
  static std::vector<int> commandsOf(const ToolBar& bar, const std::vector<int>& entries);

  /// `entries` as stored: trailing separators dropped, 20 at most.
  static std::vector<int> normalized(std::vector<int> entries);

  /// The stored sequence of `bar`; empty when the bar keeps its built-in one.
  static std::optional<std::vector<int>> load(const LayoutStore& store, const ToolBar& bar);
  static void save(LayoutStore& store, const ToolBar& bar, const std::vector<int>& entries);

  /// `bar` with the stored sequence applied.
  static ToolBar arranged(const LayoutStore& store, const ToolBar& bar);

  static std::string sectionOf(const ToolBar& bar);
};

}  // namespace zorvik::view
