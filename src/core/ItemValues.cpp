#include "core/ItemValues.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace zorvik::core {

ItemValues::ItemValues(const ItemTable& table) : table_(&table), values_(table.rows().size()) {
  resetToDefaults();
}

void ItemValues::resetToDefaults() {
  const auto& rows = table_->rows();
  for (std::size_t i = 0; i < rows.size(); ++i) values_[i] = {rows[i].defaultNumber, rows[i].defaultText};
}

std::size_t ItemValues::rowOf(int id) const {
  const auto row = table_->indexOf(id);
  if (!row) throw std::out_of_range("no item " + std::to_string(id));
  return *row;
}

std::int32_t ItemValues::number(int id) const { return values_[rowOf(id)].number; }

void ItemValues::setNumber(int id, std::int32_t value) { values_[rowOf(id)].number = value; }

const std::string& ItemValues::text(int id) const { return values_[rowOf(id)].text; }

void ItemValues::setText(int id, std::string_view value) { setTextAt(rowOf(id), std::string(value)); }

void ItemValues::setTextAt(std::size_t row, std::string value) {
  // A one-line item holds one line, set or read: a line break in a name or
  // an address would end up in the header of every mail sent.
  if (table_->rows()[row].kind == ItemKind::String) value.resize(std::min(value.size(), value.find_first_of("\r\n")));
  values_[row].text = std::move(value);
}

}  // namespace zorvik::core
