#include "message/AddressParser.h"

#include "platform/TextEncoding.h"

#include <gtest/gtest.h>

namespace zorvik::message {
namespace {

using platform::utf8ToSjis;

const core::AliasTable kNoAliases;

MailAddress parse(std::string_view text, const core::AliasTable& aliases = kNoAliases) {
  return AddressParser(aliases).parseOne(text).mail;
}

TEST(AddressParser, NameAndAngleAddress) {
  EXPECT_EQ(parse("Taro Yamada <taro@example.jp>"), (MailAddress{"taro@example.jp", "Taro Yamada"}));
  EXPECT_EQ(parse(utf8ToSjis("\"山田 太郎\" <taro@example.jp>")),
            (MailAddress{"taro@example.jp", utf8ToSjis("山田 太郎")}));
  // The comment after a bracketed address belongs to the name as written.
  EXPECT_EQ(parse("Taro <taro@example.jp> (work)"),
            (MailAddress{"taro@example.jp", "Taro  (work)"}));
}

TEST(AddressParser, BareAddressAndComments) {
  EXPECT_EQ(parse("  taro@example.jp  "), (MailAddress{"taro@example.jp", ""}));
  EXPECT_EQ(parse("taro@example.jp (Taro Yamada)"),
            (MailAddress{"taro@example.jp", "Taro Yamada"}));
  EXPECT_EQ(parse("(Taro) taro@example.jp"), (MailAddress{"taro@example.jp", "Taro"}));
  // Parentheses nest, so the inner pair neither ends the comment nor is lost.
  EXPECT_EQ(parse("taro@example.jp (outer (inner) text)"),
            (MailAddress{"taro@example.jp", "outer (inner) text"}));
}

TEST(AddressParser, AnApostropheIsALetterNotAQuote) {
  EXPECT_EQ(parse("Dan O'Neil <dan@example.com>"), (MailAddress{"dan@example.com", "Dan O'Neil"}));
  EXPECT_EQ(parse("o'brien@example.com"), (MailAddress{"o'brien@example.com", ""}));
  EXPECT_EQ(parse("'Taro' <t@example.jp>"), (MailAddress{"t@example.jp", "'Taro'"}));
  EXPECT_EQ(AddressParser(kNoAliases).parseList("o'brien@example.com, Dan O'Neil <dan@example.com>").size(), 2u)
      << "a comma after an apostrophe still separates";
}

TEST(AddressParser, EscapesAndDoubleByteTrailBytes) {
  // A backslash makes the quote ordinary and is itself dropped.
  EXPECT_EQ(parse(R"("Taro \"T\" Yamada" <t@example.jp>)"),
            (MailAddress{"t@example.jp", "Taro \"T\" Yamada"}));
  // "ソ" and "表" end in 0x5C, the backslash byte, and "ァ" in 0x40: taken for
  // an escape, they would swallow the following byte.
  const std::string name = utf8ToSjis("ソニー表示ァ");
  EXPECT_EQ(parse(name + " <s@example.jp>"), (MailAddress{"s@example.jp", name}));
  EXPECT_EQ(parse("\"" + name + "\" <s@example.jp>"), (MailAddress{"s@example.jp", name}));
}

TEST(AddressParser, SeparatorsOnlyCountOutsideQuotesAndBrackets) {
  const std::string list = "a@example.jp, \"Yamada, Taro\" <b@example.jp>;<c,d@example.jp>\r\ne@x";
  const AddressParser parser(kNoAliases);
  const auto first = parser.parseOne(list);
  EXPECT_EQ(first.mail.address, "a@example.jp");
  EXPECT_EQ(list[first.end], ',');
  const std::vector<MailAddress> all = parser.parseList(list);
  ASSERT_EQ(all.size(), 4u);
  EXPECT_EQ(all[1], (MailAddress{"b@example.jp", "Yamada, Taro"}));
  EXPECT_EQ(all[2].address, "c,d@example.jp");
  EXPECT_EQ(all[3].address, "e@x");
  EXPECT_EQ(AddressParser::splitList(list),
            (std::vector<std::string>{"a@example.jp", "\"Yamada, Taro\" <b@example.jp>",
                                      "<c,d@example.jp>", "e@x"}));
}

TEST(AddressParser, EmptyEntriesAreLeftOutOfLists) {
  const AddressParser parser(kNoAliases);
  EXPECT_TRUE(parser.parseList("").empty());
  const auto all = parser.parseList(" , ;(just a comment),a@x,");
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].address, "a@x");
}

