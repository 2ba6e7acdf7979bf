// Bad input for every decoder: random bytes, cut escapes, lone lead bytes,
// lines of a megabyte. Nothing may crash or read outside its buffer (the
// sanitizer build checks that), and what comes out keeps its promises.
#include "CodecTestHelpers.h"

#include "message/Base64.h"
#include "message/HalfWidthKana.h"
#include "message/JapaneseCodec.h"
#include "message/QuotedPrintable.h"
#include "message/Utf8Decoder.h"

#include <gtest/gtest.h>

#include <random>

namespace zorvik::message::test {
namespace {

constexpr std::size_t kMegabyte = 1 << 20;

// Random lines biased towards the bytes the decoders care about.
std::vector<std::string> hostileLines(std::mt19937& random) {
  static constexpr std::string_view kSpecial = "\x1B$B(IJ@\x0E\x0F=\r\n\x90\x81\x9F\xE0\xFC\xF0\xFF:`!<>";
  std::vector<std::string> lines = {"begin 644 x\n", "(This file must be converted with BinHex 4.0)\n", ":\n",
                                    "\x1B$", "\x1B", "\x1B$B4", "\x81", "=", "=3", "\xE3\x81", "\xF0\x9F\x98"};
  for (int i = 0; i < 300; ++i) {
    std::string line(random() % 90, '\0');
    for (char& c : line)
      c = random() % 3 == 0 ? kSpecial[random() % kSpecial.size()] : static_cast<char>(random());
    if (random() % 2 == 0) line += "\r\n";
    lines.push_back(line);
  }
  return lines;
}

TEST(CodecRobustness, EveryPipelineTakesRandomLines) {
  std::mt19937 random(4);
  const std::vector<std::string> lines = hostileLines(random);
  for (const TransferKind transfer : {TransferKind::uuencode, TransferKind::binHex, TransferKind::base64,
                                      TransferKind::quotedPrintable, TransferKind::none})
    for (const CharsetKind charset : {CharsetKind::none, CharsetKind::iso2022jp, CharsetKind::utf8})
      for (const OutputKind output : {OutputKind::binary, OutputKind::text, OutputKind::enriched})
        runPipeline({transfer, charset, output}, lines);
}

TEST(CodecRobustness, MegabyteLines) {
  std::mt19937 random(5);
  std::string noise(kMegabyte, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  std::string base64Text(kMegabyte, 'A');
  for (char& c : base64Text) c = kBase64Alphabet[random() % 64];
  std::string uuText = "M" + std::string(kMegabyte, 'a');
  // "3C$r" is 0x41 0x90 0xFF: a byte and a run mark repeating it to 255
  // copies, so this quarter-megabyte line expands to some 16 MB.
  std::string binHexRuns = ":";
  while (binHexRuns.size() < kMegabyte / 4) binHexRuns += "3C$r";
  const std::vector<std::string> bodies[] = {
      {noise}, {base64Text, "\r\n"}, {"begin 644 x\n", uuText, "end\n"},
      {"(This file must be converted with BinHex 4.0)\n", binHexRuns}};
  for (const std::vector<std::string>& body : bodies)
    for (const TransferKind transfer : {TransferKind::uuencode, TransferKind::binHex, TransferKind::base64,
                                        TransferKind::quotedPrintable, TransferKind::none})
      runPipeline({transfer, CharsetKind::utf8, OutputKind::text}, body);
  EXPECT_EQ(runPipeline({TransferKind::base64, CharsetKind::none, OutputKind::binary}, {base64Text}).size(),
            kMegabyte / 4 * 3);
  for (const std::vector<std::string>& body : bodies)
    for (const OutputKind output : {OutputKind::binary, OutputKind::text, OutputKind::enriched})
      runPipeline({TransferKind::none, CharsetKind::iso2022jp, output}, body);
}

TEST(CodecRobustness, StringCodecsKeepTheirPromises) {
  std::mt19937 random(6);
  for (const std::string& line : hostileLines(random)) {
    EXPECT_LE(jisToSjis(line).size(), line.size());
    EXPECT_LE(decodeQuotedPrintable(line).size(), line.size());
    EXPECT_LE(hankanaToZenkana(line).size(), 2 * line.size());
    base64DecodeSkipping(line);
    sjisToJis(line, JisRuns::encodedWords);
    // No kanji run of sjisToJis ever holds a byte outside 0x21-0x7E.
    if (line.find('\x1B') != std::string::npos) continue;
    const std::string jis = sjisToJis(line);
    for (std::size_t open = jis.find("\x1B$B"); open != std::string::npos; open = jis.find("\x1B$B", open + 3)) {
      const std::size_t close = jis.find("\x1B(B", open + 3);
      ASSERT_NE(close, std::string::npos);
      for (std::size_t i = open + 3; i < close; ++i)
        ASSERT_TRUE(jis[i] >= 0x21 && jis[i] <= 0x7E) << line;
    }
    Utf8Decoder decoder;
    std::string out;
    decoder.decode(line, out);
    decoder.finish(out);
    EXPECT_LE(out.size(), 2 * line.size());
  }
}

}  // namespace
}  // namespace zorvik::message::test
