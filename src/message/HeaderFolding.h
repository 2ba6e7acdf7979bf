/// \file
/// Folding of long To and Cc lines before a mail goes out: SMTP servers may
/// refuse or cut lines over 998 characters, and a mail to a few dozen people
/// easily passes that.
#pragma once

#include <string>
#include <string_view>

namespace zorvik::message {

class HeaderFolding {
public:
  /// Lines whose output line passes this many characters are broken.
  static constexpr std::size_t kLineLimit = 990;

  /// A "To:" or "Cc:" line (name compared without regard to case) is broken
  /// after the last address-separating comma that keeps each physical line
  /// under kLineLimit; each continuation starts with "\r\n\t". Commas inside
  /// double quotes or angle brackets do not separate. A single address longer
  /// than the limit is broken at the comma after it. Any other line is
  /// returned unchanged.
  static std::string foldAddressLine(std::string_view line);
};

}  // namespace zorvik::message
