// Composition of unsent mail into the header file and the body file: the
// exact bytes of the parts, the tag commands and their odd spellings, what
// must never reach the header, dot-stuffing of both files, and the failures
// (missing files, work files that cannot be made, a full disk).
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "core/Messages.h"
#include "message/ByteSink.h"
#include "message/DraftBody.h"
#include "message/JapaneseCodec.h"
#include "message/MimeComposer.h"
#include "message/TagCommand.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "support/RecordingReporter.h"
#include "support/TestEnvironment.h"

namespace zorvik::message {
namespace {

using core::MessageNumber;

std::string sjis(const std::string& utf8) { return platform::utf8ToSjis(utf8); }

const std::string kNihonJis = "\x1B$BF|K\\\x1B(B";                   // 日本 in a body
const std::string kNihonWord = "=?ISO-2022-JP?B?GyRCRnxLXBsoQg==?=";  // 日本 in a header
const std::string kBoundary = std::string(MimeComposer::kBoundaryStem) + "_test";
const std::string kTextPart =
    "Content-Type: text/plain; charset=\"ISO-2022-JP\"\r\nContent-Transfer-Encoding: 7bit\r\n";

class StringSink : public ByteSink {
public:
  bool write(std::string_view bytes) override {
    if (failAfter == 0) return false;
    --failAfter;
    text.append(bytes);
    return true;
  }
  std::string text;
  int failAfter = -1;  // writes that succeed before every write fails
};

class ComposerTest : public ::testing::Test {
protected:
  struct Result {
    bool ok = false;
    std::string header;
    std::string body;
  };

  Result compose(std::vector<std::string> header, std::vector<std::string> body, ComposeOptions options = {}) {
    MailLines draft{"From ", std::move(header), std::move(body)};
    if (!options.boundaryPart) options.boundaryPart = [] { return std::string("test"); };
    StringSink headerSink;
    StringSink bodySink;
    MimeComposer composer(options, messages);
    const bool ok = composer.compose(draft, headerSink, bodySink);
    return {ok, headerSink.text, bodySink.text};
  }

  std::string file(const std::string& name, const std::string& content) {
    const std::string path = scratch.file(name);
    EXPECT_TRUE(platform::writeFileAtomically(path, content));
    return path;
  }

  std::vector<MessageNumber> shown() const { return reporter.numbers(); }

