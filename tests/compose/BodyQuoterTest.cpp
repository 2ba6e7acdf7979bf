// Quoting a source mail's body: the prefix or the line's own quote mark,
// breaking at the line width without cutting a double-byte character, the
// user's signature left out, and tag lines: the user's own copied, the
// references of received mail resolved, anything else a received mail
// holds quoted as text that can never attach a file.
#include "compose/BodyQuoter.h"

#include <gtest/gtest.h>

#include "platform/TextEncoding.h"

namespace zorvik::compose {
namespace {

using platform::utf8ToSjis;

SourceMail mailOf(std::vector<std::string> body, bool writtenByUser = false) {
  SourceMail mail;
  mail.body = std::move(body);
  mail.attachmentRoot = "/store/Top/.inc";
  mail.record.attachmentFolder = "1261207.000";
  mail.record.messageId = "id@example.jp";
  if (writtenByUser) mail.record.flags |= message::mailflag::kSentByUser;
  return mail;
}

std::string quoted(const std::string& prefix, int width, std::vector<std::string> body, bool writtenByUser = false,
                   std::vector<std::string> signature = {}) {
  std::string out;
  BodyQuoter(prefix, width, std::move(signature)).quote(mailOf(std::move(body), writtenByUser), out);
  return out;
}

TEST(BodyQuoter, QuoteMarksAreMeasuredInTheFirstTwentyBytes) {
  const struct {
    std::string line;
    std::size_t mark;
  } cases[] = {
      {">", 1},        {"> x", 1},      {">> x", 1},      {"taro> x", 5}, {"|> x", 2},
      {"a -> b", 0},   {"a => b", 0},   {"<a> b", 0},     {"text", 0},    {"", 0},
      {"0123456789012345678> x", 20}, {"01234567890123456789> x", 0},  // beyond the 20th byte it is text
      {utf8ToSjis("山田> x"), 5},
  };
  for (const auto& [line, mark] : cases) EXPECT_EQ(BodyQuoter::quoteMarkLength(line), mark) << line;
}

TEST(BodyQuoter, PrefixOrOwnQuoteMarkPerLine) {
  const struct {
    std::string prefix;
    int width;
    std::vector<std::string> body;
    std::string expected;
  } cases[] = {
      // Without breaking: a one-character prefix adds a level to lines
      // quoted once; a longer one leaves every quoted line as it is.
      {">", 0, {"text", "> q", "", "taro> hi", "a -> b"}, ">text\n>> q\n\ntaro> hi\n>a -> b\n"},
      {"taro>", 0, {"text", "> q", "hanako> x"}, "taro>text\n> q\nhanako> x\n"},
      {"", 0, {"text", "> q"}, "text\n> q\n"},
      // Breaking: pieces of at most width - prefix bytes, never inside a
      // double-byte character; a quoted line keeps its own mark on every
      // piece when the prefix is longer than one character.
      {"> ", 10, {utf8ToSjis("あいうえおかきくけこ")},
       utf8ToSjis("> あいうえ\n> おかきく\n> けこ\n")},
      {"> ", 9, {utf8ToSjis("あいうえおか")}, utf8ToSjis("> あいう\n> えおか\n")},
      {"taro>", 12, {"> 12345678901234"}, "> 1234567890\n>1234\n"},
      {">", 6, {"> 12345"}, ">> 123\n>45\n"},
      {">", 4, {""}, "\n"},
  };
  for (const auto& [prefix, width, body, expected] : cases)
    EXPECT_EQ(quoted(prefix, width, body), expected) << prefix << " / " << width << " / " << body.front();
}

TEST(BodyQuoter, TheUsersSignatureAtTheEndIsLeftOut) {
  const std::vector<std::string> signature{"", "-- ", "Taro Yamada", ""};
  EXPECT_EQ(quoted("> ", 0, {"hi", "", "-- ", "Taro Yamada <taro@example.jp>"}, false, signature), "> hi\n\n");
  EXPECT_EQ(quoted("> ", 0, {"hi", "-- ", "Taro Yamada", "after"}, false, signature), "> hi\n> after\n")
      << "what follows the signature stays";
  EXPECT_EQ(quoted("> ", 0, {"-- ", "Taro Yamada", "a", "b", "c"}, false, signature),
            "> -- \n> Taro Yamada\n> a\n> b\n> c\n")
      << "only the last 2 x S lines are looked at";
  EXPECT_EQ(quoted("> ", 0, {"-- ", "x", "Taro Yamada"}, false, signature), "> -- \n> x\n> Taro Yamada\n")
      << "the lines must follow each other";
  EXPECT_EQ(quoted("> ", 0, {"a", "-- ", "-- ", "Taro Yamada"}, false, signature), "> a\n> -- \n")
      << "a line that breaks the match may begin it afresh";
}

TEST(BodyQuoter, OnlyTheUsersOwnTagLinesAndResolvedReferencesStayCommands) {
  const std::string stored = "@#MIME \"/store/Top/.inc/1261207.000/a.pdf\"";
  const struct {
    bool writtenByUser;
    std::string prefix;
    int width;
    std::string line;
    std::string expected;
  } cases[] = {
      {true, "> ", 0, "@#MIME \"/home/taro/plan.pdf\"", "@#MIME \"/home/taro/plan.pdf\"\n"},
      {true, "> ", 0, "@#HEADER X-Memo: 1", "@#HEADER X-Memo: 1\n"},
      {true, "> ", 0, "@#MIME \"%:a.pdf\"", stored + "\n"},
      {false, "> ", 0, "@#MIME \"%:a.pdf\"", stored + "\n"},  // the decoder's own reference
      {false, "> ", 0, "@#MIME \"/etc/passwd\"", "> @#MIME \"/etc/passwd\"\n"},
      {false, "", 0, "@#MIME \"/etc/passwd\"", ">@#MIME \"/etc/passwd\"\n"},
      {false, "taro>", 0, "@#MIME \"a>b\"", "taro>@#MIME \"a>b\"\n"},  // its own ">" is no quote mark here
      {false, "", 0, "@#MIME \"%:../../../etc/passwd\"", ">@#MIME \"%:../../../etc/passwd\"\n"},
      {false, "", 0, "@#HEADER Bcc: x@example.jp", ">@#HEADER Bcc: x@example.jp\n"},
      {false, "", 0, "@#UUENCODE /etc/passwd", ">@#UUENCODE /etc/passwd\n"},
      {false, "", 8, "12345678@#MIME /etc/passwd", "12345678\n>@#MIME /\netc/pass\nwd\n"},
      {false, "", 0, "From the start", ">From the start\n"},
  };
  for (const auto& [own, prefix, width, line, expected] : cases)
    EXPECT_EQ(quoted(prefix, width, {line}, own), expected) << line;
}

TEST(BodyQuoter, ARangeOfLines) {
  std::string out;
  BodyQuoter("> ", 0, {}).quote(mailOf({"a", "b", "c", "d"}), 1, 2, out);
  EXPECT_EQ(out, "> b\n> c\n");
  out.clear();
  BodyQuoter("> ", 0, {}).quote(mailOf({"a"}), 3, 5, out);
  EXPECT_EQ(out, "");
}

}  // namespace
}  // namespace zorvik::compose
