/// \file
/// One complete reply of an SMTP server: its code and its text.
#pragma once

#include <string>

namespace zorvik::net {

struct SmtpReply {
  /// The decimal number at the start of the reply's last line; 0 when the
  /// line does not begin with a digit (a garbage reply never matches a code
  /// the session waits for).
  int code = 0;
  /// Every line of the reply without its line end, joined with "\n", cut to
  /// a bounded length. Shown to the user inside the error messages.
  std::string text;
};

}  // namespace zorvik::net
