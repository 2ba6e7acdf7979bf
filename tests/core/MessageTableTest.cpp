#include "core/MessageTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "platform/TextEncoding.h"

namespace zorvik::core {
namespace {

constexpr int kFirstNumber = 40000;
constexpr int kLastNumber = 44999;

// The conversion specifications of a text, "%%" included, in order; an
// unfinished one at the end comes back as "%". Scanning Shift_JIS bytes for
// '%' is safe: 0x25 is never the second byte of a double-byte character.
std::vector<std::string> placeholders(const std::string& text) {
  std::vector<std::string> found;
  for (std::size_t i = text.find('%'); i != std::string::npos; i = text.find('%', i)) {
    std::size_t end = i + 1;
    while (end < text.size() && text[end] == 'l') ++end;
    if (end < text.size()) ++end;
    found.push_back(text.substr(i, end - i));
    i = end;
  }
  return found;
}

TEST(MessageTable, EveryMessageIsFoundAndNothingOutsideTheRange) {
  // A misplaced entry in the source table would make the binary search miss
  // it (or a neighbour), which shows up as a smaller count here.
  int found = 0;
  for (int r = kFirstNumber; r <= kLastNumber; ++r) {
    if (messageText(r) != nullptr) ++found;
  }
  EXPECT_GE(found, 150);
  EXPECT_NE(messageText(40121), nullptr);  // the lowest number
  EXPECT_EQ(messageText(40225), nullptr);  // named, but never given a text
  EXPECT_EQ(messageText(kFirstNumber - 1), nullptr);
  EXPECT_EQ(messageText(kLastNumber + 1), nullptr);
  EXPECT_EQ(messageText(0), nullptr);
  EXPECT_EQ(messageText(-40804), nullptr);
  EXPECT_EQ(messageText(804), nullptr);  // n, not R
}

TEST(MessageTable, TextsAreExactShiftJisBytes) {
  // Written as bytes so that neither the table nor the converter is trusted.
  EXPECT_EQ(*messageText(40804),
            "\x8A\xC2\x8B\xAB\x90\xDD\x92\xE8\x83\x74\x83\x40\x83\x43\x83\x8B\x81\x75\x25\x73"
            "\x81\x76\x82\xC9\x8F\x91\x82\xAB\x8D\x9E\x82\xDF\x82\xDC\x82\xB9\x82\xF1\x81\x42");
  // Two line feeds and the ideographic space (81 40) after the colon.
  EXPECT_EQ(*messageText(40190),
            "\x8C\xC2\x95\xCA\x90\xDD\x92\xE8\x83\x74\x83\x40\x83\x43\x83\x8B\x81\x75\x25\x73"
            "\x81\x76\x0A\x81\x75\x25\x64\x81\x76\x8D\x73\x20\x3A\x81\x40\x81\x75\x25\x73\x81"
            "\x76\x82\xCC\x83\x47\x83\x89\x81\x5B\x82\xC5\x82\xB7\x81\x42\x0A\x81\x75\x25\x73"
            "\x81\x76");
  // Half-width katakana stay single bytes, not full-width pairs.
  EXPECT_EQ(*messageText(43020),
            "\xDC\xDD\xCE\xDF\xB2\xDD\xC4\x20\xCC\xA7\xB2\xD9\x82\xCC\x93\xC7\x82\xDD\x8D\x9E"
            "\x82\xDD\x92\x86\x82\xC9\xB4\xD7\xB0\x82\xAA\x94\xAD\x90\xB6\x82\xB5\x82\xDC\x82"
            "\xB5\x82\xBD\x81\x42");
  EXPECT_EQ(platform::sjisToUtf8(*messageText(44111)),
            "前回の受信時にディスク容量が不足したので，\n"
            "作業用ファイルに新着メールが残っています\n"
            "「はい」＝新着トレイに移動。\n"
            "「いいえ」＝作業ファイルに残っているメールを消去してしまう。");
}

TEST(MessageTable, EveryTextConvertsCleanlyAndUsesOnlySimplePlaceholders) {
  const std::vector<std::string> allowed = {"%s", "%d", "%ld", "%u", "%x", "%c", "%%"};
  for (int r = kFirstNumber; r <= kLastNumber; ++r) {
    const std::string* text = messageText(r);
    if (text == nullptr) continue;
    SCOPED_TRACE(r);
    EXPECT_FALSE(text->empty());
    // No message holds an ASCII '?', so one here is a character the
    // conversion could not map.
    EXPECT_EQ(text->find('?'), std::string::npos);
    for (const std::string& placeholder : placeholders(*text)) {
      EXPECT_NE(std::find(allowed.begin(), allowed.end(), placeholder), allowed.end())
        << placeholder;
    }
  }
}

TEST(MessageTable, PlaceholdersComeInTheOrderCallersPassTheirArguments) {
  using List = std::vector<std::string>;
  EXPECT_EQ(placeholders(*messageText(40190)), (List{"%s", "%d", "%s", "%s"}));
  EXPECT_EQ(placeholders(*messageText(43012)), (List{"%d"}));
  // Subject, then the size in kilobytes.
  EXPECT_EQ(placeholders(*messageText(43013)), (List{"%s", "%s"}));
  EXPECT_TRUE(placeholders(*messageText(44111)).empty());
}

TEST(MessageTable, FirstUseFromSeveralThreadsGivesTheSameStrings) {
  // Worker threads report messages too; the one-time conversion must not
  // race, and every thread must see the same, stable string.
  constexpr int kThreads = 8;
  std::vector<const std::string*> seen(kThreads, nullptr);
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.emplace_back([&seen, i] { seen[static_cast<std::size_t>(i)] = messageText(41052); });
  }
  for (std::thread& thread : threads) thread.join();
  for (const std::string* text : seen) {
    EXPECT_EQ(text, messageText(41052));
  }
  EXPECT_NE(seen.front(), nullptr);
}

}  // namespace
}  // namespace zorvik::core
