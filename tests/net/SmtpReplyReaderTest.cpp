#include "net/SmtpReplyReader.h"

#include <gtest/gtest.h>

#include <vector>

namespace zorvik::net {
namespace {

struct Taken {
  int code;
  std::string text;
  bool operator==(const Taken&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Taken& t) { return out << t.code << " \"" << t.text << "\""; }

std::vector<Taken> takeAll(SmtpReplyReader& reader) {
  std::vector<Taken> all;
  while (const auto reply = reader.next()) all.push_back({reply->code, reply->text});
  return all;
}

// Feeds `input` whole, one byte at a time, and followed by the start of a
// further reply that must stay unfinished; all three must give `expected`.
void expectReplies(const std::string& input, const std::vector<Taken>& expected) {
  {
    SCOPED_TRACE("whole");
    SmtpReplyReader reader;
    reader.feed(input);
    EXPECT_EQ(takeAll(reader), expected);
  }
  {
    SCOPED_TRACE("one byte at a time");
    SmtpReplyReader reader;
    std::vector<Taken> all;
    for (const char c : input) {
      reader.feed(std::string_view(&c, 1));
      for (const Taken& t : takeAll(reader)) all.push_back(t);
    }
    EXPECT_EQ(all, expected);
  }
  {
    SCOPED_TRACE("with trailing data");
    SmtpReplyReader reader;
    reader.feed(input + "250-more\r\n25");
    EXPECT_EQ(takeAll(reader), expected);
    reader.feed("0 end\r\n");
    EXPECT_EQ(takeAll(reader), (std::vector<Taken>{{250, "250-more\n250 end"}}));
  }
}

TEST(SmtpReplyReader, SingleAndMultiLineReplies) {
  expectReplies("220 ready\r\n", {{220, "220 ready"}});
  expectReplies("250-first\r\n250-second\r\n250 last\r\n", {{250, "250-first\n250-second\n250 last"}});
  // Two replies in one read come out one after the other.
  expectReplies("250 ok\r\n354 go\r\n", {{250, "250 ok"}, {354, "354 go"}});
  // The code is that of the last line.
  expectReplies("250-odd\r\n550 no\r\n", {{550, "250-odd\n550 no"}});
  expectReplies("250\r\n", {{250, "250"}});
}

TEST(SmtpReplyReader, LenientWithBareLineFeedsAndGarbage) {
  expectReplies("250 ok\n", {{250, "250 ok"}});
  expectReplies("hello there\r\n", {{0, "hello there"}});
  expectReplies("\r\n", {{0, ""}});
  expectReplies("99999999999999999999 big\r\n", {{999999999, "99999999999999999999 big"}});
}

TEST(SmtpReplyReader, AnIncompleteLineIsNotAReply) {
  SmtpReplyReader reader;
  reader.feed("250 o");
  EXPECT_FALSE(reader.next());
  reader.feed("k\r");
  EXPECT_FALSE(reader.next());
  reader.reset();
  reader.feed("\n");
  const auto reply = reader.next();
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->code, 0) << "a reset must forget the half line";
}

TEST(SmtpReplyReader, MemoryStaysBoundedWhateverTheServerSends) {
  SmtpReplyReader reader;
  const std::string longLine = "250 " + std::string(1'000'000, 'a');
  reader.feed(longLine.substr(0, 500'000));
  reader.feed(longLine.substr(500'000) + "\r\n");
  auto reply = reader.next();
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->code, 250);
  EXPECT_LE(reply->text.size(), SmtpReplyReader::kTextLimit);

  std::string endless;
  for (int i = 0; i < 100'000; ++i) endless += "250-line\r\n";
  reader.feed(endless);
  EXPECT_FALSE(reader.next());
  reader.feed("250 end\r\n");
  reply = reader.next();
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->code, 250);
  EXPECT_LE(reply->text.size(), SmtpReplyReader::kTextLimit);
}

}  // namespace
}  // namespace zorvik::net
