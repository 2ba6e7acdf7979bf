// The block search against std::string_view::find on texts made to hold
// many near misses: a small alphabet, needles cut from the text itself,
// every start offset, matches in the vector part and in the tail.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "search/ByteSearcher.h"

namespace zorvik::search {
namespace {

TEST(ByteSearcher, FindsWhatStringFindFinds) {
  std::mt19937 random(5);
  const std::string alphabet = "ab\x82\xa0\n";
  for (int round = 0; round < 300; ++round) {
    std::string text(8 + random() % 200, ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    const std::size_t length = 1 + random() % 6;
    const std::size_t cut = text.size() > length ? random() % (text.size() - length) : 0;
    const std::string needle = round % 3 == 0 ? std::string(length, 'b') : text.substr(cut, length);
    const ByteSearcher searcher(needle);
    for (std::size_t from = 0; from <= text.size() + 1; ++from)
      ASSERT_EQ(searcher.find(text, from), std::string_view(text).find(needle, from))
          << "needle " << needle << " from " << from << " in " << text;
  }
  EXPECT_EQ(ByteSearcher("").find("abc", 0), std::string_view::npos);
}

}  // namespace
}  // namespace zorvik::search
