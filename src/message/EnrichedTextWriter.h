/// \file
/// Writes a text/enriched part (RFC 1896) as plain text. Formatting commands
/// are dropped except <param> (whose content is hidden) and <nofill> (inside
/// which line ends are kept); "<<" stands for "<". Outside nofill the text is
/// filled: a single line end becomes a space, and n line ends in a row give
/// n - 1 line breaks. An ISO-2022-JP kanji run (ESC $ ... ESC ( x) is copied
/// whole, so its 7-bit bytes are never read as "<" or a line end.
///
/// Lines are taken whole; the bytes after the last line end wait for the next
/// write or for finish().
#pragma once

#include "message/OutputWriter.h"

#include <string>
#include <string_view>

namespace zorvik::message {

class EnrichedTextWriter : public OutputWriter {
public:
  bool write(ByteSink& sink, ByteBuffer& buffer) override;
  bool finish(ByteSink& sink) override;

private:
  // Converts one line, its line end already made CR LF, into text_.
  void convertLine(std::string_view line);
  // Outputs the pending space before text or a command.
  void settlePending();
  void runCommand(std::string_view command);

  int paramDepth_ = 0;
  int noFillDepth_ = 0;
  int pendingBreaks_ = 0;
  ByteBuffer held_;   // bytes of a line whose end has not come yet
  std::string line_;  // the current line with CR LF, reused
  std::string text_;  // output of one write, reused
};

}  // namespace zorvik::message
