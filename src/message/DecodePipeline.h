/// \file
/// Decodes the body of one MIME part, line by line, into a ByteSink: the
/// transfer decoding (uuencode, BinHex, base64, quoted-printable or none),
/// then the charset conversion to Shift_JIS (ISO-2022-JP, UTF-8 or none),
/// then the output form (binary, CR LF text or text/enriched). Used by MIME
/// decoding of received mail and by the extraction of files from bodies.
///
/// Every stage keeps its state between lines (bits of a base64 group, a
/// UTF-8 character cut at a line end, a CR whose LF comes with the next
/// line), so one pipeline serves one part; a new part needs a new pipeline.
/// Bad input never stops it: it writes what it can decode.
#pragma once

#include "message/ByteBuffer.h"
#include "message/ByteSink.h"
#include "message/CharsetConverter.h"
#include "message/DecodeWarning.h"
#include "message/OutputWriter.h"
#include "message/TransferDecoder.h"

#include <memory>
#include <string_view>
#include <vector>

namespace zorvik::message {

class DecodePipeline {
public:
  DecodePipeline(TransferKind transfer, CharsetKind charset, OutputKind output);

  /// Decodes one line of the part's body (with its line end, if any) and
  /// writes the result. False when the sink refused the bytes.
  bool decodeAndWrite(ByteSink& sink, std::string_view line);

  /// After the last line: writes what the stages still hold (a cut UTF-8
  /// character as the replacement, an unterminated enriched line). False
  /// when the sink refused the bytes.
  bool finish(ByteSink& sink);

  /// Problems found in the part so far (BinHex CRC mismatches).
  const std::vector<DecodeWarning>& warnings() const { return decoder_->warnings(); }

private:
  std::unique_ptr<TransferDecoder> decoder_;
  std::unique_ptr<CharsetConverter> converter_;
  std::unique_ptr<OutputWriter> writer_;
  ByteBuffer intermediate_;
};

}  // namespace zorvik::message
