#include "message/QuotedPrintableDecoder.h"

#include "message/QuotedPrintable.h"

namespace zorvik::message {

void QuotedPrintableDecoder::decodeLine(std::string_view line, ByteBuffer& out) {
  char* start = out.prepareAppend(static_cast<std::int32_t>(line.size()));
  out.commitAppend(static_cast<std::int32_t>(decodeQuotedPrintableLine(line, start)));
}

}  // namespace zorvik::message
