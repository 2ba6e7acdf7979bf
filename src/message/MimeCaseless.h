/// \file
/// Case-blind comparison of MIME names: see core/SjisText.h, which holds the
/// one definition; these names remain for the files that still use them.
#pragma once

#include "core/SjisText.h"

namespace zorvik::message {

constexpr bool startsWithCaseless(std::string_view text, std::string_view prefix) {
  return core::startsWithIgnoringAsciiCase(text, prefix);
}
constexpr bool equalsCaseless(std::string_view a, std::string_view b) { return core::equalsIgnoringAsciiCase(a, b); }

}  // namespace zorvik::message
