/// \file
/// The stored text of one received mail, built in memory while the mail is
/// decoded and written to the new-mail work file in one piece at the end: a
/// failed mail then leaves nothing half-written behind, and the header can
/// still be corrected once the whole mail is known.
///
/// Two kinds of line of the mail get ">" in front, whatever wrote them (a
/// header line, a 7bit line, a line that only appeared after base64 or
/// quoted-printable decoding):
///  - a line beginning with "From ": in a tray it would start a new mail;
///  - a line beginning with "@#": it would read as a tag command, and a
///    reply or forward of the mail would attach whatever file it names.
///    Zorvik's own reference lines are written with writeOwnLine and keep
///    their form.
/// The check works across writes, so a line cut between two writes is
/// caught too.
#pragma once

#include "message/ByteSink.h"

#include <string>
#include <string_view>

namespace zorvik::message {

class MimeOutputSink : public ByteSink {
public:
  /// Text of the mail.
  bool write(std::string_view bytes) override;
  /// One whole line of Zorvik's own, ending in CR LF, written as it is. The
  /// line begins a line of the text: an unfinished line is ended first.
  void writeOwnLine(std::string_view line);

  const std::string& text() const { return text_; }
  /// For corrections in place once the mail is complete.
  std::string& text() { return text_; }
  std::size_t size() const { return text_.size(); }
  bool endsWithLineEnd() const;

private:
  std::string text_;
  std::size_t lineStart_ = 0;  // start of the last line begun
  std::size_t scanned_ = 0;    // no line end before this position after lineStart_
  bool lineChecked_ = false;   // the last line's start was checked
};

}  // namespace zorvik::message
