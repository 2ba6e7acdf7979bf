// The subject of a reply counts earlier replies as the forgiving matcher
// does; forwards and additions put their word in front; the tray's keyword
// comes out of the source subject.
#include "compose/ReplySubject.h"

#include <gtest/gtest.h>

#include "platform/TextEncoding.h"

namespace zorvik::compose {
namespace {

using platform::utf8ToSjis;

TEST(ReplySubject, EarlierRepliesAreCounted) {
  const struct {
    std::string subject;
    std::string reply;
  } cases[] = {
      {"hello", "Re:hello"},  // no space is added
      {"Re: hello", "Re^2: hello"},
      {"Re: Re: hello", "Re^3: hello"},  // two plain prefixes count 2
      {"Re^3: hello", "Re^4: hello"},
      {"RE^12:x", "Re^13:x"},
      {"re^: x", "Re^2: x"},                 // a caret without a number counts 1
      {"Report review: x", "Re^2: x"},       // R, later E, then a colon
      {"Re: Fw: Re^2: y", "Re^4: y"},
      {utf8ToSjis("Re: 会議の件"), utf8ToSjis("Re^2: 会議の件")},
      // Second bytes that read as "R" and "e" (ヽ is 81 52, Ｆ is 82 65)
      // belong to their characters and count for nothing.
      {"\x81\x52\x82\x65: x", "Re:\x81\x52\x82\x65: x"},
      {"", "Re:"},
  };
  for (const auto& [subject, reply] : cases) EXPECT_EQ(ReplySubject::reply(subject), reply) << subject;
}

TEST(ReplySubject, ForwardAdditionAndKeyword) {
  EXPECT_EQ(ReplySubject::forward("x"), "FW:x");
  EXPECT_EQ(ReplySubject::addition("x"), "PS:x");
  EXPECT_EQ(ReplySubject::withoutKeyword("[ml]Re: x", "ml"), "Re: x");
  EXPECT_EQ(ReplySubject::withoutKeyword("a [ml] b [ml]", "ml"), "a  b [ml]");
  EXPECT_EQ(ReplySubject::withoutKeyword("[ml:12] x", "ml"), "[ml:12] x") << "a list tag with a number is not the keyword";
  EXPECT_EQ(ReplySubject::withoutKeyword("[ml] x", ""), "[ml] x");
  const std::string keyword = utf8ToSjis("会議");
  EXPECT_EQ(ReplySubject::withoutKeyword("[" + keyword + "]" + utf8ToSjis("予定"), keyword), utf8ToSjis("予定"));
}

}  // namespace
}  // namespace zorvik::compose
