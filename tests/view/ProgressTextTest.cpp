// The share of the work a progress line tells.
#include "view/ProgressText.h"

#include <gtest/gtest.h>

#include "platform/TextEncoding.h"

namespace zorvik::view {
namespace {

TEST(ProgressText, PercentAndCountsAtTheEndOfTheLineAreTheOnlyShares) {
  using platform::utf8ToSjis;
  const struct {
    std::string line;
    std::optional<int> percent;
  } cases[] = {
      {utf8ToSjis("受信:3  45%"), 45},
      {utf8ToSjis("2/5 2024年 報告 80%"), 80},  // digits in the subject are no share
      {utf8ToSjis("受信中：1/4"), 0},           // the first of four begins
      {utf8ToSjis("受信中：4/4"), 75},
      {"受信中：2/4", 25},  // UTF-8, as a widget holds it
      {"7/0", std::nullopt},
      {"150%", 100},
      {utf8ToSjis("新着:12  既読:3  未読:9"), std::nullopt},
      {utf8ToSjis("BACKUP...仕事 : 1200"), std::nullopt},
      {"%", std::nullopt},
      {"", std::nullopt},
      {"12345678901%", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ProgressText::percentOf(c.line), c.percent) << platform::sjisToUtf8(c.line);
}

}  // namespace
}  // namespace zorvik::view
