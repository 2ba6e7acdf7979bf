// Transfer decodings (base64, quoted-printable, uuencode, BinHex) through the
// pipeline, and the encoders that produce them for attachments.
#include "CodecTestHelpers.h"

#include "message/Base64.h"
#include "message/BinHexDecoder.h"
#include "message/QuotedPrintable.h"
#include "message/Uuencode.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace zorvik::message::test {
namespace {

const PipelineKinds kBase64{TransferKind::base64, CharsetKind::none, OutputKind::binary};
const PipelineKinds kQuoted{TransferKind::quotedPrintable, CharsetKind::none, OutputKind::binary};
const PipelineKinds kUu{TransferKind::uuencode, CharsetKind::none, OutputKind::binary};
const PipelineKinds kBinHex{TransferKind::binHex, CharsetKind::none, OutputKind::binary};

TEST(CodecBase64, PaddingEndsThePart) {
  expectDecodes(kBase64, "QQ==\r\n", "A", "QUJD\r\nQUJD\r\n");
  expectDecodes(kBase64, "QUI=\r\n", "AB", "QUJD\r\n");
  expectDecodes(kBase64, "QUJD\r\nREVG\r\n", "ABCDEF");
  // "=" where no bits are pending gives nothing and still ends the data.
  expectDecodes(kBase64, "QUJD\r\n=QUJD\r\nQUJD\r\n", "ABC");
}

TEST(CodecBase64, GroupsCarryAcrossLines) {
  // A group split over three lines, as some mailers fold at odd widths.
  expectDecodes(kBase64, "QU\r\nJDRE\r\nVG\r\n", "ABCDEF");
  expectDecodes(kBase64, "QUJDRA\r\n==\r\n", "ABCD", "QUJD\r\n");
}

TEST(CodecBase64, StrayCharacterEndsOnlyItsLine) {
  // The space ends the first line; "REVG" on the next line still counts.
  // (Only line by line: fed in bytes, "ZZZZ" would be a line of its own.)
  EXPECT_EQ(runPipeline(kBase64, splitLines("QUJD ZZZZ\r\nREVG\r\n")), "ABCDEF");
  EXPECT_EQ(runPipeline(kBase64, splitLines(std::string("QUJD\0ZZZZ\r\nREVG\n", 17))), "ABCDEF");
}

TEST(CodecBase64, MimeBodyLinesAndPadding) {
  const std::string content(58, 'x');
  const std::string body = base64MimeBody(content);
  const std::string firstLine = base64Encode(content.substr(0, 57)) + "\r\n";
  EXPECT_EQ(body, firstLine + "eA==\r\n\r\n");
  EXPECT_EQ(base64MimeBody(std::string(57, 'x')), firstLine + "\r\n");
  EXPECT_EQ(base64MimeBody(""), "\r\n");
  expectDecodes(kBase64, body, content);
}

TEST(CodecBase64, SkippingDecoderIgnoresEverythingOutsideTheAlphabet) {
  EXPECT_EQ(base64DecodeSkipping("QU JD\r\nRA=="), "ABCD");
  EXPECT_EQ(base64DecodeSkipping("Q"), "");
}

TEST(CodecQuotedPrintable, SoftBreaksAndEscapes) {
  expectDecodes(kQuoted, "abc=\r\ndef\r\n", "abcdef\r\n");
  expectDecodes(kQuoted, "abc=\ndef\n", "abcdef\n");
  // Lower-case digits are no escape: the "=" goes, "3d" stays.
  expectDecodes(kQuoted, "a=3db=3D\r\n", "a3db=\r\n");
  expectDecodes(kQuoted, "=1B$B=30=21\r\n", "\x1B$B0!\r\n");
  // A "=" at the very end of the part, and one before a single hex digit.
  expectDecodes(kQuoted, "x=A\r\ny=", "xA\r\ny");
}

TEST(CodecQuotedPrintable, StringFormsAgreeWithThePipeline) {
  const std::string text = "caf=E9 =\r\nau lait=3D\r\nend";
  EXPECT_EQ(decodeQuotedPrintable(text), "caf\xE9 au lait=\r\nend");
  EXPECT_EQ(runPipeline(kQuoted, splitLines(text)), decodeQuotedPrintable(text));
  EXPECT_EQ(upperHexValue('f'), -1);
  EXPECT_EQ(upperHexValue('F'), 15);
}

TEST(CodecUuencode, DecodesExactlyTheDeclaredCounts) {
  const std::string content = "The quick brown fox jumps over the lazy dog. 0123456789!";  // 56 bytes
  const std::string body = uuencodeBody(content, "fox.txt");
  ASSERT_TRUE(body.starts_with("begin 666 fox.txt\r\nM"));
  ASSERT_TRUE(body.ends_with("\r\n`\r\nend\r\n\r\n"));
  expectDecodes(kUu, "preamble\r\n" + body, content, "M86)C\r\nbegin\r\n");
  // Bytes after "end" are data only once another "begin" comes.
  const std::string again = content + content;
  expectDecodes(kUu, body, content, body, again);
}

TEST(CodecUuencode, ZeroAsSpaceOrBackQuoteAndShortLines) {
  // "!" declares one byte; space and back-quote both stand for 0.
  expectDecodes(kUu, "begin 644 z\n!``\nend\n", std::string(1, '\0'));
  expectDecodes(kUu, "begin 644 z\n!  \nend\n", std::string(1, '\0'));
  // A line cut short still gives its bytes up to the declared count: "#86)"
  // would be "abc", cut after two characters it still yields "a".
  expectDecodes(kUu, "begin 644 z\n#86\nend\n", "a");
  // A back-quote count line decodes nothing; so does an upper-case BEGIN line.
  expectDecodes(kUu, "BEGIN 644 Z\n`\n#86)C\nEND\n", "abc");
}

TEST(CodecUuencode, EncoderSplitsAt45Bytes) {
  std::string groups;
  for (int i = 0; i < 15; ++i) groups += "86%A";  // "aaa" is 24 22 5 33
  EXPECT_EQ(uuencodeBody(std::string(45, 'a'), "a"), "begin 666 a\r\nM" + groups + "\r\n`\r\nend\r\n\r\n");
  // A zero group is written with back-quotes, never spaces.
  EXPECT_EQ(uuencodeBody(std::string(1, '\0'), "z"), "begin 666 z\r\n!````\r\n`\r\nend\r\n\r\n");
}

// A test-side BinHex 4.0 writer: header, data fork, empty resource fork,
// run-length marks escaped, six bits a character, 64 characters a line.
struct BinHexFile {
  std::string name = "test.txt";
  std::string data;
  bool breakDataCrc = false;
  bool breakHeaderCrc = false;
  bool compressRuns = false;  // write runs of three or more as "b 0x90 n"
};

std::uint16_t crcOf(std::string_view bytes) {
  std::uint16_t crc = 0;
  for (const char c : bytes) crc = BinHexDecoder::updateCrc(crc, static_cast<unsigned char>(c));
  crc = BinHexDecoder::updateCrc(crc, 0);
  return BinHexDecoder::updateCrc(crc, 0);
}

void appendBigEndian(std::string& out, std::uint32_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<char>(v >> (8 * i)));
}

