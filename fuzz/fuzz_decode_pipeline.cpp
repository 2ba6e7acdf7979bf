// Feeds arbitrary bytes through every decode pipeline and the string
// codecs: random lines, cut escapes, lone lead bytes and broken groups must
// never read outside their buffers, and the outputs keep their promises.
// The first byte chooses the pipeline's three kinds; the rest is the body.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "message/Base64.h"
#include "message/ByteSink.h"
#include "message/DecodePipeline.h"
#include "message/HalfWidthKana.h"
#include "message/JapaneseCodec.h"
#include "message/QuotedPrintable.h"
#include "message/Utf8Decoder.h"

namespace {

using namespace zorvik::message;

class CountingSink : public ByteSink {
public:
  bool write(std::string_view bytes) override {
    written += bytes.size();
    return true;
  }
  std::size_t written = 0;
};

void decodePipeline(unsigned char selector, std::string_view body) {
  constexpr std::array<CharsetKind, 3> kCharsets = {CharsetKind::none, CharsetKind::iso2022jp, CharsetKind::utf8};
  DecodePipeline pipeline(static_cast<TransferKind>(1 + selector % 5), kCharsets[(selector / 5) % 3],
                          static_cast<OutputKind>((selector / 15) % 3));
  CountingSink sink;
  while (!body.empty()) {
    const std::size_t end = body.find('\n');
    const std::size_t size = end == std::string_view::npos ? body.size() : end + 1;
    pipeline.decodeAndWrite(sink, body.substr(0, size));
    body.remove_prefix(size);
  }
  pipeline.finish(sink);
}

// Every kanji run is ESC $ B, pairs of 0x21-0x7E, ESC ( B.
void checkJisRuns(std::string_view jis) {
  for (std::size_t open = jis.find("\x1B$B"); open != std::string_view::npos; open = jis.find("\x1B$B", open + 3)) {
    const std::size_t close = jis.find("\x1B(B", open + 3);
    if (close == std::string_view::npos || (close - open - 3) % 2 != 0) __builtin_trap();
    for (std::size_t i = open + 3; i < close; ++i)
      if (jis[i] < 0x21 || jis[i] > 0x7E) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view body(reinterpret_cast<const char*>(data) + 1, size - 1);
  decodePipeline(data[0], body);

  if (jisToSjis(body).size() > body.size()) __builtin_trap();
  // Only lines without ESC of their own: those are copied as text.
  if (body.find('\x1B') == std::string_view::npos) checkJisRuns(sjisToJis(body));
  sjisToJis(body, JisRuns::encodedWords);
  hankanaToZenkana(body);
  base64DecodeSkipping(body);
  if (decodeQuotedPrintable(body).size() > body.size()) __builtin_trap();
  Utf8Decoder utf8;
  std::string out;
  utf8.decode(body, out);
  utf8.finish(out);
  if (out.size() > 2 * body.size()) __builtin_trap();
  return 0;
}
