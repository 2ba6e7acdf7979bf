// Files taken out of a stored mail's text (uuencoded blocks, base64 parts
// kept as text) and attachments deleted from a mail: the rewritten lines,
// the saved bytes, the messages' conditions, and names from mail text that
// never leave the folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "message/AttachmentStripper.h"
#include "message/Base64.h"
#include "message/BodyFileExtractor.h"
#include "message/Uuencode.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "support/TestEnvironment.h"

namespace zorvik::message {
namespace {

using platform::utf8ToSjis;

// Lines of a CR LF text, its last line end dropped.
std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

std::vector<std::string> joined(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::string binary(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 37 % 256);
  return bytes;
}

class ExtractionTest : public ::testing::Test {
protected:
  ExtractionResult extract(std::vector<std::string> headerLines, std::vector<std::string> body) {
    return BodyFileExtractor(root, 9, 0).extract(MailLines{"From ", std::move(headerLines), std::move(body)});
  }
  std::string saved(const std::string& name) const {
    return platform::readFile(root + "/1261207.000/" + name).value_or("<missing>");
  }

  test::ScratchDir scratch;
  const std::string root = scratch.file(".inc");
  const std::vector<std::string> header{"From: a@example.jp", "Date: Mon, 7 Dec 2026 09:30:00 +0900",
                                        "Content-Type: text/plain; charset=\"ISO-2022-JP\""};
};

TEST_F(ExtractionTest, AUuencodedFileBetweenTwoParagraphsBecomesAReference) {
  const std::string data = binary(1000);
  std::vector<std::string> uu = linesOf(uuencodeBody(data, "data.bin"));
  uu.pop_back();  // the empty line after "end"
  const auto result = extract(header, joined(joined({"first", ""}, uu), {"", "second"}));
  EXPECT_EQ(result.mail.body, (std::vector<std::string>{"first", "", "@#MIME \"%:data.bin\"", "", "second"}));
  EXPECT_EQ(result.mail.header,
            (std::vector<std::string>{"From: a@example.jp", "Date: Mon, 7 Dec 2026 09:30:00 +0900",
                                      "Content-Type: multipart/mixed;", "X-Zorvik-AttachDir: 1261207.000"}));
  EXPECT_EQ(saved("data.bin"), data);
  EXPECT_EQ(result.savedFiles, (std::vector<std::string>{root + "/1261207.000/data.bin"}));
  EXPECT_EQ(result.createdFolder, root + "/1261207.000") << "the folder is named by the mail's date";
  EXPECT_FALSE(result.uuencodeCut);
  EXPECT_TRUE(result.failedPath.empty());
}

TEST_F(ExtractionTest, AForwardedMimeMailYieldsItsNamedAndNamelessFiles) {
  const std::string pdf = binary(300);
  const std::string jpeg = binary(100);
  std::vector<std::string> body{"---- forwarded ----", "Content-Type: multipart/mixed; boundary=\"b\"", "",
                                "--b", "Content-Type: text/plain", "", "hello", "--b",
                                "Content-Type: application/pdf;", utf8ToSjis("\tname=\"報告.pdf\""),
                                "Content-Disposition: attachment; filename=\"x.pdf\"",
                                "Content-Transfer-Encoding: BASE64", ""};
  body = joined(body, linesOf(base64MimeBody(pdf)));
  body = joined(body, {"--b", "Content-Transfer-Encoding: base64", "Content-ID: <c1>", ""});
  body = joined(body, linesOf(base64MimeBody(jpeg)));
  body = joined(body, {"--b--", "after"});
  const auto result = extract({"X-Zorvik-AttachDir: 1261207.000", "Subject: fw"}, body);
  EXPECT_EQ(result.mail.body,
            (std::vector<std::string>{"---- forwarded ----", "", "--b", "", "hello", "--b",
                                      "@#MIME \"%:" + utf8ToSjis("報告.pdf") + "\"", "--b", "Content-ID: <c1>",
                                      "@#MIME \"%:Attach1\"", "--b--", "after"}));
  EXPECT_EQ(saved(utf8ToSjis("報告.pdf")), pdf);
  EXPECT_EQ(saved("Attach1"), jpeg);
  EXPECT_EQ(result.createdFolder, "") << "the mail's own folder is used";
  EXPECT_EQ(result.mail.header, (std::vector<std::string>{"X-Zorvik-AttachDir: 1261207.000", "Subject: fw"}));
}

TEST_F(ExtractionTest, TextThatLooksLikeABlockAndBlocksThatEndTooEarly) {
  const std::vector<std::string> text{"beginning of the story", "begin 64 x", "begin 999 x", "begin 644 ", "end"};
  const auto plain = extract(header, text);
  EXPECT_TRUE(plain.savedFiles.empty());
  EXPECT_EQ(plain.mail.body, text);
  EXPECT_EQ(plain.createdFolder, "") << "no folder is made for nothing";

  std::vector<std::string> uu = linesOf(uuencodeBody(binary(200), "cut.bin"));
  uu.resize(3);  // "begin" and two lines of 45 bytes: the mail ends there
  const auto cutUu = extract(header, uu);
  EXPECT_TRUE(cutUu.uuencodeCut);
  EXPECT_EQ(saved("cut.bin"), binary(90)) << "what was there is kept";

  std::vector<std::string> b64{"Content-Transfer-Encoding: base64", ""};
  b64 = joined(b64, linesOf(base64MimeBody(binary(57 * 3))));
  b64.resize(b64.size() - 2);  // the mail ends after the second of three lines
  const auto cutBase64 = extract({"Date: Mon, 7 Dec 2026 09:30:00 +0900"}, b64);
  EXPECT_TRUE(cutBase64.base64Cut);
  EXPECT_EQ(platform::readFile(cutBase64.savedFiles.at(0)), binary(57 * 2));
}

TEST_F(ExtractionTest, NamesFromTheMailNeverLeaveTheFolder) {
  std::vector<std::string> uu = linesOf(uuencodeBody("evil", "../../../.bashrc"));
  uu.pop_back();
  std::vector<std::string> body{"Content-Type: text/plain; name=\"/etc/passwd\"", "Content-Transfer-Encoding: base64",
                                "", "ZXZpbA==", "--x"};
  const auto result = extract({"X-Zorvik-AttachDir: ../../home", "Date: Mon, 7 Dec 2026 09:30:00 +0900"},
                              joined(uu, body));
  ASSERT_EQ(result.savedFiles.size(), 2u);
  for (const std::string& path : result.savedFiles) EXPECT_EQ(platform::directoryOf(path), root + "/1261207.000");
  EXPECT_EQ(saved(".bashrc"), "evil");
  EXPECT_EQ(saved("passwd"), "evil");
  EXPECT_EQ(result.mail.header.back(), "X-Zorvik-AttachDir: 1261207.000") << "the forged folder line is replaced";
  EXPECT_EQ(std::count(result.mail.header.begin(), result.mail.header.end(), "X-Zorvik-AttachDir: ../../home"), 0);

  const auto failed = BodyFileExtractor("/proc/no-such-root", 9, 0).extract(MailLines{"From ", header, uu});
  EXPECT_FALSE(failed.failedPath.empty());
  EXPECT_TRUE(failed.savedFiles.empty());
}

TEST(AttachmentStripper, ReferencesBecomeNotesAndTheFolderIsForgotten) {
  const MailLines mail{"From ",
                       {"Subject: s", "X-Zorvik-AttachDir: 1261207.000", "content-type: multipart/mixed;"},
                       {"text", "@#MIME \"%:a.pdf\"", "@#MIME \"%:" + utf8ToSjis("写真.jpg") + "\"", "@#MIMEX",
                        "@#MIME /no/quotes"}};
  int removed = 0;
  const MailLines stripped = AttachmentStripper::strip(mail, &removed);
  EXPECT_EQ(removed, 2);
  EXPECT_EQ(stripped.header, (std::vector<std::string>{"Subject: s", "Content-Type: text/plain;"}));
  const std::string note = utf8ToSjis("■消去された添付ファイル ");
  EXPECT_EQ(stripped.body, (std::vector<std::string>{"text", note + "a.pdf", note + utf8ToSjis("写真.jpg"),
                                                     "@#MIMEX", "@#MIME /no/quotes"}));
}

}  // namespace
}  // namespace zorvik::message
