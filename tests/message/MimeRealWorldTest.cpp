// Received mail as today's senders write it: which text types are read
// inline and which are files, files saved byte for byte, multiparts with a
// broken boundary, HTML-only mail, hostile names and lines, the over-size
// notice. Each mail goes through the decoder as a receive runs it; where it
// matters, on through the reader that moves it into a tray.
#include "MimeTestSupport.h"

#include "message/AttachmentName.h"
#include "message/Base64.h"
#include "message/HeaderReader.h"
#include "message/OversizeMail.h"
#include "platform/LineReader.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zorvik::message {
namespace {

using mimetest::crlf;
using mimetest::Decoded;
using mimetest::kMixedHeader;
using mimetest::part;
using mimetest::sjis;

class MimeRealWorldTest : public ::testing::Test, public mimetest::MimeFixture {
protected:
  // The body lines a tray stores for the decoded text `stored`.
  static std::vector<std::string> trayBody(const std::string& stored) {
    const MailRecordParser parser(ParseContext{{}, 9, 0, "me@example.jp"});
    auto input = platform::LineReader::fromText("From  \r\n" + stored);
    HeaderReader reader(input, parser);
    MailRecord record;
    MailLines lines;
    EXPECT_TRUE(reader.readHeader(record, lines));
    reader.copyBody(record, lines);
    return lines.body;
  }
};

const std::string kTopHeader = "From: a@example.jp\nDate: Mon, 07 Dec 2026 09:30:00 +0900\nMIME-Version: 1.0\n";

TEST_F(MimeRealWorldTest, TextTypesMeantToBeReadAreTextEveryOtherTypeIsAFile) {
  struct Case {
    const char* header;
    const char* body;
    const char* savedAs;  // empty: stored as text
  };
  for (const Case c : {Case{"Content-Type: text/plain; charset=us-ascii\n", "plain words\n", ""},
                       Case{"Content-Type: TEXT\n", "bare type words\n", ""},
                       Case{"Content-Type: text/enriched\n", "enriched words\n", ""},
                       Case{"Content-Type: text/html\n", "<b>bold</b>\n", "__NONAME_001.htm"},
                       Case{"Content-Type: text/csv; name=\"sales.csv\"\n", "a,b\n1,2\n", "sales.csv"},
                       Case{"Content-Type: text/calendar; method=REQUEST\n", "BEGIN:VCALENDAR\nEND:VCALENDAR\n",
                            "__NONAME_001.ics"},
                       Case{"Content-Type: text/x-vcard\nContent-Disposition: attachment; filename=card.vcf\n",
                            "BEGIN:VCARD\nEND:VCARD\n", "card.vcf"}}) {
    const Decoded d = decode(kMixedHeader + part(c.header, c.body) + "--XX--\n");
    ASSERT_TRUE(d.ok) << c.header;
    const std::string body = crlf(c.body);
    const std::string firstLine = body.substr(0, body.find("\r\n"));
    if (*c.savedAs == '\0') {
      EXPECT_NE(d.text.find(firstLine.substr(0, firstLine.find(' '))), std::string::npos) << c.header << d.text;
      EXPECT_TRUE(d.files.empty()) << c.header;
      continue;
    }
    ASSERT_EQ(d.files.count(c.savedAs), 1u) << c.header << d.text;
    EXPECT_EQ(d.files.at(c.savedAs), body.substr(0, body.size() - 2)) << c.header;
    EXPECT_NE(d.text.find(std::string("@#MIME \"%:") + c.savedAs + "\"\r\n"), std::string::npos) << c.header;
    EXPECT_EQ(d.text.find(firstLine), std::string::npos) << c.header << ": its source is not poured into the text";
  }
}

TEST_F(MimeRealWorldTest, AFileNamedTxtIsExpandedOnlyWhenItHoldsText) {
  const std::string jpeg("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11);
  const Decoded d = decode(kMixedHeader +
                           part("Content-Type: image/jpeg; name=\"photo.txt\"\nContent-Transfer-Encoding: base64\n",
                                base64MimeBody(jpeg)) +
                           part("Content-Type: application/octet-stream; name=\"notes.txt\"\n"
                                "Content-Transfer-Encoding: base64\n",
                                base64MimeBody("memo line\r\n\x1B$B$3$s\x1B(B\f\r\n")) +
                           "--XX--\n");
  ASSERT_TRUE(d.ok);
  ASSERT_EQ(d.files.size(), 1u) << d.text;
  EXPECT_EQ(d.files.at("photo.txt"), jpeg);
  EXPECT_NE(d.text.find("@#MIME \"%:photo.txt\"\r\n"), std::string::npos) << "at the place the text would have taken";
  EXPECT_EQ(d.text.find("JFIF"), std::string::npos);
  EXPECT_NE(d.text.find("-------- notes.txt --------\r\nmemo line\r\n"), std::string::npos) << d.text;
  EXPECT_EQ(d.bits, MimeDecoder::kFileSaved | MimeDecoder::kExpandedOrDropped);
}

TEST_F(MimeRealWorldTest, AttachmentsAreSavedByteForByte) {
  struct Case {
    const char* encoding;
    std::string body;   // as sent, LF for CR LF
    std::string bytes;  // the sender's file
  };
  const std::vector<Case> cases = {
      {"7bit", "line1\nline2\n", "line1\r\nline2"},
      {"8bit", sjis("日本語") + "\n\n", sjis("日本語") + "\r\n"},
      {"quoted-printable", "a=3Db\nsoft=\nbreak\n", "a=b\r\nsoftbreak"},
      {"quoted-printable", "ends in a soft break=\n", "ends in a soft break"},
      {"base64", "QUJD\n", "ABC"},
  };
  for (const Case& c : cases) {
    const Decoded d = decode(kMixedHeader +
                             part(std::string("Content-Type: application/octet-stream; name=f.bin\n"
                                              "Content-Transfer-Encoding: ") + c.encoding + "\n",
                                  c.body) +
                             "--XX--\n");
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.files.at("f.bin"), c.bytes) << c.encoding << ": the line end before a boundary is the boundary's";
  }
  const Decoded single = decode(kTopHeader + "Content-Type: application/octet-stream; name=f.bin\n\nx\n");
  EXPECT_EQ(single.files.at("f.bin"), "x\r\n") << "without a boundary the whole body is the file";
}

TEST_F(MimeRealWorldTest, AMultipartWithoutAUsableBoundaryKeepsItsBody) {
  const std::string body = "first line\n--other\nlast line\n";
  for (const char* type : {"multipart/mixed", "multipart/mixed; boundary=\"\"", "multipart/alternative; boundary=never"}) {
    const Decoded d = decode(kTopHeader + "Content-Type: " + type + "\n\n" + body);
    ASSERT_TRUE(d.ok) << type;
    EXPECT_NE(d.text.find("\r\n\r\n" + crlf(body)), std::string::npos) << type << "\n" << d.text;
    EXPECT_EQ(folderCount(), 0u) << type;
  }
  // An inner multipart whose boundary never comes ends with the outer one.
  const Decoded nested = decode(kMixedHeader +
                                part("Content-Type: multipart/alternative; boundary=YY\n", "inner text\n") +
                                part("Content-Type: application/zip; name=a.zip\n", "PK\n") + "--XX--\n");
  ASSERT_TRUE(nested.ok);
  EXPECT_NE(nested.text.find("inner text\r\n"), std::string::npos) << nested.text;
  EXPECT_EQ(nested.files.at("a.zip"), "PK");
}

// Only Zorvik's own reference lines may begin with "@#": a received line
// that does is stored with ">" in front, however it came (7bit,
// quoted-printable, base64, an expanded file, an attached mail, HTML text),
// and so is one that only decoding in the tray would turn into one.
TEST_F(MimeRealWorldTest, ReceivedTagLinesAreStoredQuoted) {
  const std::string mail =
      kMixedHeader +
      part("Content-Type: text/plain\n",
           "@#MIME \"/home/u/.ssh/id_rsa\"\n=?US-ASCII?Q?=40#MIME?= \"/encoded/word\"\n\x1B(B@#MIME \"/escaped\"\n") +
      part("Content-Type: text/plain\nContent-Transfer-Encoding: quoted-printable\n", "=40#UUENCODE \"/etc/passwd\"\n") +
      part("Content-Type: text/plain\nContent-Transfer-Encoding: base64\n", base64MimeBody("@#HEADER Bcc: x@y\n")) +
      part("Content-Type: application/octet-stream; name=notes.txt\nContent-Transfer-Encoding: base64\n",
           base64MimeBody("@#MIME \"/etc/shadow\"\n")) +
      part("Content-Type: message/rfc822\n", "Subject: inner\n\n@#INCLUDE \"/inner\"\n") +
      part("Content-Type: text/html\n", "<p>@#MIME \"/root/key\"</p>\n") +
      part("Content-Type: image/gif; name=a.gif\n", "GIF89a\n") + "--XX--\n";
  const Decoded d = decode(mail);
  ASSERT_TRUE(d.ok);
  for (const char* line : {">@#MIME \"/home/u/.ssh/id_rsa\"\r\n", ">@#UUENCODE \"/etc/passwd\"\r\n",
                           ">@#HEADER Bcc: x@y\r\n", ">@#MIME \"/etc/shadow\"\r\n", ">@#INCLUDE \"/inner\"\r\n",
                           ">@#MIME \"/root/key\"\r\n"})
    EXPECT_NE(d.text.find(std::string("\r\n") + line), std::string::npos) << line << d.text;
  std::vector<std::string> tags;
  for (const std::string& line : trayBody(d.text))
    if (line.starts_with("@#")) tags.push_back(line);
  EXPECT_EQ(tags, (std::vector<std::string>{"@#MIME \"%:__NONAME_001.htm\"", "@#MIME \"%:a.gif\""}));
  const auto body = trayBody(d.text);
  EXPECT_NE(std::find(body.begin(), body.end(), ">@#MIME \"/encoded/word\""), body.end());
  EXPECT_NE(std::find(body.begin(), body.end(), ">@#MIME \"/escaped\""), body.end());
}

TEST_F(MimeRealWorldTest, NamesWithNulOrCutCharactersNeverHangTheDecoder) {
  settings.expandTextAttachments = false;
  // Found by the fuzz target: the name kept its NUL, the file system saw
  // "x" plus the lead byte, and the search for a free name never ended.
  const std::string name("x\x81\x00", 3);
  const std::string header = "Content-Type: application/octet-stream; name=\"" + name + "\"\n";
  const Decoded d = decode(kMixedHeader + part(header, "1\n") + part(header, "2\n") + "--XX--\n");
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.files, (std::map<std::string, std::string>{{"x__", "1"}, {"x___1", "2"}}));

