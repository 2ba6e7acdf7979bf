/// \file
/// The current values of every row of an item table, starting at the defaults.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/ItemTable.h"

namespace zorvik::core {

class ItemValues {
public:
  explicit ItemValues(const ItemTable& table);

  const ItemTable& table() const { return *table_; }

  /// Integer, switch and colour items. An id the table lacks is a caller's
  /// mistake and throws std::out_of_range.
  std::int32_t number(int id) const;
  void setNumber(int id, std::int32_t value);
  bool flag(int id) const { return number(id) != 0; }

  /// String and multi-line items (multi-line text joined with CR LF).
  const std::string& text(int id) const;
  void setText(int id, std::string_view value);

  /// Values by row position, for the reader and writer.
  std::int32_t numberAt(std::size_t row) const { return values_[row].number; }
  const std::string& textAt(std::size_t row) const { return values_[row].text; }
  void setNumberAt(std::size_t row, std::int32_t value) { values_[row].number = value; }
  /// A one-line item keeps its text up to the first CR or LF.
  void setTextAt(std::size_t row, std::string value);

  /// Every value back to the table's default.
  void resetToDefaults();

private:
  struct Value {
    std::int32_t number = 0;
    std::string text;
  };
  std::size_t rowOf(int id) const;

  const ItemTable* table_;
  std::vector<Value> values_;
};

}  // namespace zorvik::core
