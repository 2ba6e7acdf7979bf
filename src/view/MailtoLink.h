/// \file
/// A "mailto:" link (RFC 6068) taken apart for a new compose window: the
/// addresses before "?" and the "to", "cc", "bcc", "subject" and "body"
/// fields after it, percent-decoded as UTF-8 and turned into Shift_JIS.
/// Repeated address fields add to the list ("," between); other fields
/// are ignored; line ends in the body ("%0D%0A") become LF. A '+' stays a
/// '+' (it is no space in a mailto link).
#pragma once

#include <string>
#include <string_view>

namespace zorvik::view {

struct MailtoLink {
  std::string to, cc, bcc, subject, body;  ///< Shift_JIS

  /// `text` with or without the leading "mailto:" (any case).
  static MailtoLink parse(std::string_view text);

  bool operator==(const MailtoLink&) const = default;
};

}  // namespace zorvik::view
