/// \file
/// The first stage of a DecodePipeline: undoes a MIME transfer encoding one
/// line at a time. A decoder carries its state (bits of an unfinished group,
/// end marks, BinHex progress) from line to line of one part; each part gets
/// a new decoder. Decoders never fail: bytes outside an encoding's alphabet
/// end the current line, and bad input at worst gives less output.
#pragma once

#include "message/ByteBuffer.h"
#include "message/DecodeWarning.h"

#include <memory>
#include <string_view>
#include <vector>

namespace zorvik::message {

/// The transfer encoding of a part, numbered as stored by the callers.
enum class TransferKind {
  uuencode = 1,
  binHex = 2,
  base64 = 3,
  quotedPrintable = 4,
  none = 5,  ///< 7bit, 8bit, binary: lines pass unchanged
};

class TransferDecoder {
public:
  virtual ~TransferDecoder() = default;

  /// The decoder for `kind`; an unknown kind passes lines unchanged.
  static std::unique_ptr<TransferDecoder> create(TransferKind kind);

  /// Decodes one line of the part's body, line end included, and appends the
  /// decoded bytes to `out`. Any length, any bytes.
  virtual void decodeLine(std::string_view line, ByteBuffer& out) = 0;

  /// What went wrong so far in this part, in order.
  const std::vector<DecodeWarning>& warnings() const { return warnings_; }

protected:
  TransferDecoder() = default;
  void warn(DecodeWarning warning) { warnings_.push_back(warning); }

private:
  std::vector<DecodeWarning> warnings_;
};

}  // namespace zorvik::message
