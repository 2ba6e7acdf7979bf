// The matcher on its own: where a search string is found in Shift_JIS
// text under each way of folding characters, and where it must not be
// found (inside a kanji, on a trail byte that looks like a letter).
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "platform/TextEncoding.h"
#include "search/TextMatcher.h"

namespace zorvik::search {
namespace {

struct MatchCase {
  const char* what;
  const char* needle;  // UTF-8
  const char* text;    // UTF-8
  FoldOptions fold;
  bool lineStart;
  const char* found;  // the text matched (UTF-8), or nullptr for none
};

constexpr FoldOptions kExact{};
constexpr FoldOptions kCase{true, false, false};
constexpr FoldOptions kWidth{false, true, false};
constexpr FoldOptions kWidthCase{true, true, false};
constexpr FoldOptions kKana{false, false, true};
constexpr FoldOptions kAll{true, true, true};

const MatchCase kCases[] = {
    // A match starts on a character boundary; the collision strings hold
    // the search string's bytes across two characters only.
    {"kanji across two kanji", "沚", "検索", kExact, false, nullptr},
    {"kanji across two kanji, folded", "沚", "検索", kAll, false, nullptr},
    {"kanji after the collision", "沚", "検索と沚", kExact, false, "沚"},
    {"letter as a trail byte", "A", "アイウ", kExact, false, nullptr},
    {"letter as a trail byte, any case", "a", "アイウ", kCase, false, nullptr},
    {"trail bytes are never case-folded", "チ", "ア", kCase, false, nullptr},
    {"trail bytes are never case-folded, width", "チ", "ア", kWidthCase, false, nullptr},
    {"plain", "請求書", "今月の請求書です", kExact, false, "請求書"},
    {"case counts", "abc", "ABC", kExact, false, nullptr},
    {"case ignored", "abc", "xABCx", kCase, false, "ABC"},
    {"case ignored, needle upper", "ZORVIK", "zorvik", kCase, false, "zorvik"},
    {"case ignored among kanji", "pdf", "資料のPDFです", kCase, false, "PDF"},
    {"full-width letters are not ASCII without width", "ABC", "ＡＢＣ", kCase, false, nullptr},
    // Width and kana.
    {"full-width finds ASCII", "ＡＢＣ", "xABC", kWidth, false, "ABC"},
    {"ASCII finds full-width", "abc123", "ａｂｃ１２３", kWidth, false, "ａｂｃ１２３"},
    {"width keeps case", "abc", "ＡＢＣ", kWidth, false, nullptr},
    {"width and case", "abc", "ＡＢＣ", kWidthCase, false, "ＡＢＣ"},
    {"mixed widths in one match", "Zorvik２", "ＺorｖIK2", kWidthCase, false, "ＺorｖIK2"},
    {"half-width katakana", "カタカナ", "ｶﾀｶﾅで", kWidth, false, "ｶﾀｶﾅ"},
    {"full-width katakana from half-width", "ｶﾀｶﾅ", "カタカナ", kWidth, false, "カタカナ"},
    {"voiced half-width is one character", "ガイド", "ｶﾞｲﾄﾞ", kWidth, false, "ｶﾞｲﾄﾞ"},
    {"semi-voiced", "パス", "ﾊﾟｽ", kWidth, false, "ﾊﾟｽ"},
    {"vu", "ヴ", "ｳﾞ", kWidth, false, "ｳﾞ"},
    {"plain kana does not stop inside a voiced one", "カ", "ｶﾞ", kWidth, false, nullptr},
    {"ideographic space", "a b", "a　b", kWidth, false, "a　b"},
    {"kana needs its own switch", "ひらがな", "ヒラガナ", kWidth, false, nullptr},
    {"hiragana finds katakana", "ひらがな", "ヒラガナ", kKana, false, "ヒラガナ"},
    {"katakana finds hiragana", "カタカナ", "かたかな", kKana, false, "かたかな"},
    {"all three", "ﾒｰﾙ", "めーる", kAll, false, "めーる"},
    {"kanji is kanji in every mode", "請求", "請求", kAll, false, "請求"},
    // The start of a line.
    {"line start", "abc", "xabc\r\nabc", kExact, true, "abc"},
    {"not at line start", "abc", "xabc", kExact, true, nullptr},
    {"line start, folded", "ＡＢ", "xab\nab", kWidthCase, true, "ab"},
    // What never matches.
    {"empty", "", "abc", kExact, false, nullptr},
    {"across a line end", "c\r\na", "abc\r\nabc", kExact, false, nullptr},
};

void PrintTo(const MatchCase& c, std::ostream* out) { *out << c.what; }

class TextMatcherCases : public ::testing::TestWithParam<MatchCase> {};

TEST_P(TextMatcherCases, FindsWhatIsThere) {
  const MatchCase& c = GetParam();
  const std::string text = platform::utf8ToSjis(c.text);
  const TextMatcher matcher(platform::utf8ToSjis(c.needle), c.fold, c.lineStart);
  const auto match = matcher.find(text);
  if (!c.found) {
    EXPECT_FALSE(match) << c.what << ": found at " << match->offset;
    return;
  }
  ASSERT_TRUE(match) << c.what;
  EXPECT_EQ(platform::sjisToUtf8(text.substr(match->offset, match->length)), c.found) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Search, TextMatcherCases, ::testing::ValuesIn(kCases));

// Every match of a string that turns up again and again, as the block
// search hands them out, in order and none twice.
TEST(TextMatcher, StepsThroughEveryMatch) {
  const std::string text = platform::utf8ToSjis("ＡＢ ab Ab 検ＡＢ ｱ AB");
  const TextMatcher matcher("ab", {true, true, false}, false);
  std::vector<std::string> found;
  for (auto match = matcher.find(text); match; match = matcher.find(text, match->offset + 1))
    found.push_back(platform::sjisToUtf8(text.substr(match->offset, match->length)));
  EXPECT_EQ(found, (std::vector<std::string>{"ＡＢ", "ab", "Ab", "ＡＢ", "AB"}));
}

}  // namespace
}  // namespace zorvik::search
