// The small values a mail record is made of: the list tag, Zorvik's own
// header line, the Received date and the stored form of an over-size mail.
#include <gtest/gtest.h>

#include "message/InternalLine.h"
#include "message/ListTag.h"
#include "message/OversizeMail.h"
#include "message/ReceivedDate.h"
#include "platform/TextEncoding.h"

namespace zorvik::message {
namespace {

constexpr std::time_t kNow = 1796603405;  // 2026-12-07 09:30:05 JST

TEST(ListTag, BracketContent) {
  EXPECT_EQ(listTagOf("[ML:123] hello"), "ML");
  EXPECT_EQ(listTagOf("Re: [123 news] hello"), "news");
  EXPECT_EQ(listTagOf("[ab] hello"), "ab");
  EXPECT_EQ(listTagOf("[123]"), "123") << "no space or colon: the whole content";
  EXPECT_EQ(listTagOf("[:x]"), "x") << "nothing before the colon counts as all digits";
  EXPECT_EQ(listTagOf("[12:]"), "");
  EXPECT_EQ(listTagOf("[zorvik-users 0042]"), "zorvik-users");
}

TEST(ListTag, NoTag) {
  EXPECT_EQ(listTagOf("hello"), "");
  EXPECT_EQ(listTagOf("[]"), "");
  EXPECT_EQ(listTagOf("[open only"), "");
  EXPECT_EQ(listTagOf("a] b [c]"), "") << "the first ] comes before the [";
}

TEST(ListTag, TrailBytesAreNoBrackets) {
  // "ゼ" is 0x83 0x5B and "ゾ" 0x83 0x5D in Shift_JIS: their trail bytes
  // are "[" and "]" in ASCII.
  const std::string ze = platform::utf8ToSjis("ゼ");
  const std::string zo = platform::utf8ToSjis("ゾ");
  ASSERT_EQ(ze, "\x83[");
  ASSERT_EQ(zo, "\x83]");
  EXPECT_EQ(listTagOf(ze + "[ML:1]"), "ML");
  EXPECT_EQ(listTagOf("[" + zo + "ML]"), zo + "ML");
  EXPECT_EQ(listTagOf(ze + zo), "");
}

TEST(InternalLine, ReadAndWrite) {
  InternalLine line = InternalLine::parse("100,memo,1,1,300");
  EXPECT_EQ(line.code, 100);
  EXPECT_EQ(line.text, "memo");
  EXPECT_TRUE(line.switch1);
  EXPECT_TRUE(line.switch2);
  EXPECT_EQ(line.number, 300);
  EXPECT_EQ(line.format(), "100,memo,1,1,300");

  line = InternalLine::parse("101,,0,1,0");
  EXPECT_EQ(line.code, 101);
  EXPECT_FALSE(line.switch1);
  EXPECT_TRUE(line.switch2);
  EXPECT_EQ(InternalLine::parse(line.format()).format(), "101,,0,1,0");
}

TEST(InternalLine, DamagedLines) {
  EXPECT_EQ(InternalLine::parse("").code, 0);
  EXPECT_EQ(InternalLine::parse("200").code, 200);
  const InternalLine noSecondComma = InternalLine::parse("100,only text");
  EXPECT_EQ(noSecondComma.text, "only text");
  EXPECT_EQ(noSecondComma.number, 0);
  const InternalLine cut = InternalLine::parse("100,t,1");
  EXPECT_TRUE(cut.switch1);
  EXPECT_FALSE(cut.switch2);
  EXPECT_EQ(cut.number, 0);
  EXPECT_EQ(InternalLine::parse("99999999999999,t,0,0,-99999999999999").code, 2147483647);
  EXPECT_EQ(InternalLine::parse("1,t,0,0,-99999999999999").number, -2147483647 - 1);
}

TEST(ReceivedDate, TextAfterTheLastSemicolon) {
  EXPECT_EQ(dateFromReceived("Received: from a (b; c) by d; Mon, 7 Dec 2026 09:30:05 +0900", 9), kNow);
  EXPECT_EQ(dateFromReceived("RECEIVED: by d; 7 Dec 2026 00:30:05 +0000", 9), kNow);
  EXPECT_FALSE(dateFromReceived("Received: from a by b", 9));
  EXPECT_FALSE(dateFromReceived("X-Received: by d; Mon, 7 Dec 2026 09:30:05 +0900", 9));
  EXPECT_FALSE(dateFromReceived("Received: by d; garbage", 9));
}

TEST(OversizeMail, Limit) {
  EXPECT_FALSE(OversizeMail::isOversize(1u << 30, 0));
  EXPECT_FALSE(OversizeMail::isOversize(1u << 30, -5));
  EXPECT_FALSE(OversizeMail::isOversize(100 * 1024, 100));
  EXPECT_TRUE(OversizeMail::isOversize(100 * 1024 + 1, 100));
}

TEST(OversizeMail, NoticeReplacesTheBody) {
  const std::string notice =
      platform::utf8ToSjis("★★★ このメールはサイズ制限を越えるため受信しませんでした。★★★");
  const std::string tail = "Content-Type: text/plain;\r\n\r\n" + notice + "\r\n.\r\n";
  // TOP n 0 gives the header, its empty line and the terminator.
  EXPECT_EQ(OversizeMail::withNotice("Subject: big\r\nContent-Type: image/jpeg\r\n\r\n.\r\n"),
            "Subject: big\r\nX-Original-Content-Type: image/jpeg\r\n" + tail);
  // Some servers send no empty line: the header keeps its last line end.
  EXPECT_EQ(OversizeMail::withNotice("Subject: big\r\n.\r\n"), "Subject: big\r\n" + tail);
  // A header cut off without terminator loses nothing.
  EXPECT_EQ(OversizeMail::withNotice("Subject: big\r\nTo: a@b"), "Subject: big\r\nTo: a@b\r\n" + tail);
  EXPECT_EQ(OversizeMail::withNotice(".\r\n"), tail);
}

}  // namespace
}  // namespace zorvik::message
