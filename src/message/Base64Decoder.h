/// \file
/// Base64 transfer decoding of a mail body. The first "=" ends the data: the
/// bytes its padding completes are written and every later line of the part
/// is ignored (so trailing signatures or junk after the body never turn into
/// bytes). Any other byte outside the alphabet (space, CR, LF, NUL) ends
/// only the current line; the group position and its bits carry over to the
/// next line, so groups may be split anywhere.
#pragma once

#include "message/TransferDecoder.h"

#include <cstdint>

namespace zorvik::message {

class Base64Decoder : public TransferDecoder {
public:
  void decodeLine(std::string_view line, ByteBuffer& out) override;

  /// True once "=" was seen.
  bool ended() const { return ended_; }

private:
  // Writes the bytes the padding "=" completes.
  char* finishGroup(char* out);

  std::uint32_t bits_ = 0;  // the 6-bit values of the unfinished group
  int position_ = 0;        // 0-3 within the group of four characters
  bool ended_ = false;
};

}  // namespace zorvik::message
