#include "message/HeaderFolding.h"

#include <gtest/gtest.h>

#include <vector>

namespace zorvik::message {
namespace {

constexpr std::string_view kBreak = "\r\n\t";

std::vector<std::string> physicalLines(const std::string& folded) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (true) {
    const auto end = folded.find(kBreak, start);
    lines.push_back(folded.substr(start, end - start));
    if (end == std::string::npos) return lines;
    start = end + kBreak.size();
  }
}

std::string unfolded(std::string folded) {
  for (auto at = folded.find(kBreak); at != std::string::npos; at = folded.find(kBreak, at))
    folded.erase(at, kBreak.size());
  return folded;
}

// "To: " and `count` addresses of 25 characters each, comma-separated.
std::string addressLine(std::string_view name, int count) {
  std::string line(name);
  for (int i = 0; i < count; ++i) {
    if (i > 0) line += ",";
    char address[32];
    std::snprintf(address, sizeof address, "user%04d@example.ne.jp", i);
    line += address;
    line += "  ";
  }
  return line;
}

void expectFoldedAtCommas(const std::string& line, std::size_t expectedLines) {
  const std::string folded = HeaderFolding::foldAddressLine(line);
  EXPECT_EQ(unfolded(folded), line);
  const auto lines = physicalLines(folded);
  ASSERT_EQ(lines.size(), expectedLines);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_LE(lines[i].size() + (i > 0 ? 1 : 0), HeaderFolding::kLineLimit) << i;
    if (i + 1 < lines.size()) {
      EXPECT_EQ(lines[i].back(), ',') << i;
    }
  }
}

TEST(HeaderFolding, LongToLineBreaksAfterCommas) {
  const std::string line = addressLine("To: ", 100);  // 2,503 characters
  ASSERT_GT(line.size(), 2500u);
  expectFoldedAtCommas(line, 3);
  expectFoldedAtCommas(addressLine("Cc: ", 100) + "\r\n", 3);
  expectFoldedAtCommas(addressLine("CC: ", 100), 3);
}

TEST(HeaderFolding, ShortAndOtherLinesStayAsTheyAre) {
  const std::string shortTo = addressLine("To: ", 10);
  EXPECT_EQ(HeaderFolding::foldAddressLine(shortTo), shortTo);
  const std::string subject = addressLine("Subject: ", 100);
  EXPECT_EQ(HeaderFolding::foldAddressLine(subject), subject);
  const std::string bcc = addressLine("Bcc: ", 100);
  EXPECT_EQ(HeaderFolding::foldAddressLine(bcc), bcc);
  EXPECT_EQ(HeaderFolding::foldAddressLine(""), "");
}

TEST(HeaderFolding, CommasInQuotesAndBracketsDoNotBreak) {
  std::string line = "To: ";
  for (int i = 0; i < 60; ++i) line += "\"Yamada, Taro, " + std::to_string(i) + "\" <a,b" + std::to_string(i) + "@x>,";
  line.pop_back();
  const std::string folded = HeaderFolding::foldAddressLine(line);
  EXPECT_EQ(unfolded(folded), line);
  for (const std::string& physical : physicalLines(folded)) {
    // Every physical line holds whole entries: it ends after a closing ">".
    EXPECT_EQ(physical.back() == ',' ? physical[physical.size() - 2] : physical.back(), '>');
  }
}

TEST(HeaderFolding, OverlongAddressGetsALineOfItsOwn) {
  const std::string huge(1500, 'h');
  const std::string line = "To: a@x," + huge + "@x,b@x";
  const std::string folded = HeaderFolding::foldAddressLine(line);
  EXPECT_EQ(folded, "To: a@x,\r\n\t" + huge + "@x,\r\n\tb@x");
}

TEST(HeaderFolding, LongLastAddressMovesToItsOwnLine) {
  const std::string line = addressLine("To: ", 39) + "," + std::string(100, 'z') + "@x";
  expectFoldedAtCommas(line, 2);
  EXPECT_TRUE(physicalLines(HeaderFolding::foldAddressLine(line)).back().starts_with("zzz"));
}

}  // namespace
}  // namespace zorvik::message
