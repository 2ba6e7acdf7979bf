#include "core/ItemTable.h"

#include <cstdlib>
#include <stdexcept>

#include "platform/TextEncoding.h"

namespace zorvik::core {

bool isNumericKind(ItemKind kind) {
  return kind == ItemKind::Integer || kind == ItemKind::Switch || kind == ItemKind::Colour;
}

ItemTable::ItemTable(std::span<const ItemRowSource> rows) {
  if (rows.empty() || rows.back().kind != ItemKind::End)
    throw std::logic_error("an item table must end with its end row");
  rows_.reserve(rows.size());
  for (const ItemRowSource& source : rows) {
    ItemRow row;
    row.id = source.id;
    row.kind = source.kind;
    row.description = platform::utf8ToSjis(source.description);
    if (isNumericKind(source.kind)) {
      const int base = source.kind == ItemKind::Colour ? 16 : 10;
      row.defaultNumber = static_cast<std::int32_t>(std::strtoul(source.value, nullptr, base));
    } else {
      row.defaultText = platform::utf8ToSjis(source.value);
    }
    if (!rows_.empty() && rows_.back().id >= row.id)
      throw std::logic_error("item table rows must be in ascending id order");
    rows_.push_back(std::move(row));
  }
}

std::optional<std::size_t> ItemTable::indexOf(int id) const {
  // Binary search: the rows are in ascending id order.
  std::size_t low = 0;
  std::size_t high = rows_.size();
  while (low < high) {
    const std::size_t mid = (low + high) / 2;
    if (rows_[mid].id == id) return mid;
    if (rows_[mid].id < id)
      low = mid + 1;
    else
      high = mid;
  }
  return std::nullopt;
}

}  // namespace zorvik::core
