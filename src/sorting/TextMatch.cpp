#include "sorting/TextMatch.h"

#include "core/SjisText.h"

namespace zorvik::sorting {

bool containsSjis(std::string_view text, std::string_view needle) {
  if (text.find(needle) == std::string_view::npos) return false;
  return core::findSjis(text, needle) != std::string_view::npos;
}

}  // namespace zorvik::sorting
