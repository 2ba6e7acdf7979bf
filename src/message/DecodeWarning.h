/// \file
/// Problems a decoder finds in a mail part without stopping: the part is
/// still decoded as far as it goes, and the caller decides how to tell the
/// user.
#pragma once

#include <string>

namespace zorvik::message {

enum class DecodeWarning {
  binHexHeaderCrc,  ///< the BinHex header failed its CRC; decoding went on
  binHexDataCrc,    ///< the BinHex data fork failed its CRC; it was written anyway
};

/// The Shift_JIS text shown to the user for a warning.
const std::string& warningText(DecodeWarning warning);

}  // namespace zorvik::message
