#include "message/EncodedWordDecoder.h"

#include "message/JapaneseCodec.h"
#include "message/RawHeaderText.h"
#include "platform/TextEncoding.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace zorvik::message {
namespace {

using platform::utf8ToSjis;

// Decoded, and shown as UTF-8 so that failures are readable.
std::string decoded(std::string_view value) {
  return platform::sjisToUtf8(EncodedWordDecoder::decode(value));
}

constexpr std::string_view kTestWord = "=?ISO-2022-JP?B?GyRCJUYlOSVIGyhC?=";  // テスト

TEST(HeaderDecoder, Iso2022JpWordsInAnyLetterCase) {
  EXPECT_EQ(decoded(kTestWord), "テスト");
  EXPECT_EQ(decoded("=?iso-2022-jp?b?GyRCJUYlOSVIGyhC?="), "テスト");
  EXPECT_EQ(decoded("=?ISO-2022-JP?Q?=1B$B%F%9%H=1B(B?="), "テスト");
  EXPECT_EQ(EncodedWordDecoder::decode(kTestWord), utf8ToSjis("テスト"));
}

TEST(HeaderDecoder, TextAroundWordsIsKept) {
  EXPECT_EQ(decoded("Re: " + std::string(kTestWord) + " [ml:12]"), "Re: テスト [ml:12]");
  EXPECT_EQ(decoded("plain ASCII = ? text"), "plain ASCII = ? text");
  // Raw ISO-2022-JP outside any word is converted too.
  EXPECT_EQ(decoded("a \x1b$B%F%9%H\x1b(B b"), "a テスト b");
}

TEST(HeaderDecoder, SpaceBetweenTwoWordsOnlySeparatesThem) {
  const std::string two = std::string(kTestWord) + " \t" + std::string(kTestWord);
  EXPECT_EQ(decoded(two), "テストテスト");
  EXPECT_EQ(decoded(std::string(kTestWord) + std::string(kTestWord)), "テストテスト");
  // Before plain text, or before a word this decoder leaves alone, the space stays.
  EXPECT_EQ(decoded(std::string(kTestWord) + " =?ISO-8859-15?Q?a?="), "テスト =?ISO-8859-15?Q?a?=");
}

TEST(HeaderDecoder, WordsNotReadAreLeftAsText) {
  for (const char* value : {"=?ISO-8859-15?Q?caf=E9?=", "=?ISO-2022-JP?X?abc?=", "=?UTF-8?B",
                            "=?UTF-8", "=?", "=?ISO-2022-JP-2?B?GyRCJUYbKEI=?=", "=?US-ASCII?BB?x?="})
    EXPECT_EQ(decoded(value), value);
}

TEST(HeaderDecoder, QWords) {
  EXPECT_EQ(decoded("=?US-ASCII?Q?a_b=3Dc?="), "a b=c");
  // Lower-case hex is not an escape: the "=" is dropped, the digits stay.
  EXPECT_EQ(decoded("=?US-ASCII?Q?x=3dy?="), "x3dy");
  EXPECT_EQ(decoded("=?US-ASCII?Q?end=?="), "end");
  EXPECT_EQ(decoded("=?US-ASCII?Q?end=4?="), "end4");
  EXPECT_EQ(decoded("=?US-ASCII?Q?a?b?="), "a?b");
}

TEST(HeaderDecoder, BWordsSkipWhatIsNotBase64) {
  EXPECT_EQ(decoded("=?US-ASCII?B?a G V s b G 8=?="), "hello");
  EXPECT_EQ(decoded("=?US-ASCII?B?aGVsbG8?="), "hello");  // no padding
  EXPECT_EQ(decoded("=?US-ASCII?B?" "?="), "");
}

TEST(HeaderDecoder, MissingEndDecodesTheRest) {
  EXPECT_EQ(decoded("Subject: =?ISO-2022-JP?B?GyRCJUYlOSVIGyhC"), "Subject: テスト");
  EXPECT_EQ(decoded("=?US-ASCII?Q?tail_text"), "tail text");
}

TEST(HeaderDecoder, Utf8CharacterSplitOverWords) {
  // "あい" is E3 81 82 E3 81 84, cut inside both characters.
  EXPECT_EQ(decoded("=?UTF-8?B?44E=?= =?UTF-8?B?guM=?=\t=?utf-8?b?gYQ=?="), "あい");
  EXPECT_EQ(decoded("=?UTF-8?Q?=E3=81?==?UTF-8?Q?=82?="), "あ");
  // When text comes between, the cut character cannot be completed.
  EXPECT_EQ(decoded("=?UTF-8?Q?=E3=81?= x =?UTF-8?Q?=82?="), "〓 x 〓");
  EXPECT_EQ(decoded("=?UTF-8?Q?=E3=81?="), "〓");
  EXPECT_EQ(decoded("=?UTF-8?Q?=E3=81?= =?US-ASCII?Q?a?="), "〓a");
}

TEST(HeaderDecoder, LatinLettersNeverPairWithTheNextByte) {
  // In Shift_JIS the byte 0xE9 ("é" in Latin-1) starts a double-byte
  // character; copied as it is, it would eat the space after it.
  EXPECT_EQ(decoded("=?ISO-8859-1?Q?caf=E9?= au lait"), "caf〓 au lait");
  EXPECT_EQ(decoded("=?ISO-8859-1?Q?=B1=D7?="), "±×");
  EXPECT_EQ(decoded("=?ISO-8859-2?Q?Pawe=B3?="), "Pawe〓");
}

// Raw header bytes are UTF-8 only when the whole line is well-formed UTF-8
// with something beyond ASCII; anything doubtful stays as it came. Each
// line of a folded field is decided on its own.
TEST(HeaderDecoder, OnlyWholeUtf8LinesOfRawTextAreConverted) {
  struct Case {
    std::string raw;
    std::string expected;  // Shift_JIS
  };
  const std::string katakanaPair = "\xC4\xB3";  // ﾄｳ in Shift_JIS, also "ĳ" in UTF-8
  for (const Case& c : std::vector<Case>{
           {"Re: 日本語\r\n", utf8ToSjis("Re: 日本語\r\n")},
           {katakanaPair, "\x81\xAC"},                          // taken as UTF-8: code page 932 has no ĳ
           {"\xE6\x97\xA5\xE6\x9C", "\xE6\x97\xA5\xE6\x9C"},  // the last character cut
           {"\xC0\xAE\xC0\xAE/", "\xC0\xAE\xC0\xAE/"},          // overlong "../"
           {"\xED\xA0\x80", "\xED\xA0\x80"},                      // a surrogate
           {"\xF4\x90\x80\x80", "\xF4\x90\x80\x80"},            // past U+10FFFF
           {utf8ToSjis("日本語") + " 日本語", utf8ToSjis("日本語") + " 日本語"},  // Shift_JIS beside UTF-8
           {utf8ToSjis("件名") + "\r\n 続き\r\n", utf8ToSjis("件名\r\n 続き\r\n")},
           {"plain\r\n", "plain\r\n"}})
    EXPECT_EQ(RawHeaderText::toSjis(c.raw), c.expected) << platform::sjisToUtf8(c.raw);
}

TEST(HeaderDecoder, HostileInputNeverBreaksOut) {
  std::mt19937 random(20261207);
  std::uniform_int_distribution<int> byte(0, 255);
  const std::string prefixes[] = {"=?UTF-8?B?", "=?UTF-8?Q?", "=?ISO-2022-JP?Q?", "=?ISO-8859-1?Q?", ""};
  for (int round = 0; round < 500; ++round) {
    std::string value = prefixes[round % 5];
    const int length = byte(random);
    for (int i = 0; i < length; ++i) value += static_cast<char>(byte(random));
    const std::string result = EncodedWordDecoder::decode(value);
    EXPECT_LE(result.size(), 2 * value.size() + 8);
  }
  // Truncated escapes, lone lead bytes and shift bytes at the end.
  for (const char* value : {"\x1b", "\x1b$", "\x1b$B", "\x1b$B%", "\x0e", "\x83", "=?UTF-8?Q?=E3",
                            "=?ISO-2022-JP?B?GyRCJUY"})
    EncodedWordDecoder::decode(value);
}

TEST(HeaderDecoder, MegabyteLines) {
  std::string words;
  while (words.size() < (1u << 20)) words += std::string(kTestWord) + " ";
  // The spaces between words go; the one after the last word stays.
  EXPECT_EQ(EncodedWordDecoder::decode(words).size(), words.size() / (kTestWord.size() + 1) * 6 + 1);
  const std::string unterminated = "=?UTF-8?B?" + std::string(1u << 20, 'Q');
  EXPECT_FALSE(EncodedWordDecoder::decode(unterminated).empty());
  const std::string starts(1u << 20, '=');
  EXPECT_EQ(EncodedWordDecoder::decode(starts), starts);
  std::string candidates;
  while (candidates.size() < (1u << 20)) candidates += "=?UTF-8?";
  EXPECT_EQ(EncodedWordDecoder::decode(candidates), candidates);
}

}  // namespace
}  // namespace zorvik::message