std::string binHexBody(const BinHexFile& file) {
  std::string header(1, static_cast<char>(file.name.size()));
  header += file.name;
  header += std::string(1, '\0') + "TEXTttxt" + std::string(2, '\0');
  appendBigEndian(header, static_cast<std::uint32_t>(file.data.size()), 4);
  appendBigEndian(header, 0, 4);
  std::string stream = header;
  appendBigEndian(stream, crcOf(header) ^ (file.breakHeaderCrc ? 1u : 0u), 2);
  stream += file.data;
  appendBigEndian(stream, crcOf(file.data) ^ (file.breakDataCrc ? 1u : 0u), 2);
  appendBigEndian(stream, crcOf(""), 2);
  std::string escaped;
  for (std::size_t i = 0; i < stream.size();) {
    const char c = stream[i];
    std::size_t run = 1;
    while (file.compressRuns && i + run < stream.size() && stream[i + run] == c && run < 255) ++run;
    if (run < 3) run = 1;
    escaped.push_back(c);
    if (static_cast<unsigned char>(c) == 0x90) escaped.push_back('\0');
    if (run > 1) escaped += std::string{'\x90', static_cast<char>(run)};
    i += run;
  }
  static constexpr std::string_view kAlphabet =
      "!\"#$%&'()*+,-012345689@ABCDEFGHIJKLMNPQRSTUVXYZ[`abcdefhijklmpqr";
  std::string chars = ":";
  std::uint32_t bits = 0;
  int count = 0;
  for (const char c : escaped) {
    bits = (bits << 8) | static_cast<unsigned char>(c);
    for (count += 8; count >= 6; count -= 6) chars.push_back(kAlphabet[(bits >> (count - 6)) & 0x3F]);
  }
  if (count > 0) chars.push_back(kAlphabet[(bits << (6 - count)) & 0x3F]);
  chars.push_back(':');
  std::string body = "(This file must be converted with BinHex 4.0)\r\n\r\n";
  for (std::size_t i = 0; i < chars.size(); i += 64) body += chars.substr(i, 64) + "\r\n";
  return body;
}

