/// \file
/// Uudecoding of a mail body (x-uuencode parts and uuencoded text). A line
/// beginning with "begin" switches decoding on, one beginning with "end"
/// switches it off; lines outside are ignored. Each data line starts with
/// its byte count (a character from space to "_"; anything else, the
/// back-quote included, counts 0) and gives exactly that many bytes, even
/// when the line is cut short: the bits of a last incomplete group are used
/// as far as they go.
#pragma once

#include "message/TransferDecoder.h"

namespace zorvik::message {

class UuDecoder : public TransferDecoder {
public:
  void decodeLine(std::string_view line, ByteBuffer& out) override;

private:
  bool on_ = false;
};

}  // namespace zorvik::message
