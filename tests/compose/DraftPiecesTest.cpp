// The small pieces of a draft: its body file numbers, the edit map kept
// beside its text, and the check of characters that will not arrive as
// written.
#include <gtest/gtest.h>

#include <fstream>

#include "compose/DraftFile.h"
#include "compose/EditMap.h"
#include "compose/SendCharacterCheck.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "support/TestEnvironment.h"

namespace zorvik::compose {
namespace {

using platform::utf8ToSjis;

TEST(DraftFile, TheFirstFreeNumberIsClaimedAndAThousandIsTheEnd) {
  test::ScratchDir scratch;
  const std::string pattern = scratch.file("ed/Txm%03d");
  EXPECT_EQ(DraftFile::create(pattern, "a\nb"), scratch.file("ed/Txm000"));
  EXPECT_EQ(platform::readFile(scratch.file("ed/Txm000")), "a\r\nb") << "text files have CR LF line ends";
  EXPECT_EQ(DraftFile::read(scratch.file("ed/Txm000")), "a\nb");
  platform::writeFileAtomically(scratch.file("ed/Txm001"), "someone else's");
  EXPECT_EQ(DraftFile::create(pattern, ""), scratch.file("ed/Txm002"));
  EXPECT_EQ(platform::readFile(scratch.file("ed/Txm001")), "someone else's") << "a taken number is passed by";
  platform::removeFile(scratch.file("ed/Txm000"));
  EXPECT_EQ(DraftFile::create(pattern, ""), scratch.file("ed/Txm000"));
  for (int number = 3; number < 1000; ++number)
    std::ofstream(platform::nativePath(DraftFile::numberedName(pattern, number)));
  EXPECT_EQ(DraftFile::create(pattern, "x"), std::nullopt);
  EXPECT_EQ(DraftFile::numberedName("/w/ed/Txm%03d", 7), "/w/ed/Txm007");
  EXPECT_EQ(DraftFile::create("/proc/none/Txm%03d", "x"), std::nullopt);
}

TEST(EditMap, TypedLinesAreKeptAsRunsAndFollowAnEdit) {
  const EditMap map{1, 4, {{0, 0}, {3, 5}}};
  EXPECT_EQ(map.format(), "1,4,0,3-5");
  EXPECT_EQ(EditMap::parse("1,4,0,3-5"), map);
  EXPECT_EQ(EditMap::parse("2,0"), (EditMap{2, 0, {}}));
  EXPECT_EQ(EditMap::parse("x,y,1"), EditMap{}) << "what is not a map gives an empty one";
  EXPECT_EQ(EditMap::parse("1,0,5-3"), (EditMap{1, 0, {}}));
  EXPECT_TRUE(map.isTyped(4));
  EXPECT_FALSE(map.isTyped(2));

  // Loaded: a quote of four lines, the second typed before. The edit adds
  // two lines at the top, removes the third and appends one.
  const std::vector<std::string> loaded{"> a", "mine", "> b", "> c"};
  const std::vector<std::string> edited{"new 1", "new 2", "> a", "mine", "> c", "bye"};
  EXPECT_EQ(EditMap::afterEdit(loaded, EditMap{1, 0, {{1, 1}}}, edited).format(), "1,0,0-1,3,5");
}

TEST(SendCharacterCheck, EveryCharacterThatWillNotArriveAsWritten) {
  // ① (87 40) and the IBM kanji 髙 (FB FC) show right only in Windows
  // readers; F040 is user-defined and 85 40 undefined: both become 〓.
  const std::string subject = utf8ToSjis("会議①");
  const std::string text = utf8ToSjis("普通の行\r\nｶﾅと") + "\xFB\xFC" + "\n" + "\xF0\x40" + " x " + "\x85\x40\n" +
                           "@#MIME \"" + utf8ToSjis("①.txt") + "\"\n";
  using Kind = CharacterFinding::Kind;
  const std::vector<CharacterFinding> expected{
      {0, 3, utf8ToSjis("①"), Kind::windowsOnly},   {2, 1, utf8ToSjis("ｶ"), Kind::halfWidthKana},
      {2, 2, utf8ToSjis("ﾅ"), Kind::halfWidthKana}, {2, 4, "\xFB\xFC", Kind::windowsOnly},
      {3, 1, "\xF0\x40", Kind::replaced},           {3, 5, "\x85\x40", Kind::replaced},
  };
  const auto findings = SendCharacterCheck::run(subject, text);
  EXPECT_EQ(findings, expected);
  EXPECT_TRUE(SendCharacterCheck::needsConsent(findings));
  EXPECT_FALSE(SendCharacterCheck::needsConsent(SendCharacterCheck::run("", utf8ToSjis("ｶﾅ"))));
  EXPECT_TRUE(SendCharacterCheck::run(utf8ToSjis("件名"), utf8ToSjis("漢字、かな、ＡＢＣ。\n")).empty());
}

}  // namespace
}  // namespace zorvik::compose
