// What the sorting-log window shows of a long log.
#include "view/SortingLogExcerpt.h"

#include <gtest/gtest.h>

#include "platform/TextEncoding.h"

namespace zorvik::view {
namespace {

TEST(SortingLogExcerpt, ACutLogStartsAtItsFirstWholeLineAndAWholeOneIsShownWhole) {
  const std::string text = platform::utf8ToSjis("2026-02/10 09:30:00|受自|新着受信\\id@x → 仕事");
  const std::string line = text + "\r\n";
  const std::string log = line + line + line;
  EXPECT_EQ(SortingLogExcerpt::shown(log, log.size()), text + "\n" + text + "\n" + text + "\n");
  // Cut between the arrow's two bytes: the broken line goes, the rest stays.
  const std::string tail = log.substr(line.find(platform::utf8ToSjis("→")) + 1);
  EXPECT_EQ(SortingLogExcerpt::shown(tail, log.size() + 100), text + "\n" + text + "\n");
  EXPECT_EQ(SortingLogExcerpt::shown("no line end", 1000), "");
}

}  // namespace
}  // namespace zorvik::view
