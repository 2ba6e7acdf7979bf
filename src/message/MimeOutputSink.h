/// \file
/// The stored text of one received mail, built in memory while the mail is
/// decoded and written to the new-mail work file in one piece at the end: a
/// failed mail then leaves nothing half-written behind, and the header can
/// still be corrected once the whole mail is known.
///
/// Every line that begins with "From " gets ">" in front, whatever wrote it
/// (a header line, a 7bit line, a line that only appeared after base64 or
/// quoted-printable decoding): in a tray such a line would start a new mail.
/// The check works across writes, so a "From " cut between two writes is
/// caught too.
#pragma once

#include "message/ByteSink.h"

#include <string>
#include <string_view>

namespace zorvik::message {

class MimeOutputSink : public ByteSink {
public:
  bool write(std::string_view bytes) override;

  const std::string& text() const { return text_; }
  /// For corrections in place once the mail is complete.
  std::string& text() { return text_; }
  std::size_t size() const { return text_.size(); }
  bool endsWithLineEnd() const;

private:
  std::string text_;
  std::size_t lineStart_ = 0;  // start of the last line begun
  std::size_t scanned_ = 0;    // no line end before this position after lineStart_
  bool lineChecked_ = false;   // the last line's start was checked for "From "
};

}  // namespace zorvik::message