TEST(CodecBinHex, CrcIsTheCcittCrcOfBinHex) {
  EXPECT_EQ(crcOf("123456789"), 0x31C3);
}

TEST(CodecBinHex, DecodesTheDataFork) {
  BinHexFile file;
  for (int i = 0; i < 600; ++i) file.data.push_back(static_cast<char>(i * 7));
  file.data += std::string(3, '\x90');
  expectDecodes(kBinHex, "Some text first\r\n" + binHexBody(file), file.data, "(This file\r\n:!!!!\r\n");
  DecodePipeline pipeline(kBinHex.transfer, kBinHex.charset, kBinHex.output);
  StringSink sink;
  for (const std::string& line : splitLines(binHexBody(file))) pipeline.decodeAndWrite(sink, line);
  EXPECT_TRUE(pipeline.warnings().empty());
}

TEST(CodecBinHex, RunLengthMarks) {
  // 0x90 n repeats the previous byte to n in all, a literal 0x90 is 0x90 0,
  // and a run of 0x90 itself repeats the literal.
  BinHexFile file;
  file.compressRuns = true;
  file.data = std::string(200, 'a') + "bc" + std::string(5, '\x90') + std::string(300, '\0') + "z";
  expectDecodes(kBinHex, binHexBody(file), file.data);
}

TEST(CodecBinHex, WrongCrcsAreWarningsAndTheDataStays) {
  BinHexFile file;
  file.data = "Data that must survive a bad CRC.";
  for (const bool headerBroken : {false, true}) {
    file.breakHeaderCrc = headerBroken;
    file.breakDataCrc = !headerBroken;
    DecodePipeline pipeline(kBinHex.transfer, kBinHex.charset, kBinHex.output);
    StringSink sink;
    for (const std::string& line : splitLines(binHexBody(file))) pipeline.decodeAndWrite(sink, line);
    EXPECT_EQ(sink.text, file.data);
    ASSERT_EQ(pipeline.warnings().size(), 1u);
    EXPECT_EQ(pipeline.warnings()[0],
              headerBroken ? DecodeWarning::binHexHeaderCrc : DecodeWarning::binHexDataCrc);
    EXPECT_TRUE(warningText(pipeline.warnings()[0]).starts_with("BinHex4.0 :\n"));
  }
}

}  // namespace
}  // namespace zorvik::message::test
