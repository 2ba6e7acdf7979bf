#include "platform/TextEncoding.h"

#include <gtest/gtest.h>

namespace zorvik::platform {
namespace {

TEST(TextEncoding, JapaneseRoundTripsIncludingNecAndIbmRows) {
  const std::string utf8 = "新着受信 ①Ⅹ㈱ ﾊﾝｶｸ 髙 ～";
  const std::string sjis = utf8ToSjis(utf8);
  EXPECT_EQ(sjis.substr(0, 8), "\x90\x56\x92\x85\x8E\xF3\x90\x4D");
  EXPECT_EQ(sjisToUtf8(sjis), utf8);
}

TEST(TextEncoding, UnconvertibleCharactersBecomeOneReplacementEach) {
  // An emoji is four bytes of UTF-8 and has no CP932 form: one replacement,
  // and the text after it is intact.
  EXPECT_EQ(utf8ToSjis("a\xF0\x9F\x98\x80" "b", "?"), "a?b");
  EXPECT_EQ(utf8ToSjis("a\xFF\xFE" "b", "?"), "a??b");
  EXPECT_EQ(utf8ToSjis("a\xE3\x81", "?"), "a?") << "a truncated sequence at the end";
  EXPECT_EQ(sjisToUtf8("a\x82"), "a\xEF\xBF\xBD") << "a lone lead byte";
}

TEST(TextEncoding, TextFullOfUnconvertibleCharactersStaysLinear) {
  // Hangul has no CP932 form; each character gives one replacement, and a
  // long run of them must not cost the rest of the text at every character.
  std::string hangul;
  for (int i = 0; i < 20000; ++i) hangul += "\xEA\xB0\x80";
  EXPECT_EQ(utf8ToSjis(hangul + "end", "?"), std::string(20000, '?') + "end");
  // A lead byte followed by a long run of continuation bytes.
  EXPECT_EQ(utf8ToSjis("\xE3" + std::string(600, '\x80') + "x", "?"), "?x");
}

TEST(TextEncoding, OtherCharsetsThroughIconv) {
  EXPECT_EQ(charsetToSjis("EUC-JP", "\xC6\xFC\xCB\xDC").value(), utf8ToSjis("日本"));
  EXPECT_EQ(charsetToSjis("ISO-8859-1", "caf\xE9", "?").value(), "caf?");
  EXPECT_FALSE(charsetToSjis("X-NO-SUCH-CHARSET", "abc").has_value());
}

TEST(TextEncoding, LiteralsAreConvertedOnceAndKept) {
  const std::string& first = sjisLiteral("ごみ箱");
  const std::string& second = sjisLiteral("ごみ箱");
  EXPECT_EQ(first, utf8ToSjis("ごみ箱"));
  EXPECT_EQ(&first, &second);
}

}  // namespace
}  // namespace zorvik::platform
