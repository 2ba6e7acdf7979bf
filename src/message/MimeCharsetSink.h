/// \file
/// A ByteSink that converts text in a charset the decode pipeline does not
/// know (EUC-JP, ISO-8859-*, windows-125*, ...) to Shift_JIS before passing
/// it on. It converts whole lines, so a multi-byte character is never cut
/// between two conversions; the charsets it serves never carry a line-end
/// byte inside a character.
#pragma once

#include "message/ByteSink.h"

#include <string>
#include <string_view>

namespace zorvik::message {

class MimeCharsetSink : public ByteSink {
public:
  MimeCharsetSink(ByteSink& target, std::string charset);

  /// Passes on every complete line of what has come so far, converted.
  bool write(std::string_view bytes) override;
  /// Passes on the last, unterminated line.
  bool finish();

private:
  bool pass(std::string_view text);

  ByteSink& target_;
  std::string charset_;
  std::string pending_;  // the unfinished line
};

}  // namespace zorvik::message
