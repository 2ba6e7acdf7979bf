// The layout store (INI file) and the layout values: reading, defaults for
// missing or damaged values, the round trip, and the merge with what
// another instance wrote meanwhile.
#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "support/TestEnvironment.h"
#include "view/LayoutStore.h"
#include "view/LayoutValues.h"

namespace zorvik::view {
namespace {

class LayoutTest : public ::testing::Test {
protected:
  std::string path() const { return scratch.file("Qel/Zorvik/registry.ini"); }
  void write(const std::string& text) const {
    platform::makeDirectories(scratch.file("Qel/Zorvik"));
    platform::writeFileAtomically(path(), text);
  }
  test::ScratchDir scratch;
};

TEST_F(LayoutTest, ReadsSectionsAndIgnoresOtherLines) {
  write("; a comment\nstray=1\n[taro-xm9]\nFRAME_L=12\r\n=no name\nnoequals\nINTRAY=仕事/会議\n[]\nX=1\n");
  const LayoutStore store(path());
  EXPECT_TRUE(store.existed());
  EXPECT_EQ(store.number("taro-xm9", "FRAME_L", 1), 12);
  EXPECT_EQ(platform::sjisToUtf8(store.text("taro-xm9", "INTRAY")), "仕事/会議");
  EXPECT_EQ(store.number("taro-xm9", "stray", 7), 7);  // before any section
  EXPECT_EQ(store.number("", "X", 0), 1);               // "[]" is the empty section
  EXPECT_EQ(store.number("taro-xm9", "MISSING", 5), 5);
  EXPECT_FALSE(LayoutStore(scratch.file("none.ini")).existed());
  EXPECT_EQ(LayoutStore::sectionName("taro\\xm9"), "taro-xm9");
  // The trail byte 0x5C of "表" is not a separator.
  const std::string hyo = platform::sjisLiteral("表");
  EXPECT_EQ(LayoutStore::sectionName(hyo + "\\VWitem"), hyo + "-VWitem");
}

TEST_F(LayoutTest, ValuesRoundTripAndDefaults) {
  const LayoutValues defaults = LayoutValues::read(LayoutStore(path()), "taro");
  EXPECT_EQ(defaults, LayoutValues{});
  EXPECT_EQ(defaults.columnWidths, (std::array<int, 5>{142, 1, 202, 105, 51}));
  EXPECT_FALSE(defaults.barStateUsable(false));

  LayoutValues values;
  values.frame = {10, 20, 810, 620};
  values.sortColumn = 7;
  values.sortDirection = 0;
  values.selectedNode = platform::sjisLiteral("仕事/会議");
  values.viewMode = 3;
  values.columnWidths = {100, 50, 300, 120, 40};
  values.treeWidth = 250;
  values.barState = "AAAA/w==";
  values.barCount = 4;
  LayoutStore store(path());
  values.write(store, "taro");
  ASSERT_TRUE(store.save());

  const LayoutValues read = LayoutValues::read(LayoutStore(path()), "taro");
  LayoutValues expected = values;
  expected.barLayoutVersion = LayoutValues::kBarLayoutVersion;  // written by this program
  EXPECT_EQ(read, expected);
  EXPECT_TRUE(read.barStateUsable(false));
  EXPECT_FALSE(read.barStateUsable(true));  // the init start asks for the default bars
  // Another account's values are its own.
  EXPECT_EQ(LayoutValues::read(LayoutStore(path()), "hanako"), LayoutValues{});
}

TEST_F(LayoutTest, DamagedValuesFallBackToDefaults) {
  write("[taro-xm9]\nFRAME_L=500\nFRAME_R=100\nLVSO_I=99\nLVSO_O=abc\nTBARVER=1400\n[taro-VWitem]\nVW_MODE=-2\n"
        "LVWIDTH02=2147483648\nTREEV_W=300\n[taro-CtrlBarA]\nState=xyz\n");
  const LayoutValues read = LayoutValues::read(LayoutStore(path()), "taro");
  EXPECT_EQ(read.frame, LayoutValues{}.frame);  // right of left: no window
  EXPECT_EQ(read.sortColumn, 3);
  EXPECT_EQ(read.sortDirection, 1);
  EXPECT_EQ(read.viewMode, 1);
  EXPECT_EQ(read.columnWidths[2], 202);
  EXPECT_EQ(read.treeWidth, 300);
  // A bar state from another version is not applied.
  EXPECT_FALSE(read.barStateUsable(false));
}

TEST_F(LayoutTest, SaveMergesWhatAnotherInstanceWrote) {
  write("[taro-xm9]\nFRAME_L=1\n[hanako-xm9]\nFRAME_L=1\n");
  LayoutStore taro(path());
  LayoutStore hanako(path());
  taro.setNumber("taro-xm9", "FRAME_L", 40);
  hanako.setNumber("hanako-xm9", "FRAME_L", 70);
  hanako.setText("CurUser", "@", platform::sjisLiteral("/home/花子/hanako.xm9"));
  ASSERT_TRUE(hanako.save());
  ASSERT_TRUE(taro.save());  // after hanako: hanako's values must survive
  const LayoutStore merged(path());
  EXPECT_EQ(merged.number("taro-xm9", "FRAME_L", 0), 40);
  EXPECT_EQ(merged.number("hanako-xm9", "FRAME_L", 0), 70);
  EXPECT_EQ(platform::sjisToUtf8(merged.text("CurUser", "@")), "/home/花子/hanako.xm9");
  // The file is UTF-8 and keeps its order: read sections first, new ones after.
  EXPECT_EQ(*platform::readFile(path()),
            "[taro-xm9]\nFRAME_L=40\n[hanako-xm9]\nFRAME_L=70\n[CurUser]\n@=/home/花子/hanako.xm9\n");
  // A value cannot break the file's lines.
  taro.setText("taro-xm9", "INTRAY", "a\nb");
  ASSERT_TRUE(taro.save());
  EXPECT_EQ(LayoutStore(path()).text("taro-xm9", "INTRAY"), "a b");
}

}  // namespace
}  // namespace zorvik::view
