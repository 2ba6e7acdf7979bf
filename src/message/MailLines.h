/// \file
/// The lines of one mail as a tray stores them, without line ends: the
/// separator line, the header lines and the body lines, all Shift_JIS.
#pragma once

#include <string>
#include <vector>

namespace zorvik::message {

/// Header lines are unfolded and never empty (an empty line would read back
/// as the end of the header); no line holds a CR or LF.
struct MailLines {
  std::string separator;  // begins with "From "
  std::vector<std::string> header;
  std::vector<std::string> body;
};

}  // namespace zorvik::message
