#include "core/AliasTable.h"

namespace zorvik::core {

AliasTable parseAliasTable(std::string_view text) {
  AliasTable table;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    table.push_back({std::string(line.substr(0, equals)), std::string(line.substr(equals + 1))});
  }
  return table;
}

}  // namespace zorvik::core
