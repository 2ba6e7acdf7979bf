#include "message/CharsetConverter.h"

#include "message/JapaneseCodec.h"
#include "message/Utf8Decoder.h"

namespace zorvik::message {
namespace {

class PassConverter : public CharsetConverter {
public:
  ByteBuffer& convert(ByteBuffer& in) override { return in; }
};

// Each call converts the whole buffer from ASCII mode: every line of a well
// formed ISO-2022-JP part carries its own escapes.
class JisConverter : public CharsetConverter {
public:
  ByteBuffer& convert(ByteBuffer& in) override {
    in.truncate(static_cast<std::int32_t>(
        jisToSjisInPlace(in.data(), static_cast<std::size_t>(in.size()))));
    return in;
  }
};

class Utf8Converter : public CharsetConverter {
public:
  ByteBuffer& convert(ByteBuffer& in) override {
    const Utf8Decoder::Progress progress =
        Utf8Decoder::convert(in.view(), out_.prepareAppend(2 * in.size()));
    out_.commitAppend(static_cast<std::int32_t>(progress.written));
    in.consume(static_cast<std::int32_t>(progress.consumed));
    return out_;
  }

  ByteBuffer& finish(ByteBuffer& in) override {
    convert(in);
    if (!in.empty()) out_.append(kSjisReplacement);
    in.clear();
    return out_;
  }

private:
  ByteBuffer out_;
};

}  // namespace

std::unique_ptr<CharsetConverter> CharsetConverter::create(CharsetKind kind) {
  if (kind == CharsetKind::iso2022jp) return std::make_unique<JisConverter>();
  if (kind == CharsetKind::utf8) return std::make_unique<Utf8Converter>();
  return std::make_unique<PassConverter>();
}

}  // namespace zorvik::message