  struct Case {
    std::string name, safe;
  };
  for (const Case& c : {Case{std::string("a\0b", 3), "a_b"}, Case{"a\x81/../b", "b"}, Case{"\x81", "_"},
                        Case{"tail\x81", "tail_"}, Case{"\xA0\xFD.bin", "__.bin"}, Case{sjis("表ソ.txt"), sjis("表ソ.txt")},
                        Case{sjis("ｶﾅ.txt"), sjis("ｶﾅ.txt")}})
    EXPECT_EQ(AttachmentName::safe(c.name), c.safe) << c.safe;
}

TEST_F(MimeRealWorldTest, OversizeNoticeIsReadableWhateverTheHeaderSaid) {
  const std::string notice = sjis("★★★ このメールはサイズ制限を越えるため受信しませんでした。★★★");
  for (const char* header : {"Content-Type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: base64\r\n",
                             "Content-Type: multipart/mixed;\r\n boundary=\"b\"\r\n",
                             "content-type: text/plain; charset=iso-2022-jp\r\n"
                             "Content-Transfer-Encoding: quoted-printable\r\n",
                             "Content-Type: text/plain; charset=euc-jp\r\n"}) {
    const std::string fetched = "Subject: big\r\nMIME-Version: 1.0\r\n" + std::string(header) + "\r\n.\r\n";
    const Decoded d = decode(OversizeMail::withNotice(fetched), true);
    ASSERT_TRUE(d.ok) << header;
    EXPECT_EQ(trayBody(d.text), std::vector<std::string>{notice}) << header << d.text;
    EXPECT_NE(d.text.find("X-Original-"), std::string::npos) << "the original lines are kept, out of force";
    EXPECT_EQ(folderCount(), 0u);
  }
}

