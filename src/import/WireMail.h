/// \file
/// Builds the POP3 form of one mail from its lines (see MailHandler): CR LF
/// after every line, a "." put before each line that begins with one, the
/// empty lines at the end dropped and the line "." added. Every line is
/// stuffed, so a mail whose last line is a lone "." keeps it.
#pragma once

#include <string>
#include <string_view>

namespace zorvik::import {

class WireMail {
public:
  /// Appends one line, given without its line end.
  void addLine(std::string_view line);
  /// No line with text has been added.
  bool blank() const { return textEnd_ == 0; }
  /// The mail, ended with "."; the builder is empty afterwards.
  std::string take();

  /// The POP3 form of a whole mail as a file holds it (LF or CR LF).
  static std::string of(std::string_view text);

private:
  std::string wire_;
  std::size_t textEnd_ = 0;  // the end of the last line that holds text
};

}  // namespace zorvik::import
