#include "message/HeaderEncoder.h"

#include "message/EncodedWordDecoder.h"
#include "message/JapaneseCodec.h"
#include "platform/TextEncoding.h"

#include <gtest/gtest.h>

namespace zorvik::message {
namespace {

using platform::utf8ToSjis;

std::vector<std::string> physicalLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  lines.push_back(text.substr(start));
  return lines;
}

TEST(HeaderEncoder, ShortRunsAreOneWordEach) {
  const std::string value = utf8ToSjis("件名 abc 本");
  const std::string encoded = HeaderEncoder::encode(value);
  EXPECT_EQ(encoded, "=?ISO-2022-JP?B?GyRCN29MPhsoQg==?= abc =?ISO-2022-JP?B?GyRCS1wbKEI=?=");
  EXPECT_EQ(encoded, sjisToJis(value, JisRuns::encodedWords));
  EXPECT_EQ(HeaderEncoder::encode("Subject: plain"), "Subject: plain");
}

TEST(HeaderEncoder, LongRunsAreCutIntoFoldedWords) {
  std::string text;
  for (int i = 0; i < 5; ++i) text += "日本語の長い件名を送る";  // 55 characters
  const std::string value = "Subject: " + utf8ToSjis(text) + " end";
  const std::string encoded = HeaderEncoder::encode(value);
  const std::vector<std::string> lines = physicalLines(encoded);
  ASSERT_EQ(lines.size(), 4u);  // 18 + 18 + 18 + 1 characters
  for (const std::string& line : lines) {
    const auto word = line.find("=?");
    ASSERT_NE(word, std::string::npos) << line;
    EXPECT_LE(line.find("?=", word) + 2 - word, HeaderEncoder::kMaxWordLength) << line;
  }
  EXPECT_TRUE(lines[1].starts_with(" =?ISO-2022-JP?B?"));
  EXPECT_TRUE(lines[3].ends_with("?= end"));
  EXPECT_TRUE(platform::isAscii(encoded));
  // Unfolded as the header reader does, it decodes back to the same text.
  std::string unfolded;
  for (const std::string& line : lines) unfolded += line.substr(line.find_first_not_of(' '));
  EXPECT_EQ(EncodedWordDecoder::decode(unfolded), value);
}

TEST(HeaderEncoder, BlanksBetweenJapaneseRunsSurviveDecoding) {
  // Readers drop white space between two encoded words, so the blank
  // between two runs travels inside one word.
  for (const char* text : {"日本 語", "会議の件　 について", "a 日本  語 b", "件名\t本文"}) {
    const std::string value = utf8ToSjis(text);
    const std::string encoded = HeaderEncoder::encode(value);
    EXPECT_TRUE(platform::isAscii(encoded)) << text;
    EXPECT_EQ(EncodedWordDecoder::decode(encoded), value) << text << " -> " << encoded;
  }
  // Many blank-separated words still stay within the word length.
  std::string many;
  for (int i = 0; i < 30; ++i) many += "日本 ";
  const std::string encoded = HeaderEncoder::encode(utf8ToSjis(many));
  std::string unfolded;
  for (const std::string& line : physicalLines(encoded)) {
    const auto word = line.find("=?");
    ASSERT_NE(word, std::string::npos);
    EXPECT_LE(line.find("?=", word) + 2 - word, HeaderEncoder::kMaxWordLength) << line;
    unfolded += line.substr(line.find_first_not_of(' '));
  }
  EXPECT_EQ(EncodedWordDecoder::decode(unfolded), utf8ToSjis(many));
}

TEST(HeaderEncoder, BlanksTooManyForOneWordGoInWordsOfTheirOwn) {
  // 29 blanks and more between two runs once made the encoder loop for
  // ever: they fitted no word together with the characters after them.
  for (const std::size_t count : {28u, 29u, 36u, 42u, 43u, 84u, 200u}) {
    for (const char* blank : {" ", "\t", " \t"}) {
      std::string blanks;
      while (blanks.size() < count) blanks += blank;
      blanks.resize(count);
      const std::string value = utf8ToSjis("件") + blanks + utf8ToSjis("名") + blanks + "x";
      const std::string encoded = HeaderEncoder::encode(value);
      std::string unfolded;
      for (const std::string& line : physicalLines(encoded)) {
        for (std::size_t word = line.find("=?"), end; word != std::string::npos; word = line.find("=?", end + 2)) {
          end = line.find("?=", word + 2);
          ASSERT_NE(end, std::string::npos) << line;
          EXPECT_LE(end + 2 - word, HeaderEncoder::kMaxWordLength) << count << ": " << line;
        }
        unfolded += line.substr(line.find_first_not_of(' '));
      }
      EXPECT_TRUE(platform::isAscii(encoded));
      EXPECT_EQ(EncodedWordDecoder::decode(unfolded), value) << count << " -> " << encoded;
    }
  }
}

TEST(HeaderEncoder, HalfWidthKanaAndBrokenBytes) {
  // Half-width katakana stay 8-bit; a lead byte at the end is dropped.
  EXPECT_EQ(HeaderEncoder::encode("\xB1\xB2 x\x88"), "\xB1\xB2 x");
  EXPECT_EQ(HeaderEncoder::encode("\x88"), "");
  EXPECT_EQ(HeaderEncoder::encode(""), "");
}

}  // namespace
}  // namespace zorvik::message
