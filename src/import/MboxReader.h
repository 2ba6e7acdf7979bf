/// \file
/// Reads a UNIX mailbox (and the intermediate mailbox the other readers
/// write): mails one after another, each starting with a separator line
/// that begins with "From ". Bytes are fed in blocks of any size, so a
/// mailbox of hundreds of megabytes is read with one mail in memory.
///
/// A separator is a "From " line at the start of the file or after an
/// empty line that is either the bare "From " of the intermediate mailbox
/// or a postmark ("From sender Mon Dec  7 09:30:00 2026": a time and a
/// four-digit year after the sender). Any other line beginning with "From "
/// is body text: a mailbox whose writer forgot to quote such a line does
/// not have its mail cut in two there. Quoted lines (">From ") are kept as
/// they are.
///
/// Edge cases: empty lines before the first separator are skipped; any
/// other text there (a binary file, a file of another format) ends the
/// reading as Damaged before a mail is handed over; the empty line that
/// ends each mail belongs to the mailbox, not the mail; a mail without a
/// final empty line or line end, or cut short, is handed over as far as it
/// goes; mails that hold nothing but empty lines are left out.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "import/MailHandler.h"
#include "import/WireMail.h"

namespace zorvik::import {

class MboxReader {
public:
  explicit MboxReader(MailHandler each) : each_(std::move(each)) {}

  /// Reads the next bytes; false when the reading has ended (see end()).
  bool feed(std::string_view bytes);
  /// Hands over the last mail; how the reading ended.
  ReadEnd finish();
  ReadEnd end() const { return end_; }

  /// Reads the mailbox file at `path` (Shift_JIS).
  static ReadEnd readFile(std::string_view path, const MailHandler& each);

  /// Whether `line` is a separator, given that it follows an empty line.
  static bool isSeparator(std::string_view line);

private:
  bool takeLine(std::string_view line);
  bool handOver();

  MailHandler each_;
  std::string partial_;  // a line not yet ended
  WireMail mail_;
  bool inMail_ = false;
  bool afterEmpty_ = true;
  ReadEnd end_ = ReadEnd::Done;
  bool ended_ = false;
};

}  // namespace zorvik::import
