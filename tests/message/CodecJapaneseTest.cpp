// ISO-2022-JP <-> Shift_JIS string conversions and half-width katakana.
#include "message/HalfWidthKana.h"
#include "message/JapaneseCodec.h"
#include "platform/TextEncoding.h"

#include <gtest/gtest.h>

#include <map>

namespace zorvik::message {
namespace {

// Shift_JIS of the UTF-8 literals used below, converted once.
const std::string& sjis(const char* utf8) {
  static std::map<std::string, std::string> cache;
  auto [it, inserted] = cache.try_emplace(utf8);
  if (inserted) it->second = platform::utf8ToSjis(utf8);
  return it->second;
}

const std::string kKanjiJis = "\x1B$B4A;z\x1B(B";  // 漢字

TEST(CodecJisToSjis, EscapesSelectTheModes) {
  EXPECT_EQ(jisToSjis("a" + kKanjiJis + "b"), "a" + sjis("漢字") + "b");
  EXPECT_EQ(jisToSjis("\x1B$@4A\x1B(Jx"), sjis("漢") + "x");
  EXPECT_EQ(jisToSjis("\x1B(I1\x1B(B1"), "\xB1" "1");
  EXPECT_EQ(jisToSjis("\x0E" "1\x0F" "1"), "\xB1" "1");
  // Kanji mode ends at ESC ( I; katakana mode at ESC $ B.
  EXPECT_EQ(jisToSjis("\x1B$B4A\x1B(I1\x1B$B;z"), sjis("漢") + "\xB1" + sjis("字"));
}

TEST(CodecJisToSjis, UnknownAndTruncatedEscapesLoseOnlyTheEsc) {
  EXPECT_EQ(jisToSjis("a\x1B(Zb"), "a(Zb");
  EXPECT_EQ(jisToSjis("a\x1B"), "a");
  EXPECT_EQ(jisToSjis("a\x1B$"), "a$");
  EXPECT_EQ(jisToSjis("a\x1B("), "a(");
}

TEST(CodecJisToSjis, BrokenRunsKeepTheLineEnd) {
  // A run that is never closed, as broken mailers send it: the line end
  // survives and the half character before it goes.
  EXPECT_EQ(jisToSjis("\x1B$B4A\r\n"), sjis("漢") + "\r\n");
  EXPECT_EQ(jisToSjis("\x1B$B4A;\r\n"), sjis("漢") + "\r\n");
  EXPECT_EQ(jisToSjis("\x1B$B4A;"), sjis("漢"));
  EXPECT_EQ(jisToSjis("\x1B(I12\r\n"), "\xB1\xB2\r\n");
  // Bytes that would make Shift_JIS lead bytes stay as they are.
  EXPECT_EQ(jisToSjis("\x1B(I1~\xB1"), "\xB1~\xB1");
  // 8-bit text (Shift_JIS mislabelled as ISO-2022-JP) passes unchanged.
  EXPECT_EQ(jisToSjis(sjis("漢字")), sjis("漢字"));
}

TEST(CodecJisToSjis, InPlaceNeverGrows) {
  std::string text = "x" + kKanjiJis + "\x1B(I1\x1B(By";
  const std::size_t size = jisToSjisInPlace(text.data(), text.size());
  EXPECT_EQ(text.substr(0, size), "x" + sjis("漢字") + "\xB1y");
}

TEST(CodecSjisToJis, RunsAreEscaped) {
  EXPECT_EQ(sjisToJis("a" + sjis("漢字") + "b"), "a" + kKanjiJis + "b");
  EXPECT_EQ(sjisToJis(sjis("漢字")), kKanjiJis);
  // Half-width katakana leave as 8-bit bytes; the line stops at LF.
  EXPECT_EQ(sjisToJis("\xB1" + sjis("漢字") + "\xB1\r\nrest"), "\xB1" + kKanjiJis + "\xB1\r");
  // A lone lead byte at the end is dropped, the open run still closed.
  EXPECT_EQ(sjisToJis(sjis("漢字") + "\x8A"), kKanjiJis);
  EXPECT_EQ(sjisToJis(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(CodecSjisToJis, EncodedWordsReplaceEachRun) {
  const std::string line = sjis("漢字") + " abc " + sjis("字");
  const std::string expected = encodedWord(kKanjiJis) + " abc " + encodedWord("\x1B$B;z\x1B(B");
  EXPECT_EQ(sjisToJis(line, JisRuns::encodedWords), expected);
  EXPECT_EQ(encodedWord(kKanjiJis), "=?ISO-2022-JP?B?GyRCNEE7ehsoQg==?=");
  EXPECT_EQ(sjisToJis("plain", JisRuns::encodedWords), "plain");
}

TEST(CodecSjisToJis, CodesOutsideJisX0208) {
  // NEC row 13 goes out at its natural JIS row 13 position.
  EXPECT_EQ(sjisToJis(sjis("①")), "\x1B$B-!\x1B(B");
  // IBM extensions go out as their NEC equivalents: the small Roman numeral
  // one as the NEC-selected 0xEEEF, the Roman numeral one as NEC row 13,
  // the first IBM kanji as 0xED40, the last one 0xFC4B as 0xEEEC.
  EXPECT_EQ(jisToSjis(sjisToJis("\xFA\x40")), "\xEE\xEF");
  EXPECT_EQ(jisToSjis(sjisToJis("\xFA\x4A")), "\x87\x54");
  EXPECT_EQ(jisToSjis(sjisToJis("\xFA\x5C")), "\xED\x40");
  EXPECT_EQ(jisToSjis(sjisToJis("\xFC\x4B")), "\xEE\xEC");
  // User-defined characters, undefined codes and impossible trail bytes
  // become the geta mark; an impossible trail byte stays a character.
  EXPECT_EQ(sjisToJis("\xF0\x40"), "\x1B$B\".\x1B(B");
  EXPECT_EQ(sjisToJis("\xFC\x4C"), "\x1B$B\".\x1B(B");
  EXPECT_EQ(sjisToJis("\xFF\xFF"), "\x1B$B\".\x1B(B");
  EXPECT_EQ(sjisToJis("\x81\x1B" "a"), "\x1B$B\".\x1B(B\x1B" "a");
  EXPECT_EQ(jisToSjis("\x1B$B" + std::string(kJisReplacement) + "\x1B(B"), kSjisReplacement);
}

// Every pair of bytes after every lead byte gives a clean 7-bit run: only
// bytes 0x21-0x7E, in pairs, between ESC $ B and ESC ( B.
TEST(CodecSjisToJis, EveryLeadAndTrailGivesAValidRun) {
  for (int lead = 0x80; lead <= 0xFF; ++lead) {
    if (lead >= 0xA0 && lead < 0xE0) continue;
    for (int trail = 0; trail <= 0xFF; ++trail) {
      if (trail == '\n') continue;
      const std::string jis = sjisToJis(std::string{static_cast<char>(lead), static_cast<char>(trail)});
      ASSERT_TRUE(jis.starts_with("\x1B$B")) << lead << " " << trail;
      const std::size_t close = jis.find("\x1B(B", 3);
      ASSERT_NE(close, std::string::npos);
      ASSERT_EQ((close - 3) % 2, 0u);
      for (std::size_t i = 3; i < close; ++i) {
        const auto c = static_cast<unsigned char>(jis[i]);
        ASSERT_TRUE(c >= 0x21 && c <= 0x7E) << lead << " " << trail;
      }
    }
  }
}

// The IBM extensions come back as codes CP932 reads as the same characters.
TEST(CodecSjisToJis, IbmExtensionsKeepTheirCharacters) {
  for (int lead = 0xFA; lead <= 0xFC; ++lead) {
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F || (lead == 0xFC && trail > 0x4B)) continue;
      const std::string ibm{static_cast<char>(lead), static_cast<char>(trail)};
      const std::string back = jisToSjis(sjisToJis(ibm));
      EXPECT_NE(back, ibm);
      EXPECT_EQ(platform::sjisToUtf8(back), platform::sjisToUtf8(ibm)) << lead << " " << trail;
    }
  }
}

TEST(CodecHalfWidthKana, BecomesFullWidthOneForOne) {
  EXPECT_EQ(hankanaToZenkana("\xB6\xDE\xDF"), sjis("カ゛゜"));
  EXPECT_EQ(hankanaToZenkana("\xA1\xA2\xA3\xA4\xA5\xA6\xA7\xAF\xB0\xDC\xDD"), sjis("。「」、・ヲァッーワン"));
  EXPECT_EQ(hankanaToZenkana("a\xA0" "b"), "a b");
  // Trail bytes in the katakana range belong to their double-byte character.
  EXPECT_EQ(hankanaToZenkana(sjis("あ") + "\xB1" + sjis("ソ")), sjis("あアソ"));
}

}  // namespace
}  // namespace zorvik::message
