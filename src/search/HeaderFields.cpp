#include "search/HeaderFields.h"

#include "core/SjisText.h"

namespace zorvik::search {

void forEachField(std::string_view header, std::string_view name,
                  const std::function<bool(std::string_view value, std::size_t offset)>& visit) {
  for (std::size_t start = 0; start < header.size();) {
    const std::size_t newline = header.find('\n', start);
    const std::size_t next = newline == std::string_view::npos ? header.size() : newline + 1;
    std::string_view line = header.substr(start, next - start);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    if (line.size() > name.size() && line[name.size()] == ':' && core::startsWithIgnoringAsciiCase(line, name)) {
      std::size_t value = name.size() + 1;
      while (value < line.size() && (line[value] == ' ' || line[value] == '\t')) ++value;
      if (!visit(line.substr(value), start + value)) return;
    }
    start = next;
  }
}

}  // namespace zorvik::search
