#include "core/ItemReader.h"

#include <climits>
#include <cstdlib>

#include "core/ItemValueLines.h"
#include "platform/TextEncoding.h"

namespace zorvik::core {
namespace {

bool startsWith(const std::string& line, std::string_view prefix) {
  return line.compare(0, prefix.size(), prefix) == 0;
}

// Decimal conversion as the C library's atoi does it: leading blanks, a sign,
// digits; anything after them is ignored; no digits give 0.
std::int32_t decimalValue(const char* text) {
  const long long value = std::strtoll(text, nullptr, 10);
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<std::int32_t>(value);
}

// Hexadecimal conversion as "%x" does it; a line without hex digits leaves
// the previous value.
std::int32_t hexValue(const std::string& text, std::int32_t previous) {
  char* end = nullptr;
  const unsigned long value = std::strtoul(text.c_str(), &end, 16);
  if (end == text.c_str()) return previous;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// The row of the item `id`, searching forward from `from`; the end row is
// found wherever the search starts.
std::optional<std::size_t> findForward(const ItemTable& table, int id, std::size_t from) {
  if (id <= 0) return std::nullopt;
  const auto& rows = table.rows();
  for (std::size_t i = from; i < table.endIndex(); ++i)
    if (rows[i].id == id) return i;
  if (rows[table.endIndex()].id == id) return table.endIndex();
  return std::nullopt;
}

}  // namespace

const std::string& unknownIdReason() { return platform::sjisLiteral("不明な設定Idが定義されてる"); }
const std::string& missingValueReason() {
  return platform::sjisLiteral("設定データ定義なしにファイルが終了した");
}
const std::string& unfinishedMultiLineReason() {
  return platform::sjisLiteral("複数行設定項目の途中でファイルが終了した");
}

ItemReader::ItemReader(platform::LineReader& lines, ProblemHandler onProblem)
    : lines_(lines), onProblem_(std::move(onProblem)) {}

bool ItemReader::nextLine() { return lines_.next(line_); }

void ItemReader::report(const std::string& reason) {
  if (onProblem_) onProblem_({lines_.lineNumber(), line_, reason});
}

ItemReadResult ItemReader::read(ItemValues& values) {
  const ItemTable& table = values.table();
  std::size_t searchFrom = 0;
  for (;;) {
    if (!haveLine_ && !nextLine()) return ItemReadResult::EndOfFile;
    haveLine_ = false;
    if (line_.size() <= 2 || !startsWith(line_, "##")) continue;

    const auto row = findForward(table, decimalValue(line_.c_str() + 2), searchFrom);
    if (!row) {
      report(unknownIdReason());
      searchFrom = 0;
      continue;
    }
    if (*row == table.endIndex()) return ItemReadResult::Complete;
    searchFrom = *row + 1;

    const std::string itemLine = line_;
    if (!nextLine()) {
      line_ = itemLine;
      report(missingValueReason());
      return ItemReadResult::Error;
    }
    switch (table.rows()[*row].kind) {
      case ItemKind::Integer:
      case ItemKind::Switch: values.setNumberAt(*row, decimalValue(line_.c_str())); break;
      case ItemKind::Colour: values.setNumberAt(*row, hexValue(line_, values.numberAt(*row))); break;
      case ItemKind::String: values.setTextAt(*row, valueOfLine(line_)); break;
      case ItemKind::MultiLine:
        if (readMultiLine(values, *row) == ItemReadResult::Error) return ItemReadResult::Error;
        break;
      case ItemKind::Section:
      case ItemKind::End: break;
    }
  }
}

// The value runs until a line longer than two characters that starts with
// "##" or ";;"; that line is the next item line and is looked at again.
ItemReadResult ItemReader::readMultiLine(ItemValues& values, std::size_t row) {
  std::string value = valueOfLine(line_);
  for (;;) {
    if (!nextLine()) {
      report(unfinishedMultiLineReason());
      return ItemReadResult::Error;
    }
    if (line_.size() > 2 && (startsWith(line_, "##") || startsWith(line_, ";;"))) {
      haveLine_ = true;
      values.setTextAt(row, std::move(value));
      return ItemReadResult::Complete;
    }
    value += "\r\n";
    value += valueOfLine(line_);
  }
}

}  // namespace zorvik::core
