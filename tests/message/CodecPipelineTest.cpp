// Charset conversion and output forms of the decode pipeline, the UTF-8
// decoder, the byte buffer and the file sink.
#include "CodecTestHelpers.h"

#include "message/Base64.h"
#include "message/ByteBuffer.h"
#include "message/FileByteSink.h"
#include "message/JapaneseCodec.h"
#include "message/Utf8Decoder.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace zorvik::message::test {
namespace {

const PipelineKinds kText{TransferKind::none, CharsetKind::none, OutputKind::text};
const PipelineKinds kEnriched{TransferKind::none, CharsetKind::none, OutputKind::enriched};
const PipelineKinds kUtf8Base64{TransferKind::base64, CharsetKind::utf8, OutputKind::text};
const PipelineKinds kJisText{TransferKind::quotedPrintable, CharsetKind::iso2022jp, OutputKind::text};

TEST(CodecTextWriter, EveryLineEndBecomesCrLf) {
  expectDecodes(kText, "a\rb\nc\r\nd", "a\r\nb\r\nc\r\nd", "\ne\r", "a\r\nb\r\nc\r\nd\r\ne\r\n");
  expectDecodes(kText, "\r\r\n\n", "\r\n\r\n\r\n");
}

TEST(CodecEnrichedWriter, FillsLinesAndDropsCommands) {
  expectDecodes(kEnriched, "a\r\nb\r\n", "a b");
  expectDecodes(kEnriched, "a\r\n\r\nb\r\n", "a\r\nb");
  expectDecodes(kEnriched, "a\n\n\nb\n", "a\r\n\r\nb");
  expectDecodes(kEnriched, "<bold>x</BOLD> <<y <param>hidden</param>z\r\n", "x <y z");
  // Inside nofill line ends stay; the one after </nofill> fills again.
  expectDecodes(kEnriched, "<nofill>\r\nl1\r\nl2\r\n</nofill>\r\nx\r\n", "\r\nl1\r\nl2\r\n x");
  // A "<" that never closes ends its line, line end included.
  expectDecodes(kEnriched, "a<b\r\nc\r\n", "ac");
  // Kanji runs are copied whole: the "<" and "!" inside are JIS bytes.
  expectDecodes(kEnriched, "\x1B$B<!\x1B(B<x>\r\n", "\x1B$B<!\x1B(B");
  // The last line without a line end comes out at finish.
  expectDecodes(kEnriched, "a\r\nb", "a b");
}

TEST(CodecUtf8, SplitCharacterIsConvertedWhole) {
  // 19 kana are 57 bytes; one ASCII byte first puts a character across the
  // first base64 line end.
  std::string utf8 = "x";
  for (int i = 0; i < 30; ++i) utf8 += "あ";
  const std::string body = base64MimeBody(utf8);
  ASSERT_GT(splitLines(body).size(), 2u);
  expectDecodes(kUtf8Base64, body, platform::utf8ToSjis(utf8), "QUJD\r\n");
}

TEST(CodecUtf8, FourByteCharacterLeavesTheRestIntact) {
  const PipelineKinds kinds{TransferKind::none, CharsetKind::utf8, OutputKind::binary};
  expectDecodes(kinds, "A\xF0\x9F\x98\x80" "B\xE3\x81\x82", "A" + std::string(kSjisReplacement) + "B\x82\xA0");
  // Invalid bytes: one replacement each, the next character unharmed.
  expectDecodes(kinds, "\xE3\x81" "A\xC0\xAF\xFF" "B",
                std::string(kSjisReplacement) + "A" + std::string(kSjisReplacement) +
                    std::string(kSjisReplacement) + std::string(kSjisReplacement) + "B");
  // A character cut by the end of the part becomes one replacement.
  expectDecodes(kinds, "A\xE3\x81", "A" + std::string(kSjisReplacement));
}

TEST(CodecUtf8, DecoderCarriesCutCharacters) {
  Utf8Decoder decoder;
  std::string out;
  for (const char c : std::string("\xE6\xBC\xA2\xF0\x9F\x98\x80z")) decoder.decode(std::string(1, c), out);
  decoder.finish(out);
  EXPECT_EQ(out, platform::utf8ToSjis("漢") + std::string(kSjisReplacement) + "z");
  // The characters CP932 holds are iconv's; the others become the replacement.
  EXPECT_EQ(platform::utf8ToSjis("①Ⅻ¬", kSjisReplacement), [] {
    std::string s;
    Utf8Decoder d;
    d.decode("①Ⅻ¬", s);
    return s;
  }());
}

TEST(CodecJisPipeline, EachLineCarriesItsEscapes) {
  const std::string sjis = platform::utf8ToSjis("漢字");
  expectDecodes(kJisText, "=1B$B4A;z=1B(B\r\n=1B(I1\n", sjis + "\r\n\xB1\r\n");
  // A run split over two lines starts again in ASCII mode on the second.
  expectDecodes(kJisText, "=1B$B4A\n;z\n", platform::utf8ToSjis("漢") + "\r\n;z\r\n");
}

class RefusingSink : public ByteSink {
public:
  bool write(std::string_view) override { return false; }
};

TEST(CodecPipeline, RefusedWriteIsReported) {
  DecodePipeline pipeline(TransferKind::none, CharsetKind::none, OutputKind::binary);
  RefusingSink sink;
  EXPECT_FALSE(pipeline.decodeAndWrite(sink, "line\r\n"));
}

TEST(CodecPipeline, FileSinkWritesTheDecodedPart) {
  const zorvik::test::ScratchDir dir;
  const std::string path = dir.file("添付.bin");
  {
    FileByteSink sink(path, FileByteSink::Mode::truncate);
    ASSERT_TRUE(sink.isOpen());
    DecodePipeline pipeline(TransferKind::base64, CharsetKind::none, OutputKind::binary);
    EXPECT_TRUE(pipeline.decodeAndWrite(sink, "QUJD\r\n"));
    EXPECT_TRUE(pipeline.finish(sink));
    EXPECT_TRUE(sink.close());
  }
  EXPECT_EQ(platform::readFile(path), "ABC");
  FileByteSink missing(dir.file("no/such/dir/x"), FileByteSink::Mode::append);
  EXPECT_FALSE(missing.isOpen());
  EXPECT_FALSE(missing.write("x"));
}

TEST(CodecByteBuffer, GrowsMovesAndRewinds) {
  ByteBuffer buffer;
  buffer.append("ab\r\ncd\ref\n");
  EXPECT_EQ(buffer.capacity(), 1024);
  EXPECT_EQ(buffer.findLineEnd(), 4);
  buffer.consume(4);
  EXPECT_EQ(buffer.findLineEnd(), 3);
  buffer.consume(3);
  EXPECT_EQ(buffer.copyOut(0, 3), "ef\n");
  buffer.insert(1, 'X');
  EXPECT_EQ(buffer.view(), "eXf\n");
  buffer.consume(4);
  EXPECT_TRUE(buffer.empty());
  // A CR at the very end waits for a possible LF.
  buffer.assign("x\r");
  EXPECT_EQ(buffer.findLineEnd(), -1);
  buffer.append('\n');
  EXPECT_EQ(buffer.findLineEnd(), 3);
  // Needed 3000 with capacity 1024: 3000 + 512 + 1024, down to 4096.
  buffer.append(std::string(2997, 'y'));
  EXPECT_EQ(buffer.capacity(), 4096);
  EXPECT_EQ(buffer.size(), 3000);
  // The consumed front is reused before the storage grows.
  buffer.consume(2000);
  buffer.append(std::string(3000, 'z'));
  EXPECT_EQ(buffer.capacity(), 4096);
  EXPECT_EQ(buffer.view().substr(0, 1000), std::string(1000, 'y'));
}

}  // namespace
}  // namespace zorvik::message::test
