/// \file
/// A static table of numbered items: the personal settings file and the tray
/// property files are both sequences of such items, read and written by the
/// same item reader and writer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zorvik::core {

enum class ItemKind : int {
  Section = 0,
  Integer = 1,
  Switch = 2,    // 0 or 1, stored like an integer
  Colour = 3,    // 32-bit RGB, red in the low byte; written as "%08X"
  String = 4,
  MultiLine = 5, // lines joined with CR LF in memory
  End = 7,
};

/// One row as written in the source: texts in UTF-8. `value` is the default:
/// decimal for integers and switches, hexadecimal for colours, text otherwise.
struct ItemRowSource {
  int id;
  ItemKind kind;
  const char* value;
  const char* description;
};

/// One row as the program uses it: texts in Shift_JIS.
struct ItemRow {
  int id = 0;
  ItemKind kind = ItemKind::End;
  std::int32_t defaultNumber = 0;
  std::string defaultText;
  std::string description;
};

/// Rows in ascending id order, ending with the end row (kind End).
class ItemTable {
public:
  explicit ItemTable(std::span<const ItemRowSource> rows);

  const std::vector<ItemRow>& rows() const { return rows_; }
  /// Position of the row with `id`, if the table has one.
  std::optional<std::size_t> indexOf(int id) const;
  /// Position of the end row.
  std::size_t endIndex() const { return rows_.size() - 1; }

private:
  std::vector<ItemRow> rows_;
};

/// True for the kinds whose value is a number.
bool isNumericKind(ItemKind kind);

}  // namespace zorvik::core
