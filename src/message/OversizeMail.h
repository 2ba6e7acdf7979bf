/// \file
/// A mail larger than the user's size limit (item 806, in kilobytes) is not
/// fetched: only its header is, and it is stored with a one-line body saying
/// so, so that the user sees that it exists and who sent it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zorvik::message {

class OversizeMail {
public:
  /// The separator line that precedes such a mail in the new-mail work file.
  static constexpr std::string_view kSeparator = "From  \r\n";

  /// True when a mail of `size` bytes is over `limitKilobytes` (x 1024);
  /// 0 or a negative limit means no limit.
  static bool isOversize(std::uint64_t size, std::int32_t limitKilobytes);

  /// Turns the fetched header of such a mail (POP3 form: CR LF lines, ending
  /// with the terminating "." line) into the text to store: the terminator
  /// and trailing empty lines are removed, then a last Content-Type line
  /// "text/plain", an empty line, the not-received notice (Shift_JIS) and a
  /// new terminator are appended. A header without terminator loses nothing.
  ///
  /// The header's own Content-Type and Content-Transfer-Encoding lines
  /// describe a body that is not there; kept as they were, they would have
  /// the notice read as base64 or as UTF-8 and turn it into garbage. So they
  /// are kept under the names "X-Original-Content-Type" and
  /// "X-Original-Content-Transfer-Encoding" (their folded lines with them).
  static std::string withNotice(std::string_view fetchedHeader);
};

}  // namespace zorvik::message