  test::ScratchDir scratch;
  test::RecordingReporter reporter;
  core::Messages messages{reporter};
};

TEST(TagCommandTest, PathsNamesAndOddQuoting) {
  const auto quoted = TagCommand::parse("@#MIME   \"/home/u/a b.tar.gz\"  trailing words");
  EXPECT_EQ(quoted.kind, TagCommand::Kind::mime);
  EXPECT_EQ(quoted.path, "/home/u/a b.tar.gz");
  EXPECT_EQ(quoted.fileName, "a b.tar.gz");
  EXPECT_EQ(quoted.extension, ".gz");

  const auto unclosed = TagCommand::parse("@#UUENCODE \"C:\\dir\\x.uu  ");
  EXPECT_EQ(unclosed.kind, TagCommand::Kind::uuencode);
  EXPECT_EQ(unclosed.path, "C:\\dir\\x.uu  ") << "a missing closing quote takes the rest of the line";
  EXPECT_EQ(unclosed.fileName, "x.uu  ");

  const auto bare = TagCommand::parse("@#MIME /tmp/noext\t ");
  EXPECT_EQ(bare.path, "/tmp/noext");
  EXPECT_EQ(bare.extension, "");

  // 表 is 0x95 0x5C: its second byte is no path separator.
  const auto kanji = TagCommand::parse(sjis("@#MIME \"/d/表.jpg\""));
  EXPECT_EQ(kanji.fileName, sjis("表.jpg"));
  EXPECT_EQ(kanji.extension, ".jpg");

  for (const char* text : {"@#MIME ", "@#MIME \"\"", "@#MIME    ", "@#mime /a", "@#MIME/a", "@#BINHEX /a",
                           "@#INCLUDE /a", "@#HEADER no colon here", "@#HEADER : empty name",
                           "@#HEADER Bad Name: x", " @#MIME /a"})
    EXPECT_EQ(TagCommand::parse(text).kind, TagCommand::Kind::text) << text;
  const auto header = TagCommand::parse("@#HEADER   X-Priority: 1  ");
  EXPECT_EQ(header.kind, TagCommand::Kind::header);
  EXPECT_EQ(header.argument, "X-Priority: 1");
}

TEST(DraftBodyTest, FromQuotingKanaAndBreakingNeverInsideACharacter) {
  const auto lines = DraftBody::normalise(sjis("From me\r\n\n@#MIME \"/a\"\nｶﾞ\nあいう"), true, 4);
  const std::vector<std::string> expected{">Fro", "m me", "", "@#MIME \"/a\"", sjis("カ゛"), sjis("あい"), sjis("う")};
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(DraftBody::normalise(sjis("aあ"), false, 2), (std::vector<std::string>{"a", sjis("あ")}))
      << "a character that does not fit moves to the next piece";
  EXPECT_EQ(DraftBody::normalise("x\r\ny\n", false, 0), (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(DraftBody::normalise("a\rb", false, 0), (std::vector<std::string>{"a b"}));
  // A piece that a break leaves at the start of a line never becomes a
  // tag command or a separator.
  EXPECT_EQ(DraftBody::normalise("> abc@#MIME \"/etc/passwd\"", false, 5),
            (std::vector<std::string>{"> abc", ">@#MIM", "E \"/e", "tc/pa", "sswd\""}));
  EXPECT_EQ(DraftBody::normalise("abcdeFrom x", false, 5), (std::vector<std::string>{"abcde", ">From ", "x"}));
  // A quote prefix and the text it is put before count as one line.
  EXPECT_TRUE(DraftBody::needsQuoteMark("Fr", "om x"));
  EXPECT_TRUE(DraftBody::needsQuoteMark("@", "#MIME"));
  EXPECT_TRUE(DraftBody::needsQuoteMark("From x>", ""));
  EXPECT_FALSE(DraftBody::needsQuoteMark("x>", "From x"));
  EXPECT_FALSE(DraftBody::needsQuoteMark("", "From"));
}

TEST_F(ComposerTest, PlainMailIsOneIso2022JpPartWithDotsStuffed) {
  const auto r = compose({"From: me@example.jp", sjis("Subject: 日本"), "To: a@example.jp", "Zorvik: 100,,0,0,0",
                          "X-Zorvik-AttachDir: 1.000", "KRDX: ", "Content-Type: multipart", "bcc: low@example.jp",
                          "Bcc: b@example.jp", "MIME-Version: 1.0"},
                         {sjis("日本"), ".", ".x", "", "end"});
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.header, "From: me@example.jp\r\nSubject: " + kNihonWord + "\r\nTo: a@example.jp\r\n" +
                          "Mime-Version: 1.0\r\n" + kTextPart + "\r\n");
  EXPECT_EQ(r.body, kNihonJis + "\r\n..\r\n..x\r\n\r\nend\r\n");
  EXPECT_TRUE(reporter.boxes().empty());
}

TEST_F(ComposerTest, ValuesCannotAddHeaderLinesOrEndTheMail) {
  const auto r = compose({"Subject: a\rBcc: x@y", std::string("X-A: b\0Bcc: z", 13), ".Odd: header"},
                         {"@#HEADER X-Tag: one", "@#HEADER bCC: hidden@example.jp", "@#HEADER .", "@#HEADER .Y: two"});
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.header, "Subject: a Bcc: x@y\r\nX-A: b Bcc: z\r\n..Odd: header\r\nMime-Version: 1.0\r\n" + kTextPart +
                          "X-Tag: one\r\n..Y: two\r\n\r\n");
  EXPECT_EQ(r.body, "@#HEADER .\r\n") << "not a header line: sent as text";
}

TEST_F(ComposerTest, LongRecipientLinesAreFoldedBelowTheSmtpLineLimit) {
  std::string to = "To: ";
  for (int i = 0; i < 80; ++i) to += (i > 0 ? "," : "") + std::string("\"") + sjis("山田") + std::to_string(i) +
                                     "\" <person" + std::to_string(i) + "@example.jp>";
  const auto r = compose({to}, {"x"});
  ASSERT_TRUE(r.ok);
  EXPECT_NE(r.header.find(",\r\n\t"), std::string::npos);
  std::size_t start = 0;
  for (std::size_t end; (end = r.header.find("\r\n", start)) != std::string::npos; start = end + 2)
    EXPECT_LT(end - start, 998u);
}

TEST_F(ComposerTest, TextAttachmentTextGivesThreeParts) {
  const std::string path = file(sjis("写真.jpg"), std::string("\xFF\xD8\x00\x01", 4));
  const auto r = compose({"Subject: s"}, {"before", "@#MIME \"" + path + "\"", "after"});
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.header, "Subject: s\r\nMime-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"" + kBoundary +
                          "\"\r\nContent-Transfer-Encoding: 7bit\r\n\r\nThis is a MIME-encapsulated message\r\n\r\n--" +
                          kBoundary + "\r\n" + kTextPart + "\r\n");
  const std::string name = "=?ISO-2022-JP?B?GyRCPEw/PxsoQg==?=.jpg";
  EXPECT_EQ(r.body, "before\r\n--" + kBoundary + "\r\nContent-Type: image/jpeg; name=\"" + name +
                        "\"\r\nContent-Disposition: attachment; filename=\"" + name +
                        "\";\r\n filename*=UTF-8''%E5%86%99%E7%9C%9F.jpg\r\nContent-Transfer-Encoding: base64\r\n\r\n/9gAAQ==\r\n\r\n\r\n--" + kBoundary + "\r\n" +
                        kTextPart + "\r\nafter\r\n--" + kBoundary + "--\r\n");
}

TEST_F(ComposerTest, TextFileIsIncludedInlineOnlyWhenAsked) {
  const std::string path = file("note.TXT", sjis("一行目\r\n.dot\nlast"));
  const auto inlined = compose({"Subject: s"}, {"@#MIME " + path});
  ASSERT_TRUE(inlined.ok);
  EXPECT_EQ(inlined.header.find("multipart"), std::string::npos);
  EXPECT_EQ(inlined.body, "-------- note.TXT --------\r\n\x1B$B0l9TL\\\x1B(B\r\n..dot\r\nlast\r\n\r\n");

  const auto attached = compose({"Subject: s"}, {"@#MIME " + path}, {true, false, {}});
  EXPECT_NE(attached.body.find("Content-Type: text/plain; name=\"note.TXT\""), std::string::npos);
  EXPECT_NE(attached.body.find("Content-Transfer-Encoding: base64"), std::string::npos);
}

TEST_F(ComposerTest, UuencodedPartIsDotStuffedAndNamed) {
  // 14 bytes make a uuencode line whose length character is ".".
  const std::string path = file("d.bin", "fourteen bytes");
  const auto r = compose({}, {"@#UUENCODE \"" + path + "\""});
  ASSERT_TRUE(r.ok);
  EXPECT_NE(r.body.find("Content-Type: application/x-uuencode; name=\"d.bin\"\r\n"
                        "Content-Disposition: attachment; filename=\"d.bin\"\r\n"
                        "Content-Transfer-Encoding: 7bit\r\n\r\nbegin 666 d.bin\r\n..9F]U<G1E96X@8GET97,`\r\n`\r\nend\r\n"),
            std::string::npos)
      << r.body;
}

TEST_F(ComposerTest, WithoutAttachmentsEveryFileBecomesANoteLine) {
  const std::string path = file("a.bin", "x");
  const auto r = compose({}, {"@#MIME \"" + path + "\"", "@#UUENCODE " + path, "@#MIME /missing/file"}, {false, true, {}});
  ASSERT_TRUE(r.ok) << "a missing file is no failure when nothing is attached";
  EXPECT_EQ(r.header.find("multipart"), std::string::npos);
  const std::string note = platform::utf8ToSjis("■添付ファイル ");
  EXPECT_EQ(r.body, sjisToJis(note + "\"" + path + "\"") + "\r\n" + sjisToJis(note + path) + "\r\n" +
                        sjisToJis(note + "/missing/file") + "\r\n");
}

TEST_F(ComposerTest, HalfWidthKanaLeaveAsSevenBitText) {
  const auto r = compose({sjis("Subject: ｱ")}, {sjis("ｱｲ")});
  ASSERT_TRUE(r.ok);
  for (const char c : r.header + r.body) EXPECT_LT(static_cast<unsigned char>(c), 0x80);
  EXPECT_EQ(r.body, "\x1B$B%\"%$\x1B(B\r\n");
}

TEST_F(ComposerTest, MissingFilesAndUncreatableWorkFilesFailWithTheirMessages) {
  MimeComposer composer({}, messages);
  const std::string header = scratch.file("h");
  const std::string body = scratch.file("b");
  const MailLines missing{"From ", {"Subject: s"}, {"text", "@#MIME \"/no/such/file.bin\""}};
  EXPECT_FALSE(composer.composeFiles(missing, header, body));
  EXPECT_FALSE(platform::pathExists(header)) << "the work files are removed after a failure";
  EXPECT_FALSE(platform::pathExists(body));

  const MailLines directory{"From ", {}, {"@#UUENCODE " + scratch.path()}};
  EXPECT_FALSE(composer.composeFiles(directory, header, body)) << "a folder is no attachment";

  const MailLines fine{"From ", {}, {"x"}};
  EXPECT_FALSE(composer.composeFiles(fine, scratch.file("no/such/dir/h"), body));
  EXPECT_FALSE(composer.composeFiles(fine, header, scratch.file("no/such/dir/b")));
  EXPECT_EQ(shown(), (std::vector<MessageNumber>{MessageNumber::AttachmentNotOpened, MessageNumber::AttachmentNotOpened,
                                                 MessageNumber::TemporaryFileNotCreated,
                                                 MessageNumber::TemporaryFileNotCreated}));
  EXPECT_NE(reporter.boxes().front().text.find("/no/such/file.bin"), std::string::npos);

  EXPECT_TRUE(composer.composeFiles(fine, header, body));
  EXPECT_EQ(platform::readFile(body).value(), "x\r\n");
}

TEST_F(ComposerTest, AFullDiskIsReportedOnce) {
  const std::string path = file("big.bin", std::string(200000, 'z'));
  MimeComposer composer({}, messages);
  StringSink header;
  StringSink body;
  body.failAfter = 2;
  EXPECT_FALSE(composer.compose(MailLines{"From ", {}, {"a", "@#MIME " + path, "b"}}, header, body));
  EXPECT_EQ(shown(), std::vector<MessageNumber>{MessageNumber::DiskFull});
  EXPECT_TRUE(header.text.empty()) << "no header is written for a mail that failed";
}

TEST_F(ComposerTest, BoundaryIsChosenAgainUntilNoTextLineHoldsIt) {
  // A body and an inline text file holding earlier mails' sources, boundary
  // lines and all: neither boundary may be chosen for this mail.
  const std::string inBody = std::string(MimeComposer::kBoundaryStem) + "_first";
  const std::string inFile = std::string(MimeComposer::kBoundaryStem) + "_second";
  const std::string text = file("old.txt", "--" + inFile + "\r\nContent-Type: text/plain\r\n");
  const std::string data = file("a.bin", "x");
  std::vector<std::string> parts{"first", "second", "third"};
  ComposeOptions options;
  options.boundaryPart = [&parts] {
    const std::string part = parts.front();
    parts.erase(parts.begin());
    return part;
  };
  const auto r = compose({}, {"--" + inBody, "@#MIME " + text, "@#MIME " + data, "--" + inBody + "--"}, options);
  ASSERT_TRUE(r.ok);
  const std::string chosen = std::string(MimeComposer::kBoundaryStem) + "_third";
  EXPECT_NE(r.header.find("boundary=\"" + chosen + "\""), std::string::npos) << r.header;
  EXPECT_TRUE(r.body.starts_with("--" + inBody + "\r\n-------- old.txt --------\r\n--" + inFile + "\r\n")) << r.body;
  EXPECT_TRUE(r.body.ends_with("\r\n--" + inBody + "--\r\n--" + chosen + "--\r\n")) << r.body;

  // Unforced, every mail gets a boundary of its own.
  MimeComposer first({}, messages);
  MimeComposer second({}, messages);
  StringSink header, body;
  ASSERT_TRUE(first.compose(MailLines{"From ", {}, {"a"}}, header, body));
  ASSERT_TRUE(second.compose(MailLines{"From ", {}, {"a"}}, header, body));
  EXPECT_TRUE(first.boundary().starts_with(std::string(MimeComposer::kBoundaryStem) + "_"));
  EXPECT_NE(first.boundary(), second.boundary());
}

TEST_F(ComposerTest, LongJapaneseFileNamesGetRfc2231Continuations) {
  std::string longName;
  for (int i = 0; i < 12; ++i) longName += "報告書";
  const std::string path = file(sjis(longName + ".pdf"), "x");
  const auto r = compose({}, {"@#MIME " + path});
  ASSERT_TRUE(r.ok);
  // 36 characters of three UTF-8 bytes each: 324 encoded bytes, cut at 60.
  const std::size_t start = r.body.find(" filename*0*=UTF-8''%E5%A0%B1");
  ASSERT_NE(start, std::string::npos) << r.body;
  std::string joined;
  for (int i = 0; i < 6; ++i) {
    const std::string name = " filename*" + std::to_string(i) + "*=";
    const std::size_t at = r.body.find(name);
    ASSERT_NE(at, std::string::npos) << i;
    const std::size_t end = r.body.find("\r\n", at);
    std::string value = r.body.substr(at + name.size(), end - at - name.size());
    if (value.ends_with(";")) value.pop_back();
    EXPECT_LE(value.size(), 60u + 7u);
    joined += value;
  }
  EXPECT_EQ(r.body.find(" filename*6*="), std::string::npos);
  EXPECT_TRUE(joined.ends_with(".pdf")) << joined;
  EXPECT_EQ(joined.size(), std::string("UTF-8''").size() + 36 * 9 + 4);
}

TEST_F(ComposerTest, FiftyMegabyteAttachmentIsStreamedWhole) {
  const std::string path = scratch.file("big.bin");
  {
    std::ofstream out(platform::nativePath(path), std::ios::binary);
    std::string block(1 << 20, '\0');
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 131 % 256);
    for (int i = 0; i < 50; ++i) out.write(block.data(), static_cast<std::streamsize>(block.size()));
  }
  ComposeOptions options;
  options.boundaryPart = [] { return std::string("test"); };
  MimeComposer composer(options, messages);
  const std::string header = scratch.file("h");
  const std::string body = scratch.file("b");
  ASSERT_TRUE(composer.composeFiles(MailLines{"From ", {"Subject: big"}, {"@#MIME " + path}}, header, body));
  const std::uint64_t size = 50ull << 20;
  const std::uint64_t lines = size / 57 + 1;  // the last, shorter line
  const std::uint64_t base64 = (size + 2) / 3 * 4 + lines * 2 + 2;  // padded: one more empty line
  const std::string partHeader = "--" + kBoundary +
                                 "\r\nContent-Type: application/octet-stream; name=\"big.bin\"\r\n"
                                 "Content-Disposition: attachment; filename=\"big.bin\"\r\n"
                                 "Content-Transfer-Encoding: base64\r\n\r\n";
  const std::string closing = "--" + kBoundary + "--\r\n";
  EXPECT_EQ(platform::fileSize(body).value(), partHeader.size() + base64 + closing.size());
}

}  // namespace
}  // namespace zorvik::message
