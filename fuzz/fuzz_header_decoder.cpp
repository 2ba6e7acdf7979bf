// Feeds arbitrary bytes to the header value decoder: random words, cut
// escapes and broken UTF-8 must never read outside the value or blow up.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "message/EncodedWordDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view value(reinterpret_cast<const char*>(data), size);
  const std::string decoded = zorvik::message::EncodedWordDecoder::decode(value);
  // Nothing grows by more than a replacement mark per input byte.
  if (decoded.size() > 2 * size + 8) __builtin_trap();
  return 0;
}
