// The header block a composed mail is stored with.
#include "message/ComposedHeaderWriter.h"

#include <gtest/gtest.h>

#include "platform/TextEncoding.h"

namespace zorvik::message {
namespace {

constexpr std::time_t kNow = 1796603405;  // Mon, 07 Dec 2026 09:30:05 +0900

ComposeSettings settings() { return ComposeSettings{"Me", "me@example.jp", "Org", false, 9, kNow}; }
MailRecordParser parser() { return MailRecordParser(ParseContext{{}, 9, kNow, "me@example.jp"}); }

// The header lines with the Message-Id line's varying counter masked.
std::vector<std::string> masked(const MailLines& lines) {
  std::vector<std::string> header = lines.header;
  for (std::string& line : header) {
    if (line.starts_with("Message-Id: <")) line = line.substr(0, 27) + "XXXXXXXX" + line.substr(35);
  }
  return header;
}

TEST(MailRecordWriter, LinesInOrder) {
  MailRecord mail;
  mail.subject = "Hello";
  mail.to = "Hanako <hanako@example.jp>\r\nb@example.jp";
  mail.cc = "\"Jiro\" <jiro@example.jp>";
  mail.inReplyTo = "<p@x>";
  mail.internalText = "memo";
  mail.internalNumber = 300;
  mail.flags = mailflag::kAttachments | mailflag::kSwitch1 | mailflag::kLink | mailflag::kSentUnread;
  mail.krdx = "k";
  const MailLines lines = ComposedHeaderWriter::write(mail, settings(), parser());
  EXPECT_EQ(lines.separator, "From ");
  EXPECT_EQ(masked(lines), (std::vector<std::string>{
                               "From: \"Me\" <me@example.jp>",
                               "Subject: Hello",
                               "To: \"Hanako\" <hanako@example.jp>,b@example.jp",
                               "Cc: \"Jiro\" <jiro@example.jp>",
                               "Date: Mon, 07 Dec 2026 09:30:05 +0900",
                               "Message-Id: <1261207093005.XXXXXXXX.me@example.jp>",
                               "In-Reply-To: <p@x>",
                               "Organization: Org",
                               "Content-Type: multipart",
                               "Zorvik: 100,memo,1,0,300",
                               "KRDX: k",
                           }));
  // The record now says what a reader of the stored header finds.
  EXPECT_EQ(mail.internalCode, 100);
  EXPECT_EQ(mail.messageId, lines.header[5].substr(13, lines.header[5].size() - 14));
  EXPECT_EQ(mail.ownKey, threadKeyOf(mail.messageId)) << "the key of the id the mail leaves with";
  EXPECT_EQ(mail.parentKey, threadKeyOf("p@x"));
  EXPECT_EQ(mail.date, kNow);
  EXPECT_EQ(mail.headerLineCount, lines.header.size());
  EXPECT_EQ(mail.flags, mailflag::kAttachments | mailflag::kSwitch1 | mailflag::kSentByUser);
  EXPECT_EQ(mail.listAddress, "hanako@example.jp...");
  EXPECT_EQ(mail.fromAddress, "me@example.jp");
}

TEST(MailRecordWriter, CountedIdsDiffer) {
  MailRecord a, b;
  ComposedHeaderWriter::write(a, settings(), parser());
  ComposedHeaderWriter::write(b, settings(), parser());
  EXPECT_NE(a.messageId, b.messageId);
  EXPECT_NE(a.ownKey, b.ownKey);
}

TEST(MailRecordWriter, FromAndOrganizationChoices) {
  ComposeSettings noName = settings();
  noName.userName.clear();
  noName.organization.clear();
  MailRecord mail;
  mail.date = 1015291230;  // 2002-03-05 10:20:30 JST
  const MailLines lines = ComposedHeaderWriter::write(mail, noName, parser());
  EXPECT_EQ(lines.header[0], "From: me@example.jp");
  EXPECT_EQ(lines.header[2], "To: ");
  EXPECT_EQ(lines.header[3], "Date: Tue, 05 Mar 2002 10:20:30 +0900") << "the mail's own date is kept";
  for (const std::string& line : lines.header) EXPECT_FALSE(line.starts_with("Organization:")) << line;

  MailRecord own;
  own.from = "Taro <taro@example.jp>";
  own.organization = "Mine";
  const MailLines ownLines = ComposedHeaderWriter::write(own, settings(), parser());
  EXPECT_EQ(ownLines.header[0], "From: \"Taro\" <taro@example.jp>");
  EXPECT_NE(ownLines.header[4].find(".taro@example.jp>"), std::string::npos) << ownLines.header[4];
  EXPECT_EQ(ownLines.header[5], "Organization: Mine");
  EXPECT_EQ(own.organization, "Mine");
}

TEST(MailRecordWriter, NormalisedAddressLists) {
  EXPECT_EQ(ComposedHeaderWriter::normaliseAddressList("a@x"), "a@x");
  EXPECT_EQ(ComposedHeaderWriter::normaliseAddressList("<a@x>"), "<a@x>");
  EXPECT_EQ(ComposedHeaderWriter::normaliseAddressList("\"A, B\" <a@x>\r\nC <c@x>"), "\"A, B\" <a@x>,\"C\" <c@x>");
  EXPECT_EQ(ComposedHeaderWriter::normaliseAddressList("Say \"hi\" <a@x>"), "\"Say \\\"hi\\\"\" <a@x>");
  EXPECT_EQ(ComposedHeaderWriter::normaliseAddressList("\"<odd>\" <a@x>"), "\"<odd>\" <a@x>");
  // "ソ" ends in the byte of a backslash: it is a character, not an escape.
  const std::string so = platform::utf8ToSjis("ソ");
  ASSERT_EQ(so, "\x83\\");
  EXPECT_EQ(ComposedHeaderWriter::normaliseAddressList(so + " <a@x>"), "\"" + so + "\" <a@x>");
}

TEST(MailRecordWriter, ValuesStayOnTheirLine) {
  MailRecord mail;
  mail.subject = "two\r\nBcc: injected@x";
  const MailLines lines = ComposedHeaderWriter::write(mail, settings(), parser());
  EXPECT_EQ(lines.header[1], "Subject: two  Bcc: injected@x");
  EXPECT_EQ(mail.bcc, "");
}

TEST(MailRecordWriter, HalfWidthKanaWrittenFullWidthExceptTheInternalLine) {
  ComposeSettings kana = settings();
  kana.fullWidthKana = true;
  MailRecord mail;
  mail.subject = "\xb1";  // half-width katakana A
  mail.internalText = "\xb1";
  const MailLines lines = ComposedHeaderWriter::write(mail, kana, parser());
  EXPECT_EQ(lines.header[1], "Subject: " + platform::utf8ToSjis("ア"));
  EXPECT_EQ(lines.header[lines.header.size() - 2], "Zorvik: 100,\xb1,0,0,0");
}

}  // namespace
}  // namespace zorvik::message
