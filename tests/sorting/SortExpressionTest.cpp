#include "sorting/SortExpression.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/TextEncoding.h"

namespace zorvik::sorting {
namespace {

using namespace expressionerror;

// A mail given as field name -> value.
ExpressionResult evaluate(std::string_view text, std::map<std::string, std::string> fields) {
  return evaluateExpression(text, [&fields](std::string_view name) -> std::optional<std::string> {
    const auto it = fields.find(std::string(name));
    if (it == fields.end()) return std::nullopt;
    return it->second;
  });
}

std::map<std::string, std::string> mail(std::string subject, std::string from) {
  return {{"[Subject:]", std::move(subject)}, {"[From:]", std::move(from)}, {"[To:]", "hanako@example.jp"}};
}

TEST(SortExpression, RelationsCompareWholeTextsAndContainment) {
  const auto m = mail("[ML:12] hello abc", "taro@example.jp");
  EXPECT_TRUE(evaluate("[From:] = \"taro@example.jp\"", m).value);
  EXPECT_FALSE(evaluate("[From:] = \"TARO@example.jp\"", m).value) << "equality is case-sensitive";
  EXPECT_TRUE(evaluate("[From:] \\ \"x\"", m).value);
  EXPECT_TRUE(evaluate("[Subject:] > \"abc\"", m).value);
  EXPECT_TRUE(evaluate("\"abc\" < [Subject:]", m).value) << "a literal on the left of < is read to its quote";
  EXPECT_FALSE(evaluate("[Subject:] < \"abc\"", m).value);
  EXPECT_TRUE(evaluate("[Subject:]>\"ML\"&[To:]>\"hanako\"", m).value) << "no blanks needed";
  EXPECT_TRUE(evaluate(" [Subject:]\r\n > \"abc\" \r\n", m).value) << "blanks, CR and LF are skipped";
}

TEST(SortExpression, NegationAndLeftToRightLogic) {
  const char* text = "[Subject:] > \"abc\" & ![From:] > \"x\"";
  EXPECT_TRUE(evaluate(text, mail("abc", "taro")).value);
  EXPECT_FALSE(evaluate(text, mail("abc", "xavier")).value);
  EXPECT_FALSE(evaluate(text, mail("def", "taro")).value);

  // A | B & C is (A or B) and C.
  const char* chain = "[Subject:] = \"A\" | [Subject:] = \"B\" & [From:] = \"C\"";
  EXPECT_FALSE(evaluate(chain, mail("A", "x")).value);
  EXPECT_TRUE(evaluate(chain, mail("A", "C")).value);
  EXPECT_TRUE(evaluate("[Subject:] = \"A\" ^ [From:] = \"C\"", mail("A", "x")).value);
  EXPECT_FALSE(evaluate("[Subject:] = \"A\" ^ [From:] = \"C\"", mail("A", "C")).value);

  // Grouping changes the order; text after a nested ")" goes on.
  EXPECT_TRUE(evaluate("[Subject:] = \"A\" | ([Subject:] = \"B\" & [From:] = \"C\")", mail("A", "x")).value);
  EXPECT_FALSE(evaluate("!([Subject:] = \"A\") & [From:] = \"x\"", mail("A", "x")).value);
}

TEST(SortExpression, ErrorCodesNameTheFault) {
  const auto m = mail("abc", "taro");
  const std::pair<const char*, int> cases[] = {
      {"", kUnexpectedEnd},
      {"   ", kUnexpectedEnd},
      {"[Subject:] >", kUnexpectedEnd},
      {"!", kUnexpectedEnd},
      {"[Bogus:] = \"a\"", kLeftUnknownField},
      {"[Subject: = \"a\"", kLeftUnknownField},
      {"\"\" = [Subject:]", kLeftBadLiteral},
      {"\"abc = [Subject:]", kLeftBadLiteral},
      {"abc = [Subject:]", kTermExpected},
      {"[Subject:] ~ \"a\"", kRelationExpected},
      {"[Subject:] = [Bogus]", kRightUnknownField},
      {"[Subject:] = \"\"", kRightBadLiteral},
      {"[Subject:] = \"abc", kRightBadLiteral},
      {"[Subject:] = abc", kRightOperandExpected},
      {"[Subject:] = \"a\" [From:] = \"b\"", kLogicExpected},
      {"([Subject:] = \"abc\"", kUnbalanced},
      {"[Subject:] = \"abc\") | [From:] = \"taro\"", kUnbalanced},
  };
  for (const auto& [text, code] : cases) {
    const auto result = evaluate(text, m);
    EXPECT_EQ(result.error, code) << text;
    EXPECT_FALSE(result.value) << text;
  }
}

TEST(SortExpression, ContainmentIsDoubleByteAware) {
  // "ア" is 83 41; "、A" is 81 41 41: the "A" after a lead byte 0x83 is a
  // trail byte, so "A" does not occur in "ア" alone.
  const std::string subject = platform::utf8ToSjis("アイ");
  EXPECT_FALSE(evaluate("[Subject:] > \"A\"", mail(subject, "x")).value);
  EXPECT_TRUE(evaluate("[Subject:] > \"" + platform::utf8ToSjis("イ") + "\"", mail(subject, "x")).value);
}

}  // namespace
}  // namespace zorvik::sorting
