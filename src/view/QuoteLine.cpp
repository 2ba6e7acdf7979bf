#include "view/QuoteLine.h"

namespace zorvik::view {

bool QuoteLine::is(std::string_view line) {
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '<') return false;
    if (line[i] != '>') continue;
    if (i == 0 || (line[i - 1] != '-' && line[i - 1] != '=')) return true;
  }
  return false;
}

}  // namespace zorvik::view
