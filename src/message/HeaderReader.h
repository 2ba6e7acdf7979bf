/// \file
/// Reads the mails of a text of mails (the new-mail work file, an imported
/// mailbox) one by one and gives each mail's lines as they are to be stored
/// in a tray, every line decoded to Shift_JIS, together with its MailRecord.
///
/// A mail is a separator line beginning with "From ", header lines (a line
/// beginning with a space or tab continues the previous one: unfolded as
/// RFC 5322 does, taking out the line break and keeping the blank), an
/// empty line and body lines up to the next separator. Mails whose separator is the
/// deletion marker are skipped. Broken input never stops the reader: a mail
/// without an empty line ends its header at the next separator, so it cannot
/// swallow the mails after it.
#pragma once

#include <string>
#include <string_view>

#include "message/MailLines.h"
#include "message/MailRecord.h"
#include "message/MailRecordParser.h"
#include "platform/LineReader.h"

namespace zorvik::message {

class HeaderReader {
public:
  /// The first 17 characters of a deleted mail's separator line.
  static constexpr std::string_view kDeletionMarker = "From DeleteZorvik";

  /// Both must outlive the reader.
  HeaderReader(platform::LineReader& input, const MailRecordParser& parser)
      : input_(input), parser_(parser) {}

  /// Skips to the next separator line and reads the mail's header into
  /// `out` (separator and header lines, each decoded) and into `record`
  /// (a fresh record dated the parser's `now`, then parsed and post-processed
  /// with `identity`; see MailRecordParser::postProcess). The header line
  /// count is set. False when the input holds no further mail.
  bool readHeader(MailRecord& record, MailLines& out, std::string_view identity = {});

  /// Reads the body that follows readHeader into `out.body`, each line
  /// decoded, up to the next line beginning with "From " (left for the next
  /// readHeader). A decoded line that would itself begin with "From " gets
  /// ">" in front. Sets the body line count.
  void copyBody(MailRecord& record, MailLines& out);

  /// One stored line from one line of mail: encoded words and ISO-2022-JP
  /// decoded to Shift_JIS; a CR, LF or NUL that decoding produced becomes a
  /// space, so a mail can never add lines (or a forged separator) to a tray;
  /// a line that begins with "@#" only after decoding gets ">" in front, so
  /// it can never become a tag command either.
  static std::string decodeLine(std::string_view line);

private:
  bool nextLine(std::string& line);
  // Keeps a separator line read ahead for the next nextLine.
  void putBack(std::string line);

  platform::LineReader& input_;
  const MailRecordParser& parser_;
  std::string pending_;  // a line read ahead, returned by the next nextLine
  bool hasPending_ = false;
};

}  // namespace zorvik::message
