#include "core/ItemWriter.h"

#include <cstdio>

#include "core/ItemValueLines.h"
#include "core/MessageFormat.h"

namespace zorvik::core {
namespace {

constexpr std::string_view kSectionRule = ";;---------------------------------------------\r\n";
constexpr std::string_view kEndRule = ";;END------------------------------------------\r\n";

void appendItemLine(std::string& out, std::string_view prefix, const ItemRow& row) {
  out += formatMessage("%s%04d:%s\r\n", {prefix, row.id, row.description});
}

}  // namespace

void writeItem(std::string& out, const ItemRow& row, const ItemValues& values, std::size_t index) {
  char number[16];
  switch (row.kind) {
    case ItemKind::Section:
      out += kSectionRule;
      appendItemLine(out, ";;", row);
      out += kSectionRule;
      return;
    case ItemKind::Integer:
    case ItemKind::Switch:
      appendItemLine(out, "##", row);
      std::snprintf(number, sizeof number, "%d\r\n", values.numberAt(index));
      out += number;
      return;
    case ItemKind::Colour:
      appendItemLine(out, "##", row);
      std::snprintf(number, sizeof number, "%08X\r\n", static_cast<unsigned>(values.numberAt(index)));
      out += number;
      return;
    case ItemKind::String:
    case ItemKind::MultiLine:
      appendItemLine(out, "##", row);
      appendValueLines(out, values.textAt(index), row.kind == ItemKind::MultiLine);
      return;
    case ItemKind::End:
      appendItemLine(out, "##", row);
      return;
  }
}

void writeItemTable(std::string& out, const ItemValues& values) {
  const ItemTable& table = values.table();
  for (std::size_t i = 0; i < table.endIndex(); ++i) writeItem(out, table.rows()[i], values, i);
  writeItem(out, table.rows()[table.endIndex()], values, table.endIndex());
  out += kEndRule;
}

}  // namespace zorvik::core