TEST(AddressParser, LongAddressesAreNotCut) {
  const std::string local(150, 'a');
  const std::string name(300, 'n');
  EXPECT_EQ(parse(name + " <" + local + "@example.jp>"),
            (MailAddress{local + "@example.jp", name}));
}

TEST(AddressParser, BrokenInputStaysInsideTheText) {
  // Unclosed quote, bracket and comment; a trailing backslash; a lone lead
  // byte at the very end.
  EXPECT_EQ(parse("\"Taro <t@x>"), (MailAddress{"", "Taro <t@x>"}));
  EXPECT_EQ(parse("Taro <t@x"), (MailAddress{"t@x", "Taro"}));
  EXPECT_EQ(parse("t@x (Taro"), (MailAddress{"t@x", "Taro"}));
  EXPECT_EQ(parse("t@x\\"), (MailAddress{"t@x", ""}));
  EXPECT_EQ(parse("t@x \x83"), (MailAddress{"t@x \x83", ""}));
  const std::string lead = "t@x\x83";
  EXPECT_EQ(AddressParser(kNoAliases).parseOne(std::string_view(lead.data(), 3)).mail.address, "t@x");
}

TEST(AddressParser, MegabyteLines) {
  const AddressParser parser(kNoAliases);
  const std::string commas(1u << 16, ',');
  EXPECT_TRUE(parser.parseList(commas).empty());
  EXPECT_TRUE(AddressParser::splitList(commas).empty());
  const std::string nested = std::string(1u << 19, '(') + "x" + std::string(1u << 19, ')');
  EXPECT_EQ(parser.parseOne(nested + ",a@x").end, nested.size());
  // Escapes and a trail byte 0x5C before every address.
  const std::string entry = "\\\"a\\\\b\x83\x5c<c@d>;";
  std::string many;
  while (many.size() < (1u << 20)) many += entry;
  EXPECT_EQ(parser.parseList(many).size(), many.size() / entry.size());
}

TEST(AddressParser, AliasesRewriteTheDomain) {
  const core::AliasTable aliases = {{"", "ignored"},
                                    {"mail.example.ne.jp", "example.ne.jp"},
                                    {"example.ne.jp", "never.used"},
                                    {"old.jp", "new.jp"}};
  EXPECT_EQ(parse("Taro <taro@mail.example.ne.jp>", aliases).address, "taro@example.ne.jp");
  EXPECT_EQ(parse("taro@sub.mail.example.ne.jp", aliases).address, "taro@sub.example.ne.jp");
  // Only the first occurrence of a pair's text is looked at; here it is not
  // at a label boundary, so the next pair gets its turn.
  EXPECT_EQ(parse("xold.jp@old.jp", aliases).address, "xold.jp@old.jp");
  EXPECT_EQ(parse("a@old.jp", aliases).address, "a@new.jp");
  EXPECT_EQ(parse("taro@other.jp", aliases).address, "taro@other.jp");
}

TEST(AddressParser, ShortDisplay) {
  const AddressParser parser(kNoAliases);
  EXPECT_EQ(parser.shortDisplay("Taro <taro@example.jp>", false),
            (MailAddress{"taro@example.jp", "Taro"}));
  EXPECT_EQ(parser.shortDisplay("hanako@example.jp, jiro@example.jp", false),
            (MailAddress{"hanako@example.jp", "hanako"}));
  EXPECT_EQ(parser.shortDisplay("nobody", false), (MailAddress{"nobody", ""}));
  EXPECT_EQ(parser.shortDisplay("Taro <taro@example.jp>\r\njiro@example.jp", true),
            (MailAddress{"taro@example.jp...", utf8ToSjis("Taro 他")}));
  EXPECT_EQ(parser.shortDisplay("taro@example.jp", true), (MailAddress{"taro@example.jp", "taro"}));
}

TEST(AddressParser, LocalPart) {
  EXPECT_EQ(AddressParser::localPart("taro@example.jp"), "taro");
  EXPECT_EQ(AddressParser::localPart("@example.jp"), "");
  EXPECT_EQ(AddressParser::localPart("taro"), std::nullopt);
  const std::string kana = utf8ToSjis("ァ");  // 0x83 0x40: its trail byte is "@"
  EXPECT_EQ(AddressParser::localPart(kana + "@x"), kana);
}

}  // namespace
}  // namespace zorvik::message
