/// \file
/// The text of one mail as a tray stores it, before line ends are added.
#pragma once

#include <string>
#include <vector>

namespace zorvik::store {

/// The text of one mail as it is stored: lines without their line ends.
struct MailText {
  std::string separator = "From ";  // must begin with "From "
  std::vector<std::string> header;  // header lines, already Shift_JIS
  std::vector<std::string> body;
};

}  // namespace zorvik::store
