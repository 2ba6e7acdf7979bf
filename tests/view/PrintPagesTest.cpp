// The printed page: its size from the settings, the page count, the page
// header and footer, and where the page lands on the sheet.
#include "view/PrintPages.h"

#include <gtest/gtest.h>

#include "core/SettingsFile.h"
#include "core/SettingsItemTable.h"
#include "platform/TextEncoding.h"

namespace zorvik::view {
namespace {

TEST(PrintPages, PageSizeFollowsTheSettingsAndKeepsTheAPaperShape) {
  core::SettingsFile settings;  // font 12, 50 characters, margins 50/30/50/20
  const PrintPages pages(settings);
  EXPECT_EQ(pages.textWidth(), 600);
  EXPECT_EQ(pages.pageWidth(), 670);
  EXPECT_EQ(pages.pageHeight(), 947);  // 670 × 14142 / 10000
  EXPECT_EQ(pages.usableHeight(), 867);

  settings.setNumber(core::item::kPrintLineCharacters, 100);
  const PrintPages wide(settings);
  EXPECT_EQ(wide.pageWidth(), 1270);
  EXPECT_EQ(wide.pageHeight(), 1270 * 14142 / 10000);
  settings.setNumber(core::item::kPrintLineCharacters, 0);
  EXPECT_EQ(PrintPages(settings).textWidth(), 12) << "no characters per line still prints";
}

TEST(PrintPages, CountsPagesAndSlicesTheMail) {
  const PrintPages pages(12, 50, 50, 30, 50, 20);  // usable height 867
  const struct {
    int height;
    int count;
  } cases[] = {{0, 1}, {100, 1}, {867, 1}, {876, 1}, {877, 2}, {2 * 867 + 9, 2}, {2 * 867 + 10, 3}};
  for (const auto& test : cases) EXPECT_EQ(pages.pageCount(test.height), test.count) << test.height;
  EXPECT_EQ(pages.contentTop(1), 0);
  EXPECT_EQ(pages.contentTop(3), 2 * 867);
  EXPECT_EQ(pages.headerRule(), (Band{40, 45}));
  EXPECT_EQ(pages.footerRule(), (Band{50 + 867 + 10, 50 + 867 + 13}));
  EXPECT_EQ(PrintPages::footerText(2, 12), "Page 2/12");
}

TEST(PrintPages, HeaderIsCutWithoutSplittingADoubleByteCharacter) {
  const std::string subject = platform::utf8ToSjis("日本語の件名です");
  // 2 × 12 − 4 = 20 bytes: "Zorvik:" (7) and six characters (12), not half of the seventh.
  EXPECT_EQ(PrintPages(12, 12, 50, 30, 50, 20).headerText(subject), "Zorvik:" + subject.substr(0, 12));
  EXPECT_EQ(PrintPages(12, 2, 50, 30, 50, 20).headerText(subject).size(), 19u) << "never under 20 bytes";
  EXPECT_EQ(PrintPages(12, 50, 50, 30, 50, 20).headerText(subject), "Zorvik:" + subject);
}

TEST(PrintPages, PageGoesIntoThePrintableAreaWithItsShapeKept) {
  EXPECT_EQ(PrintPages::printableArea(5000, 7000, 30, 150), (DeviceRect{100, 150, 4800, 6700}));
  const PrintPages pages(12, 50, 50, 30, 50, 20);  // 670 × 947
  const DeviceRect onSheet = pages.pageOnSheet({100, 100, 4800, 9000});
  EXPECT_EQ(onSheet.width, 4800);
  EXPECT_NEAR(onSheet.height, 4800 * 947 / 670, 1);
  EXPECT_EQ(pages.pageOnSheet({100, 100, 6700, 947}).height, 947) << "the height limits a wide area";
}

}  // namespace
}  // namespace zorvik::view
