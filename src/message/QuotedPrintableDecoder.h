/// \file
/// Quoted-printable transfer decoding of a mail body, line by line (see
/// decodeQuotedPrintableLine for the rules). Lines carry no state.
#pragma once

#include "message/TransferDecoder.h"

namespace zorvik::message {

class QuotedPrintableDecoder : public TransferDecoder {
public:
  void decodeLine(std::string_view line, ByteBuffer& out) override;
};

}  // namespace zorvik::message
