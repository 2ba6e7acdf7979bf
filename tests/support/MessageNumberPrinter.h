/// \file
/// Lets GoogleTest print a message name as its number R in a failure, not
/// as raw bytes.
#pragma once

#include <ostream>

#include "core/MessageNumber.h"

namespace zorvik::core {

inline void PrintTo(MessageNumber r, std::ostream* out) { *out << numberOf(r); }

}  // namespace zorvik::core
