#include "message/TransferDecoder.h"

#include "message/Base64Decoder.h"
#include "message/BinHexDecoder.h"
#include "message/QuotedPrintableDecoder.h"
#include "message/UuDecoder.h"

namespace zorvik::message {
namespace {

// 7bit, 8bit and binary parts: the line is the data.
class PlainDecoder : public TransferDecoder {
public:
  void decodeLine(std::string_view line, ByteBuffer& out) override { out.append(line); }
};

}  // namespace

std::unique_ptr<TransferDecoder> TransferDecoder::create(TransferKind kind) {
  switch (kind) {
    case TransferKind::uuencode:
      return std::make_unique<UuDecoder>();
    case TransferKind::binHex:
      return std::make_unique<BinHexDecoder>();
    case TransferKind::base64:
      return std::make_unique<Base64Decoder>();
    case TransferKind::quotedPrintable:
      return std::make_unique<QuotedPrintableDecoder>();
    case TransferKind::none:
      break;
  }
  return std::make_unique<PlainDecoder>();
}

}  // namespace zorvik::message
