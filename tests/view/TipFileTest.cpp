// The start-up tips: where the dialog stopped, a newer file, one pass at most.
#include "view/TipFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <cstdlib>
#include <fstream>

#include "platform/TextEncoding.h"
#include "support/RecordingReporter.h"
#include "support/TestEnvironment.h"

namespace zorvik::view {
namespace {

class TipFileTest : public ::testing::Test {
protected:
  void write(const std::string& text, std::time_t modified) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    const utimbuf times{modified, modified};
    ::utime(path.c_str(), &times);
  }
  std::vector<std::string> tips(TipPlace& place, int count) {
    auto file = TipFile::open(path, place, messages);
    EXPECT_TRUE(file.has_value());
    std::vector<std::string> shown;
    for (int i = 0; i < count; ++i) shown.push_back(file->next().value_or("<none>"));
    place.filePos = file->position();
    return shown;
  }

  test::ScratchDir dir;
  test::RecordingReporter reporter;
  core::Messages messages{reporter};
  std::string path = dir.file("tips.txt");
};

TEST_F(TipFileTest, PositionAdvancesWrapsAndRestartsOnANewerFile) {
  write("; comment\n\tindented\nfirst\r\n\n second\nsecond\nthird", 1000000);
  TipPlace place;
  EXPECT_EQ(tips(place, 2), (std::vector<std::string>{"first", "second"}));
  EXPECT_GT(place.filePos, 0);
  EXPECT_FALSE(place.timeStamp.empty());
  EXPECT_EQ(tips(place, 3), (std::vector<std::string>{"third", "first", "second"})) << "reopened where it stopped";

  write("; comment\n\tindented\nfirst\r\n\n second\nsecond\nthird", 2000000);  // touched
  EXPECT_EQ(tips(place, 1), (std::vector<std::string>{"first"}));

  place.filePos = 100000;  // a position the file no longer has
  EXPECT_EQ(tips(place, 1), (std::vector<std::string>{"first"}));
  ASSERT_EQ(reporter.boxes().size(), 1u);
  EXPECT_NE(reporter.boxes()[0].text.find(platform::sjisLiteral("ﾜﾝﾎﾟｲﾝﾄ")), std::string::npos);
}

TEST_F(TipFileTest, AFileWithoutTipsIsSearchedOnceAndLongTipsAreCut) {
  for (const std::string text : {"", "\n\n", "; only\n\tcomments\n \n"}) {
    write(text, 1000000);
    TipPlace place;
    EXPECT_EQ(tips(place, 2), (std::vector<std::string>{"<none>", "<none>"})) << text;
  }
  write(std::string(1500, 'x') + "\n", 1000000);
  TipPlace place;
  EXPECT_EQ(tips(place, 1)[0].size(), 1000u);
  write("日本語のワンポイント\n", 1000000);
  EXPECT_EQ(tips(place, 1)[0], platform::sjisLiteral("日本語のワンポイント"));
}

TEST_F(TipFileTest, FoundBesideTheProgramThenInTheDataFolders) {
  const std::string program = dir.file("bin");
  const std::string data = dir.file("share");
  ::mkdir(program.c_str(), 0755);
  ::mkdir(data.c_str(), 0755);
  ::mkdir((data + "/zorvik").c_str(), 0755);
  EXPECT_EQ(TipFile::find(program, "/nonexistent::" + data), "");
  std::ofstream(data + "/zorvik/tips.txt") << "tip\n";
  EXPECT_EQ(TipFile::find(program, "/nonexistent::" + data), data + "/zorvik/tips.txt");
  std::ofstream(program + "/tips.txt") << "tip\n";
  EXPECT_EQ(TipFile::find(program, data), program + "/tips.txt");
}

}  // namespace
}  // namespace zorvik::view
