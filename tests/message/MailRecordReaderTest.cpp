// Reading mails out of a text of mails (the new-mail work file) into the
// lines a tray stores and their records.
#include "message/HeaderReader.h"
#include "message/ThreadKey.h"

#include <gtest/gtest.h>

#include <vector>

namespace zorvik::message {
namespace {

constexpr std::time_t kNow = 1796603405;
const std::string kNihongoSjis = "\x93\xfa\x96{\x8c\xea";  // 日本語
const std::string kNihongoJis = "\x1b$BF|K\\8l\x1b(B";

struct ReadMail {
  MailRecord record;
  MailLines lines;
};

std::vector<ReadMail> readAll(std::string text, std::string_view identity = {}) {
  const MailRecordParser parser(ParseContext{{}, 9, kNow, "me@example.jp"});
  auto input = platform::LineReader::fromText(std::move(text));
  HeaderReader reader(input, parser);
  std::vector<ReadMail> mails;
  ReadMail mail;
  while (reader.readHeader(mail.record, mail.lines, identity)) {
    reader.copyBody(mail.record, mail.lines);
    mails.push_back(mail);
  }
  return mails;
}

TEST(MailRecordReader, HeaderAndBodyDecodedToShiftJis) {
  const auto mails = readAll(
      "From  \r\n"
      "Subject: =?ISO-2022-JP?B?GyRCRnxLXBsoQg==?=\r\n"
      " =?iso-2022-jp?b?GyRCOGwbKEI=?=\r\n"
      "To: a@example.jp\r\n"
      "To: b@example.jp\r\n"
      "Message-Id: <m1@x>\r\n"
      "\r\n" +
      kNihongoJis + "\r\n"
      "=?ISO-2022-JP?B?GyRCRnxLXBsoQg==?=\r\n"
      "\r\n"
      "last\r\n");
  ASSERT_EQ(mails.size(), 1U);
  const ReadMail& mail = mails[0];
  EXPECT_EQ(mail.lines.separator, "From  ");
  ASSERT_EQ(mail.lines.header.size(), 4U) << "the folded Subject is one stored line";
  EXPECT_EQ(mail.lines.header[0], "Subject: " + kNihongoSjis);
  EXPECT_EQ(mail.record.subject, kNihongoSjis);
  EXPECT_EQ(mail.record.to, "a@example.jp\r\nb@example.jp");
  EXPECT_EQ(mail.record.headerLineCount, 4U);
  EXPECT_EQ(mail.lines.body, (std::vector<std::string>{kNihongoSjis, "\x93\xfa\x96{", "", "last"}));
  EXPECT_EQ(mail.record.bodyLineCount, 4U);
  EXPECT_TRUE(mail.record.has(mailflag::kToUser) == false);
}

// Unfolding takes out the line break and keeps the blank, so words on
// either side of a fold stay apart; between two encoded words the blank
// only separates them and goes.
TEST(MailRecordReader, FoldedLinesKeepTheirBlank) {
  const auto mails = readAll(
      "From  \r\n"
      "Subject: Quarterly report for the\r\n third quarter\r\n"
      "From: \"Taro\r\n Yamada\" <taro@example.jp>\r\n"
      "Message-Id:\r\n\t<own@example.jp>\r\n"
      "References: <first@example.jp>\r\n <second@example.jp>\r\n\t<last@example.jp>\r\n"
      "\r\n"
      "From  \r\n"
      "Subject: =?ISO-2022-JP?B?GyRCRnxLXBsoQg==?=\r\n =?iso-2022-jp?b?GyRCOGwbKEI=?=\r\n and more\r\n words\r\n"
      "\r\n");
  ASSERT_EQ(mails.size(), 2U);
  const MailRecord& record = mails[0].record;
  EXPECT_EQ(record.subject, "Quarterly report for the third quarter");
  EXPECT_EQ(mails[0].lines.header[0], "Subject: Quarterly report for the third quarter");
  EXPECT_EQ(record.fromName, "Taro Yamada");
  EXPECT_EQ(record.fromAddress, "taro@example.jp");
  EXPECT_EQ(record.messageId, "own@example.jp");
  EXPECT_EQ(record.ownKey, threadKeyOf("own@example.jp"));
  EXPECT_EQ(record.parentKey, threadKeyOf("last@example.jp")) << "the last id of References is the parent";
  EXPECT_EQ(mails[1].record.subject, kNihongoSjis + " and more words");
}

TEST(MailRecordReader, SeveralMailsAndDeletedOnes) {
  const auto mails = readAll(
      "junk before the first mail\r\n"
      "From a\r\nSubject: one\r\n\r\nbody 1\r\n"
      "From DeleteZorvik\r\nSubject: gone\r\n\r\ngone body\r\n"
      "From b\r\nSubject: two\r\n\r\n"
      "From c\r\nSubject: three\r\n\r\nbody 3\r\n>From quoted\r\n");
  ASSERT_EQ(mails.size(), 3U);
  EXPECT_EQ(mails[0].record.subject, "one");
  EXPECT_EQ(mails[0].lines.body, std::vector<std::string>{"body 1"});
  EXPECT_EQ(mails[1].record.subject, "two") << "the deleted mail and its body are skipped";
  EXPECT_TRUE(mails[1].lines.body.empty());
  EXPECT_EQ(mails[2].lines.body, (std::vector<std::string>{"body 3", ">From quoted"}));
}

TEST(MailRecordReader, EveryMailStartsFromAFreshRecord) {
  const auto mails = readAll(
      "From \r\nMessage-Id: <a@x>\r\nFrom: me@example.jp\r\nContent-Type: multipart/mixed\r\n"
      "Date: Mon, 7 Dec 2026 00:00:00 +0900\r\n\r\n"
      "From \r\nMessage-Id: <b@x>\r\nFrom: x@example.jp\r\nReceived: by y\r\n\r\n");
  ASSERT_EQ(mails.size(), 2U);
  EXPECT_TRUE(mails[0].record.has(mailflag::kSentByUser));
  EXPECT_FALSE(mails[1].record.has(mailflag::kSentByUser));
  EXPECT_FALSE(mails[1].record.has(mailflag::kAttachments));
  EXPECT_EQ(mails[1].record.date, kNow) << "a mail without Date is dated when it is read";
}

TEST(MailRecordReader, MailWithoutEmptyLineDoesNotSwallowTheNext) {
  const auto mails = readAll("From \r\nSubject: cut short\r\nFrom \r\nSubject: next\r\n\r\nbody\r\n");
  ASSERT_EQ(mails.size(), 2U);
  EXPECT_EQ(mails[0].record.subject, "cut short");
  EXPECT_TRUE(mails[0].lines.body.empty());
  EXPECT_EQ(mails[1].record.subject, "next");
  EXPECT_EQ(mails[1].lines.body, std::vector<std::string>{"body"});
}

TEST(MailRecordReader, DecodingCannotAddLines) {
  // "=0D=0A" and "From " inside encoded words would otherwise break the
  // stored line in two or forge a separator in the tray.
  const auto mails = readAll(
      "From \r\n"
      "Subject: =?US-ASCII?Q?a=0D=0AFrom_evil?=\r\n"
      "X-Empty: \r\n"
      "=?US-ASCII?Q?" "?=\r\n"
      "\r\n"
      "=?US-ASCII?Q?From_x=00y?=\r\n");
  ASSERT_EQ(mails.size(), 1U);
  const MailLines& lines = mails[0].lines;
  ASSERT_EQ(lines.header.size(), 2U) << "a line that decodes to nothing is not stored as the header's end";
  EXPECT_EQ(lines.header[0], "Subject: a  From evil");
  ASSERT_EQ(lines.body.size(), 1U);
  EXPECT_EQ(lines.body[0], ">From x y");
}

TEST(MailRecordReader, HostileInputStaysBounded) {
  std::string huge = "From \r\nSubject: " + std::string(1 << 20, 'x') + "\r\n";
  for (int i = 0; i < 1000; ++i) huge += " =?ISO-2022-JP?B?GyRC?=\r\n";
  huge += "\r\nbody";
  const auto mails = readAll(huge);
  ASSERT_EQ(mails.size(), 1U);
  EXPECT_EQ(mails[0].lines.header.size(), 1U);
  EXPECT_EQ(mails[0].record.subject.substr(0, 4), "xxxx");
  EXPECT_TRUE(readAll("no separator at all\r\n\r\n").empty());
  EXPECT_TRUE(readAll("").empty());
}

}  // namespace
}  // namespace zorvik::message