// The text of a nameless HTML part is stored below its reference line when
// no alternative around it offers text of its own.
TEST_F(MimeRealWorldTest, HtmlOnlyMailCanBeRead) {
  const std::string html =
      "Content-Type: text/html; charset=utf-8\n\n<p>Hello <a href=\"https://x.example/\">site</a></p>\n";
  const std::string plain = "Content-Type: text/plain\n\nplain words\n";
  const auto alternative = [](const std::string& boundary, const std::vector<std::string>& parts) {
    std::string text = "Content-Type: multipart/alternative; boundary=" + boundary + "\n\n";
    for (const auto& p : parts) text += "--" + boundary + "\n" + p;
    return text + "--" + boundary + "--\n";
  };
  struct Case {
    const char* shape;
    std::string body;  // after the top-level MIME-Version line
    bool rendered;
  };
  const std::vector<Case> cases = {
      {"HTML alone", html, true},
      {"plain and HTML", alternative("A", {plain, html}), false},
      {"HTML then plain", alternative("A", {html, plain}), false},
      {"HTML only in an alternative", alternative("A", {html}), true},
      {"empty plain and HTML", alternative("A", {"Content-Type: text/plain\n\n\n", html}), true},
      {"plain and related HTML",
       alternative("A", {plain, "Content-Type: multipart/related; boundary=R\n\n--R\n" + html +
                                    "--R\nContent-Type: image/png; name=i.png\n\npng\n--R--\n"}),
       false},
      {"a plain body and a named HTML file",
       "Content-Type: multipart/mixed; boundary=M\n\n--M\n" + plain +
           "--M\nContent-Type: text/html\nContent-Disposition: attachment; filename=__NONAME_001.htm\n\n"
           "<p>Hello <a href=\"https://x.example/\">site</a></p>\n--M--\n",
       false},
      {"HTML alternative and a footer",
       "Content-Type: multipart/mixed; boundary=M\n\n--M\n" + alternative("A", {html}) +
           "--M\nContent-Type: text/plain\n\n-- list footer\n--M--\n",
       true},
  };
  for (const Case& c : cases) {
    const Decoded d = decode(kTopHeader + c.body);
    ASSERT_TRUE(d.ok) << c.shape;
    EXPECT_EQ(d.files.count("__NONAME_001.htm"), 1u) << c.shape << ": the HTML file stays saved";
    const auto reference = d.text.find("@#MIME \"%:__NONAME_001.htm\"\r\n");
    const auto rendering = d.text.find("Hello site <https://x.example/>\r\n");
    EXPECT_EQ(rendering != std::string::npos, c.rendered) << c.shape << "\n" << d.text;
    if (c.rendered) EXPECT_LT(reference, rendering) << c.shape;
  }
}

}  // namespace
}  // namespace zorvik::message
