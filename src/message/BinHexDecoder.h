/// \file
/// BinHex 4.0 decoding: writes the data fork of the file (the resource fork
/// and the Macintosh name, type and creator are not used). The text before
/// the "(This file must be converted with BinHex" line and before the first
/// ":" line is ignored; the closing ":" or any byte outside the alphabet ends
/// a line. Decoded bytes pass through run-length expansion (0x90 n) and then
/// through the header fields, the data fork and their CRCs.
///
/// A header CRC mismatch is reported and decoding goes on; a data CRC
/// mismatch is reported after the data were written. Both are warnings, so
/// the caller can tell the user and keep what was decoded.
#pragma once

#include "message/ByteBuffer.h"
#include "message/TransferDecoder.h"

#include <cstdint>

namespace zorvik::message {

class BinHexDecoder : public TransferDecoder {
public:
  void decodeLine(std::string_view line, ByteBuffer& out) override;

  /// Shifts one byte into the BinHex CRC (CCITT 0x1021, most significant
  /// bit first, initial 0); a stored CRC is compared after two zero bytes.
  static std::uint16_t updateCrc(std::uint16_t crc, unsigned char byte);

private:
  enum class State {
    waitTitle,     // before "(This file..."
    waitColon,     // before the line beginning with ":"
    nameLength,
    header,        // name, version, type, creator, flags
    dataLength,
    resourceLength,
    headerCrc,
    data,
    dataCrc,
    done,          // the resource fork and anything after it are ignored
  };

  // Decodes the characters of a line into expanded bytes in raw_.
  void decodeCharacters(std::string_view text, ByteBuffer& out);
  // Expands one decoded byte (0x90 run-length marks) into raw_.
  void expand(unsigned char byte);
  // Moves through the header and data states as far as raw_ allows.
  void process(ByteBuffer& out);
  // Takes `n` bytes from raw_ through the CRC; false until raw_ has them.
  bool take(std::int32_t n, std::uint32_t* value);
  // Compares the CRC with the next two bytes; false until raw_ has them.
  bool checkCrc(bool& matched);

  State state_ = State::waitTitle;
  std::uint32_t bits_ = 0;
  int bitCount_ = 0;
  bool runMark_ = false;       // a 0x90 waits for its count
  unsigned char previous_ = 0; // the byte a run repeats
  std::uint16_t crc_ = 0;
  std::uint32_t nameLength_ = 0;
  std::uint32_t dataLeft_ = 0;
  ByteBuffer raw_;
};

}  // namespace zorvik::message
