// The text codecs against their peers on the same 50 MB of Japanese mail
// text: ISO-2022-JP <-> Shift_JIS and UTF-8 -> Shift_JIS against glibc iconv
// (iconv(3), one call over the whole text, so its per-call cost does not
// count against it), base64 body decoding against a plain table decoder.
// Zorvik's conversions work line by line, as the pipeline calls them.
#include <benchmark/benchmark.h>

#include "message/Base64.h"
#include "message/Base64Decoder.h"
#include "message/ByteBuffer.h"
#include "message/JapaneseCodec.h"
#include "message/Utf8Decoder.h"
#include "platform/TextEncoding.h"

#include <iconv.h>

#include <cstring>
#include <random>
#include <stdexcept>
#include <string>

namespace {

using namespace zorvik;

constexpr std::size_t kTextBytes = 50u << 20;

// Shift_JIS mail text: lines of ASCII words, hiragana, katakana and level-1
// kanji (all of them characters ISO-2022-JP holds), CR LF line ends.
const std::string& sjisText() {
  static const std::string text = [] {
    std::mt19937 random(7);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    std::string out;
    out.reserve(kTextBytes + 256);
    while (out.size() < kTextBytes) {
      for (int segment = pick(1, 6); segment > 0; --segment) {
        if (pick(0, 2) == 0) {
          for (int n = pick(2, 12); n > 0; --n) out.push_back(static_cast<char>(pick('a', 'z')));
          out.push_back(' ');
          continue;
        }
        for (int n = pick(2, 15); n > 0; --n) {
          const int kind = pick(0, 2);
          if (kind == 0) {
            out += {'\x82', static_cast<char>(pick(0x9F, 0xF1))};
          } else if (kind == 1) {
            const int trail = pick(0x40, 0x96);
            out += {'\x83', static_cast<char>(trail == 0x7F ? 0x80 : trail)};
          } else {
            const int row = pick(16, 46);  // JIS rows of level-1 kanji
            const int cell = pick(1, 94);
            const std::string jis{static_cast<char>(0x20 + row), static_cast<char>(0x20 + cell)};
            out += message::jisToSjis("\x1B$B" + jis);
          }
        }
      }
      out += "\r\n";
    }
    return out;
  }();
  return text;
}

const std::string& jisText() {
  static const std::string text = [] {
    std::string out;
    out.reserve(sjisText().size() * 3 / 2);
    std::string_view rest = sjisText();
    while (!rest.empty()) {
      const std::size_t end = rest.find('\n') + 1;
      message::appendSjisToJis(out, rest.substr(0, end));
      out.push_back('\n');
      rest.remove_prefix(end);
    }
    return out;
  }();
  return text;
}

const std::string& utf8Text() {
  static const std::string text = platform::sjisToUtf8(sjisText());
  return text;
}

const std::string& base64Body() {
  static const std::string body = message::base64MimeBody(sjisText());
  return body;
}

// One iconv(3) call over all of `in` into a buffer large enough for it.
void runIconv(benchmark::State& state, const char* to, const char* from, const std::string& in) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open");
  std::string out(in.size() * 2, '\0');
  for (auto _ : state) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1))
      state.SkipWithError("iconv refused the text");
    benchmark::DoNotOptimize(outPtr);
  }
  iconv_close(cd);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * in.size()));
}

// Calls `convertLine` for every line (LF included) of `in`.
template <typename Convert>
void forEachLine(const std::string& in, Convert convertLine) {
  std::string_view rest = in;
  while (!rest.empty()) {
    const void* lf = std::memchr(rest.data(), '\n', rest.size());
    const std::size_t size = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - rest.data()) + 1 : rest.size();
    convertLine(rest.substr(0, size));
    rest.remove_prefix(size);
  }
}

void BM_JisToSjis_Zorvik(benchmark::State& state) {
  const std::string& in = jisText();
  std::string out(in.size(), '\0');
  for (auto _ : state) {
    char* w = out.data();
    forEachLine(in, [&](std::string_view line) {
      std::memcpy(w, line.data(), line.size());
      w += message::jisToSjisInPlace(w, line.size());
    });
    benchmark::DoNotOptimize(w);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * in.size()));
}

void BM_JisToSjis_Iconv(benchmark::State& state) { runIconv(state, "CP932", "ISO-2022-JP", jisText()); }

void BM_SjisToJis_Zorvik(benchmark::State& state) {
  const std::string& in = sjisText();
  std::string out;
  out.reserve(in.size() * 2);
  for (auto _ : state) {
    out.clear();
    forEachLine(in, [&](std::string_view line) { message::appendSjisToJis(out, line); });
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * in.size()));
}

void BM_SjisToJis_Iconv(benchmark::State& state) { runIconv(state, "ISO-2022-JP", "CP932", sjisText()); }

void BM_Utf8ToSjis_Zorvik(benchmark::State& state) {
  const std::string& in = utf8Text();
  std::string out(in.size() * 2, '\0');
  for (auto _ : state) {
    char* w = out.data();
    forEachLine(in, [&](std::string_view line) { w += message::Utf8Decoder::convert(line, w).written; });
    benchmark::DoNotOptimize(w);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * in.size()));
}

void BM_Utf8ToSjis_Iconv(benchmark::State& state) { runIconv(state, "CP932", "UTF-8", utf8Text()); }

void BM_Base64Decode_Zorvik(benchmark::State& state) {
  const std::string& in = base64Body();
  message::ByteBuffer out;
  for (auto _ : state) {
    message::Base64Decoder decoder;
    out.clear();
    out.prepareAppend(static_cast<std::int32_t>(in.size()));
    forEachLine(in, [&](std::string_view line) { decoder.decodeLine(line, out); });
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * in.size()));
}

// The baseline: one pass over the whole body with a value table, skipping
// every byte outside the alphabet and emitting each byte as it completes.
void BM_Base64Decode_PlainTable(benchmark::State& state) {
  const std::string& in = base64Body();
  std::string out(in.size(), '\0');
  for (auto _ : state) {
    char* w = out.data();
    std::uint32_t bits = 0;
    int count = 0;
    for (const char c : in) {
      const int v = message::base64Value(static_cast<unsigned char>(c));
      if (v < 0) continue;
      bits = (bits << 6) | static_cast<std::uint32_t>(v);
      count += 6;
      if (count < 8) continue;
      count -= 8;
      *w++ = static_cast<char>(bits >> count);
    }
    benchmark::DoNotOptimize(w);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * in.size()));
}

}  // namespace

BENCHMARK(BM_JisToSjis_Zorvik)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JisToSjis_Iconv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SjisToJis_Zorvik)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SjisToJis_Iconv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Utf8ToSjis_Zorvik)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Utf8ToSjis_Iconv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Base64Decode_Zorvik)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Base64Decode_PlainTable)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
