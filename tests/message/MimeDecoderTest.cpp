#include "MimeTestSupport.h"

#include "message/AttachmentName.h"
#include "message/Base64.h"
#include "message/HeaderReader.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <set>
#include <thread>

namespace zorvik::message {
namespace {

using mimetest::crlf;
using mimetest::Decoded;
using mimetest::kMixedHeader;
using mimetest::MimeFixture;
using mimetest::part;
using mimetest::sjis;

class MimeDecoderTest : public ::testing::Test, public MimeFixture {};


TEST_F(MimeDecoderTest, PlainMailIsStoredAsItCameExceptDotsFromLinesAndCtrlZ) {
  const std::string wire =
      "Subject: hi\r\n\r\n..dot\r\nFrom here\r\nFromage\r\nend\x1A";
  const Decoded d = decode(wire + "\r\n.\r\n", true);
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.text, "Subject: hi\r\n\r\n.dot\r\n>From here\r\nFromage\r\nend\r\n");
  EXPECT_EQ(d.bits, 0u);
  EXPECT_EQ(folderCount(), 0u) << "a plain mail gets no attachment folder";

  const Decoded unterminated = decode("Subject: hi\r\n\r\nlast line without end", true);
  EXPECT_EQ(unterminated.text, "Subject: hi\r\n\r\nlast line without end\r\n");
  EXPECT_EQ(decode("Subject: all header\r\nX: y", true).text, "Subject: all header\r\nX: y\r\n\r\n")
      << "the header is ended, or the next mail in the work file would join it";
}

TEST_F(MimeDecoderTest, ATextLineOfOneDotDoesNotEndTheMail) {
  // A line "." of the text arrives doubled; only the server's own "." ends
  // the mail, so the text and the attachment after it are kept.
  const std::string wire = crlf(kMixedHeader + part("Content-Type: text/plain\n", "before\n..\nafter\n") +
                                part("Content-Type: application/octet-stream; name=\"a.bin\"\n"
                                     "Content-Transfer-Encoding: base64\n",
                                     "QUJD\n") +
                                "--XX--\n");
  const Decoded d = decode(wire + ".\r\n", true);
  ASSERT_TRUE(d.ok);
  EXPECT_NE(d.text.find("before\r\n.\r\nafter\r\n"), std::string::npos) << d.text;
  EXPECT_NE(d.text.find("a.bin"), std::string::npos) << "the attachment after the dot line is saved";
}

TEST_F(MimeDecoderTest, JapaneseTextAndJpegGiveFolderLineTextAndOneReference) {

  const std::string body = "\x1B$B$3$s$K$A$O\x1B(B\n";  // こんにちは in ISO-2022-JP
  const std::string mail = kMixedHeader +
                           part("Content-Type: text/plain; charset=iso-2022-jp\n", body) +
                           part("Content-Type: image/jpeg; name=\"photo.jpg\"\n"
                                "Content-Transfer-Encoding: base64\n",
                                "/9j/4AAQ\n") +
                           "--XX--\n";
  const Decoded d = decode(mail);
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.folder, "1261207.000") << "dated by the mail, years counted from 1900";
  const std::string header = crlf(kMixedHeader.substr(0, kMixedHeader.find("\n\n") + 1));
  EXPECT_EQ(d.text, header + "X-Zorvik-AttachDir: 1261207.000\r\n\r\n" + crlf(body) +
                        "@#MIME \"%:photo.jpg\"\r\n")
      << "unnamed ISO-2022-JP text stays as it came: the tray converts it";
  ASSERT_EQ(d.files.count("photo.jpg"), 1u);
  EXPECT_EQ(d.files.at("photo.jpg"), std::string("\xFF\xD8\xFF\xE0\x00\x10", 6));
  EXPECT_EQ(d.bits, MimeDecoder::kFileSaved);

  const Decoded second = decode(mail);
  EXPECT_EQ(second.folder, "1261207.001") << "the next mail of the day gets the next folder";
}

TEST_F(MimeDecoderTest, NamelessPartsAreNumberedWithTheExtensionOfTheirType) {
  const std::string mail = kMixedHeader +
                           part("Content-Type: application/octet-stream\nContent-Transfer-Encoding: base64\n",
                                "QUJD\n") +
                           part("Content-Type: image/GIF\n", "gif\n") +
                           part("Content-Type: application/x-unknown\n", "???\n") + "--XX--\n";
  const Decoded d = decode(mail);
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.files.at("__NONAME_001.bin"), "ABC");
  EXPECT_EQ(d.files.at("__NONAME_002.gif"), "gif") << "the line end before the boundary is the boundary's";
  EXPECT_EQ(d.files.count("__NONAME_003.000"), 1u);
  EXPECT_NE(d.text.find("@#MIME \"%:__NONAME_002.gif\"\r\n"), std::string::npos);
}

TEST_F(MimeDecoderTest, ExpandedTextAttachmentTurnsTheMailIntoPlainText) {
  settings.expandTextAttachments = true;
  const std::string mail = kMixedHeader +
                           part("Content-Type: application/octet-stream; name=\"memo.TXT\"\n"
                                "Content-Transfer-Encoding: base64\n",
                                "bGluZTEKRnJvbSBtZQpsaW5lMw==\n") +  // "line1\nFrom me\nline3"
                           "--XX--\n";
  const Decoded d = decode(mail);
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.bits, MimeDecoder::kExpandedOrDropped);
  EXPECT_NE(d.text.find("Content-Type: text/plain; xed; boundary=\"XX\"\r\n"), std::string::npos)
      << "the first 26 bytes are overwritten in place: " << d.text;
  EXPECT_NE(d.text.find("X-Zorvik-Attach---: 1261207.000\r\n\r\n"), std::string::npos);
  EXPECT_NE(d.text.find("-------- memo.TXT --------\r\nline1\r\n>From me\r\nline3\r\n"), std::string::npos);
  EXPECT_EQ(folderCount(), 0u) << "the empty folder is removed";
  EXPECT_TRUE(platform::listDirectory(settings.workDirectory).empty()) << "the temporary file is gone";
}

TEST_F(MimeDecoderTest, ShortContentTypeLineIsCorrectedWithoutTouchingTheNextLine) {
  settings.expandTextAttachments = true;
  const std::string mail =
      "MIME-Version: 1.0\nContent-Type: text/x\n ; name=a.txt\nSubject: s\n\nhello\n";
  const Decoded d = decode(mail);
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.text.find("MIME-Version: 1.0\r\nContent-Type: text/plain;\r\n ; name=a.txt\r\nSubject: s\r\n"), 0u)
      << d.text;
}

TEST_F(MimeDecoderTest, DroppedAttachmentLeavesOnlyTheNotSavedLine) {
  settings.expandTextAttachments = false;
  settings.dropAttachments = true;
  const std::string mail = kMixedHeader + part("Content-Type: text/plain\n", "see the picture\n") +
                           part("Content-Type: image/jpeg; name=\"p.jpg\"\nContent-Transfer-Encoding: base64\n",
                                "/9j/4AAQ\n") +
                           "--XX--\n";
  const Decoded d = decode(mail);
  ASSERT_TRUE(d.ok);
  EXPECT_TRUE(d.notComplete);
  EXPECT_EQ(d.bits, MimeDecoder::kExpandedOrDropped);
  EXPECT_NE(d.text.find("see the picture\r\n" + sjis("★★★ 添付ファイル：[p.jpg] は保存しませんでした。 ★★★") + "\r\n"),
            std::string::npos)
      << platform::sjisToUtf8(d.text);
  EXPECT_EQ(d.text.find("/9j/"), std::string::npos);
  EXPECT_EQ(folderCount(), 0u);
}

TEST_F(MimeDecoderTest, NestedAlternativeReturnsToTheOuterBoundary) {
  const std::string mail = kMixedHeader +
                           part("Content-Type: multipart/alternative; boundary=YY\n",
                                "inner preamble\n"
                                "--YY\nContent-Type: text/plain\n\nplain version\n"
                                "--YY\nContent-Type: text/html\nContent-Disposition: attachment; filename=v.htm\n\n"
                                "<p>html</p>\n"
                                "--YY--\n"
                                "between the boundaries\n") +
                           part("Content-Type: application/pdf; name=doc.pdf\n", "%PDF\n") + "--XX--\nepilogue\n";
  settings.expandTextAttachments = false;
  const Decoded d = decode(mail);
  ASSERT_TRUE(d.ok);
  EXPECT_NE(d.text.find("plain version\r\n"), std::string::npos);
  EXPECT_EQ(d.files.at("v.htm"), "<p>html</p>");
  EXPECT_EQ(d.files.at("doc.pdf"), "%PDF");
  for (const char* gone : {"preamble", "between", "epilogue", "multi-part"})
    EXPECT_EQ(d.text.find(gone), std::string::npos) << gone << " must not be stored";
}

TEST_F(MimeDecoderTest, AttachedMailShowsItsOwnHeaderAfterTheSeparator) {
  const std::string mail = kMixedHeader + part("Content-Type: text/plain\n", "forwarding\n") +
                           part("Content-Type: message/rfc822\n",
                                "Message-ID: <inner@x>\nDate: Sun, 6 Dec 2026 10:00:00 +0900\nFrom: c@x\n"
                                "To: d@x\nSubject: inner\nX-Other: no\nContent-Type: text/plain\n\ninner body\n") +
                           "--XX--\n";
  const Decoded d = decode(mail);
  ASSERT_TRUE(d.ok);
  EXPECT_NE(d.text.find("forwarding\r\n" + sjis("-------- 添付メール --------") +
                        "\r\nDate: Sun, 6 Dec 2026 10:00:00 +0900\r\nFrom: c@x\r\nTo: d@x\r\nSubject: inner\r\n"
                        "\r\ninner body\r\n"),
            std::string::npos)
      << d.text;
  EXPECT_EQ(d.text.find("inner@x"), std::string::npos);
  EXPECT_EQ(d.text.find("X-Other"), std::string::npos);
  EXPECT_NE(d.text.find("X-Zorvik-Attach---:"), std::string::npos) << "no file was saved: the folder line is disabled";
}

TEST_F(MimeDecoderTest, TopLevelAttachedMailWithAFileGetsAFolderAfterAll) {
  const std::string mail =
      "Date: Mon, 07 Dec 2026 09:30:00 +0900\nMIME-Version: 1.0\nContent-Type: message/rfc822\n\n"
      "Subject: inner\nContent-Type: multipart/mixed; boundary=II\n\n"
      "--II\nContent-Type: application/zip; name=a.zip\nContent-Transfer-Encoding: base64\n\nUEsD\n--II--\n";
  const Decoded d = decode(mail);
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.files.at("a.zip"), "PK\x03");
  EXPECT_NE(d.text.find("Content-Type: message/rfc822\r\nX-Zorvik-AttachDir: 1261207.000\r\n\r\n"), std::string::npos)
      << d.text;
}

TEST_F(MimeDecoderTest, HostileAttachmentNamesStayInsideTheFolder) {
  settings.expandTextAttachments = false;
  std::string mail = kMixedHeader;
  for (const char* name : {"../../.bashrc", "/etc/passwd", "..", "a\\..\\..\\b.exe", "tab\there.bin", "a:b.doc"})
    mail += part(std::string("Content-Type: application/octet-stream; name=\"") + name + "\"\n", "x\n");
  mail += part("Content-Type: application/octet-stream; name=\"" + sjis("表.xls") + "\"\n", "x\n");
  mail += "--XX--\n";
  const Decoded d = decode(mail);
  ASSERT_TRUE(d.ok);
  for (const std::string& name : std::vector<std::string>{".bashrc", "passwd", "Attach", "b.exe", "tab_here.bin", "a:b.doc", sjis("表.xls")})
    EXPECT_EQ(d.files.count(name), 1u) << name;
  EXPECT_EQ(d.files.size(), 7u);
  EXPECT_EQ(platform::listDirectory(settings.attachmentRoot).size(), 1u) << "nothing beside the mail's folder";
  EXPECT_FALSE(platform::pathExists(scratch.file(".bashrc")));
}

// Subject, sender's name and attachment name of one mail, each written the
// same way, as the tray stores them and as the reference line names the
// saved file. Only raw text that is whole UTF-8 is converted; raw Shift_JIS
// and EUC-JP (which old mailers send) stay the bytes they were, encoded
// words decode as before.
TEST_F(MimeDecoderTest, RawUtf8HeaderTextIsShiftJisLikeEncodedWords) {
  settings.expandTextAttachments = false;
  struct Case {
    const char* what;
    std::string written;   // as it stands in the mail
    std::string expected;  // Shift_JIS, as stored and saved
  };
  const std::string geta = "\x81\xAC";
  const std::string eucNihon = "\xC6\xFC\xCB\xDC";
  const std::vector<Case> cases = {
      {"raw UTF-8", "報告書", sjis("報告書")},
      {"raw UTF-8 within ASCII", "v2 報告書 final", sjis("v2 報告書 final")},
      {"raw UTF-8 beyond code page 932", "café 🎉", "caf" + geta + " " + geta},
      {"raw Shift_JIS", sjis("報告書"), sjis("報告書")},
      {"raw half-width katakana", sjis("ﾃｽﾄ"), sjis("ﾃｽﾄ")},
      {"raw EUC-JP", eucNihon, eucNihon},
      {"UTF-8 encoded word", "=?UTF-8?B?5aCx5ZGK5pu4?=", sjis("報告書")},
      {"ISO-2022-JP encoded word beside raw UTF-8", "=?ISO-2022-JP?B?GyRCPEw/PxsoQg==?= 報告書", sjis("写真 報告書")},
      {"ASCII", "plain", "plain"},
  };
  const MailRecordParser parser(ParseContext{{}, 9, 0, "me@example.jp"});
  for (const Case& c : cases) {
    const std::string mail = "From: " + c.written + " <a@example.jp>\nSubject: " + c.written +
                             "\nDate: Mon, 07 Dec 2026 09:30:00 +0900\nMIME-Version: 1.0\n"
                             "Content-Type: multipart/mixed; boundary=\"XX\"\n\n" +
                             part("Content-Type: application/pdf\nContent-Disposition: attachment; filename=\"" +
                                      c.written + ".pdf\"\n",
                                  "%PDF\n") +
                             "--XX--\n";
    const Decoded d = decode(mail);
    ASSERT_TRUE(d.ok) << c.what;
    auto stored = platform::LineReader::fromText("From  \r\n" + d.text);
    HeaderReader reader(stored, parser);
    MailRecord record;
    MailLines lines;
    ASSERT_TRUE(reader.readHeader(record, lines)) << c.what;
    EXPECT_EQ(record.subject, c.expected) << c.what;
    EXPECT_EQ(record.fromName, c.expected) << c.what;
    EXPECT_EQ(d.files.size(), 1u) << c.what;
    EXPECT_NE(d.text.find("@#MIME \"%:" + c.expected + ".pdf\""), std::string::npos) << c.what;
  }
}

// A raw UTF-8 name is made safe after it is converted: its path is dropped
// and nothing lands outside the mail's folder. An attached mail's header
// lines are stored as text too, so they are converted the same way.
TEST_F(MimeDecoderTest, RawUtf8AttachmentNameIsSavedSafelyInTheMailsFolder) {
  settings.expandTextAttachments = false;
  const std::string mail = kMixedHeader +
                           part("Content-Type: application/octet-stream;\n name=\"../写真/夏の旅.jpg\"\n"
                                "Content-Transfer-Encoding: base64\n",
                                "/9j/4AAQ\n") +
                           part("Content-Type: message/rfc822\n", "From: 山田 <y@x>\nSubject: 転送 fwd\n\nbody\n") +
                           "--XX--\n";
  const Decoded d = decode(mail);
  ASSERT_TRUE(d.ok);
  ASSERT_EQ(d.files.size(), 1u);
  EXPECT_EQ(d.files.begin()->first, sjis("夏の旅.jpg"));
  EXPECT_EQ(d.files.begin()->second, std::string("\xFF\xD8\xFF\xE0\x00\x10", 6));
  EXPECT_NE(d.text.find("@#MIME \"%:" + sjis("夏の旅.jpg") + "\"\r\n"), std::string::npos) << d.text;
  EXPECT_NE(d.text.find(sjis("From: 山田 <y@x>\r\nSubject: 転送 fwd\r\n")), std::string::npos) << d.text;
  EXPECT_EQ(platform::listDirectory(settings.attachmentRoot).size(), 1u) << "nothing beside the mail's folder";
  EXPECT_FALSE(platform::pathExists(platform::joinPath(settings.attachmentRoot, sjis("写真"))));
}

TEST_F(MimeDecoderTest, SecondAttemptReplacesReservedCharactersWithoutBreakingKanji) {
  EXPECT_EQ(AttachmentName::withoutReserved("a:b*c?d\"e<f>g|h"), "a_b_c_d_e_f_g_h");
  const std::string soft = sjis("ソフト|表.txt");  // ソ and 表 end in the byte of "\"
  EXPECT_EQ(AttachmentName::withoutReserved(soft), sjis("ソフト_表.txt"));
  EXPECT_EQ(AttachmentName::safe(sjis("dir\\ソフト.txt")), sjis("ソフト.txt"));
  EXPECT_EQ(AttachmentName::safe(" . "), "Attach");
  EXPECT_EQ(AttachmentName::safe("a\"b\r\nFrom x"), "a_b__From x") << "the name goes into a reference line";
}

TEST_F(MimeDecoderTest, DeepNestingAndUnclosedBoundariesKeepWhatCame) {
  std::string mail = "MIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=b0\n\n";
  for (int i = 1; i <= 1000; ++i)
    mail += "--b" + std::to_string(i - 1) + "\nContent-Type: multipart/mixed; boundary=b" + std::to_string(i) + "\n\n";
  mail += "--b1000\nContent-Type: text/plain\n\ndeep text\n--b1000\nContent-Type: application/x-y; name=z.bin\n\nzz\n";
  const Decoded d = decode(mail);
  ASSERT_TRUE(d.ok);
  EXPECT_NE(d.text.find("deep text\r\n"), std::string::npos);
  EXPECT_EQ(d.files.at("z.bin"), "zz\r\n") << "the boundary never closes: the rest stays in the part";
}

TEST_F(MimeDecoderTest, ExtendedNamesAndCharsetsBeyondJisAndUtf8) {
  settings.expandTextAttachments = false;
  const std::string mail =
      kMixedHeader +
      part("Content-Type: text/plain; charset=euc-jp\nContent-Transfer-Encoding: 8bit\n", "\xC6\xFC\xCB\xDC\n") +
      part("Content-Type: text/plain; charset=Shift_JIS\n", sjis("日本") + "\n") +
      part("Content-Type: text/plain; charset=iso-8859-1\n", "caf\xE9\n") +
      part("Content-Type: application/pdf\nContent-Disposition: attachment;\n"
           " filename*0*=utf-8''%E5%86;\n filename*1*=%99%E7%9C%9F.pdf\n",
           "pdf\n") +
      part("Content-Type: application/pdf; name=\"=?ISO-2022-JP?B?GyRCSVVCMBsoQg==?=.pdf\"\n", "pdf\n") +
      "--XX--\n";
  const Decoded d = decode(mail);
  ASSERT_TRUE(d.ok);
  EXPECT_NE(d.text.find(sjis("日本") + "\r\n" + sjis("日本") + "\r\ncaf" + sjis("〓")), std::string::npos)
      << platform::sjisToUtf8(d.text);
  EXPECT_EQ(d.files.count(sjis("写真.pdf")), 1u) << "a UTF-8 character cut between two sections comes out whole";
  EXPECT_EQ(d.files.count(sjis("付属.pdf")), 1u);
}

TEST_F(MimeDecoderTest, QuotingAndForgedLinesCannotSplitOrRedirectTheStoredMail) {
  const std::string mail =
      "X-Zorvik-AttachDir: ../other\nMIME-Version: 1.0\nContent-Type: text/plain\n"
      "Content-Transfer-Encoding: base64\n\nRnJvbSBldmlsCg==\n";  // "From evil\n"
  const Decoded d = decode(mail);
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.text.find("X-Zorvik-Attach---: ../other\r\n"), 0u);
  EXPECT_NE(d.text.find("\r\n>From evil\r\n"), std::string::npos) << "a decoded line would start a new mail";
}

TEST_F(MimeDecoderTest, UncreatableFilesAreReportedAndNothingIsStored) {
  settings.expandTextAttachments = false;
  const std::string mail = kMixedHeader + part("Content-Type: image/gif; name=a.gif\n", "x\n") + "--XX--\n";
  ASSERT_TRUE(platform::writeFileAtomically(settings.attachmentRoot, "a file where the folders should go"));
  const Decoded d = decode(mail);
  EXPECT_FALSE(d.ok);
  EXPECT_TRUE(d.text.empty());
  ASSERT_EQ(reporter.boxes().size(), 1u);
  EXPECT_NE(reporter.boxes()[0].caption.find("1110"), std::string::npos);

  settings.expandTextAttachments = true;
  ASSERT_TRUE(platform::writeFileAtomically(settings.workDirectory, "not a folder"));
  const Decoded text = decode(kMixedHeader + part("Content-Type: text/plain; name=a.txt\n", "x\n"));
  EXPECT_FALSE(text.ok);
  ASSERT_EQ(reporter.boxes().size(), 2u);
  EXPECT_NE(reporter.boxes()[1].caption.find("1111"), std::string::npos);
}

TEST_F(MimeDecoderTest, AFileTheDiskRefusesLeavesTheMailIncomplete) {
  settings.expandTextAttachments = false;
  std::string text;
  for (int i = 0; i < 40000; ++i) text += "\xC6\xFC\xCB\xDC text line of an EUC-JP attachment\n";
  // base64, so the decoded pieces end in the middle of lines.
  const std::string mail = kMixedHeader +
                           part("Content-Type: text/plain; charset=euc-jp; name=big.txt\n"
                                "Content-Transfer-Encoding: base64\n",
                                base64MimeBody(text)) +
                           part("Content-Type: text/plain\n", "after the big one\n") + "--XX--\n";
  // Writes past 256 KB fail as on a full disk.
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 256 * 1024;
  setrlimit(RLIMIT_FSIZE, &small);
  const Decoded d = decode(mail, false, false);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  ASSERT_TRUE(d.ok);
  EXPECT_TRUE(d.notComplete);
  EXPECT_NE(d.text.find("after the big one\r\n"), std::string::npos) << "the rest of the mail is still stored";
}

TEST_F(MimeDecoderTest, EachDecodeListsItsOwnSavedFilesForAnAbandonedMail) {
  settings.expandTextAttachments = false;
  const std::string mail = kMixedHeader + part("Content-Type: image/gif; name=a.gif\n", "x\n") +
                           part("Content-Type: image/gif; name=a.gif\n", "y\n") + "--XX--\n";
  // Two receives on two threads into one store: one abandons every mail it
  // decodes, the other keeps every mail. Neither may delete or forget the
  // other's files.
  constexpr int kMails = 25;
  std::vector<std::string> kept, abandoned;
  const auto receive = [&](bool keep, std::vector<std::string>& paths) {
    test::RecordingReporter ownReporter;
    core::Messages ownMessages(ownReporter);
    AttachmentFolderNumbers folders;
    for (int i = 0; i < kMails; ++i) {
      MimeDecoder decoder(settings, ownMessages, folders);
      mimetest::StringSink sink;
      if (!decoder.decode(sink, MimeDecoder::wireForm(mail))) return;
      paths.insert(paths.end(), decoder.savedFiles().paths().begin(), decoder.savedFiles().paths().end());
      if (!keep) decoder.savedFiles().deleteAll();
      EXPECT_TRUE(keep || decoder.savedFiles().paths().empty());
    }
  };
  std::thread keeper(receive, true, std::ref(kept));
  std::thread quitter(receive, false, std::ref(abandoned));
  keeper.join();
  quitter.join();
  ASSERT_EQ(kept.size(), 2u * kMails);
  ASSERT_EQ(abandoned.size(), 2u * kMails);
  EXPECT_EQ(platform::fileNameOf(kept[1]), "a_1.gif") << "a second file of the same name";
  for (const auto& path : kept) EXPECT_TRUE(platform::pathExists(path)) << path;
  for (const auto& path : abandoned) EXPECT_FALSE(platform::pathExists(path)) << path;
  EXPECT_EQ(std::set<std::string>(kept.begin(), kept.end()).size(), kept.size()) << "no two mails share a folder";
}

TEST(MimeWireForm, FilesBecomeWhatAPop3ServerSends) {
  EXPECT_EQ(MimeDecoder::wireForm("A: b\n\n.x\nend\n"), "A: b\r\n\r\n..x\r\nend\r\n.\r\n");
  EXPECT_EQ(MimeDecoder::wireForm("A: b\r\n\r\n..x\r\n.\r\n"), "A: b\r\n\r\n..x\r\n.\r\n")
      << "already in server form: left as it is";
}

}  // namespace
}  // namespace zorvik::message

namespace zorvik::message {
namespace {

TEST_F(MimeDecoderTest, PartialEncryptedAndEnrichedPartsStayInline) {
  const std::string partial =
      "MIME-Version: 1.0\nMessage-ID: <p@x>\nContent-Type: message/partial; id=\"a\"; number=1; total=2\n\n"
      "Content-Type: image/gif\n\nR0lG\n";
  const Decoded p = decode(partial);
  EXPECT_NE(p.text.find("\r\n\r\nContent-Type: image/gif\r\n\r\nR0lG\r\n"), std::string::npos)
      << "a fragment is kept whole for joining later";
  EXPECT_TRUE(p.folder.empty());

  const Decoded e = decode(kMixedHeader + part("Content-Type: multipart/encrypted; protocol=x; boundary=E\n",
                                               "--E\nContent-Type: application/pgp-encrypted\n\nVersion: 1\n--E--\n") +
                           part("Content-Type: text/enriched\n", "a\n\nb\n<bold>c</bold>\n") + "--XX--\n");
  EXPECT_NE(e.text.find("--E\r\nContent-Type: application/pgp-encrypted\r\n\r\nVersion: 1\r\n--E--\r\n"),
            std::string::npos)
      << e.text;
  EXPECT_NE(e.text.find("a\r\nb c"), std::string::npos) << "text/enriched is stored as plain text: " << e.text;
}

TEST_F(MimeDecoderTest, BinHexCrcProblemsAreHandedToTheCaller) {
  settings.expandTextAttachments = false;
  MimeDecoder decoder(settings, messages);
  mimetest::StringSink sink;
  ASSERT_TRUE(decoder.decode(sink, MimeDecoder::wireForm(kMixedHeader + part("Content-Type: application/mac-binhex40\n",
                                                                              "(This file must be converted)\n:!!!!!!!!!!!!!!!!!!!!!!!!!!$rr`!!!!!:\n") +
                                                         "--XX--\n")));
  EXPECT_FALSE(decoder.warnings().empty());
}

TEST_F(MimeDecoderTest, OversizedAndBrokenInputIsStoredNotFatal) {
  settings.expandTextAttachments = false;
  // A 50 MB attachment in base64 lines, and a header line of 1 MB.
  const std::string chunk(76, 'A');
  std::string body;
  body.reserve(70'000'000);
  for (std::size_t i = 0; i < 50'000'000 / 57 + 1; ++i) body += chunk + "\r\n";
  const std::string mail = "MIME-Version: 1.0\r\nX-Long: " + std::string(1 << 20, 'x') +
                           "\r\nContent-Type: multipart/mixed; boundary=\"AAAA\"\r\n\r\n"
                           "--AAAA\r\nContent-Type: application/octet-stream; name=big.bin\r\n"
                           "Content-Transfer-Encoding: base64\r\n\r\n" +
                           body + "--AAAA--\r\n.\r\n";
  const Decoded d = decode(mail, true, false);
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.files.at("big.bin"), std::to_string(body.size() / 78 * 57));
  EXPECT_LT(d.text.size(), (1u << 20) + 1000) << "the attachment is not kept in the stored text";

  const Decoded inside = decode(kMixedHeader + part("Content-Type: image/png; name=a.png\nContent-Transfer-Encoding: base64\n",
                                                    "QUJD\n--XX\nContent-Type: text/plain\n\nafter\n") +
                                "--XX--\n");
  EXPECT_EQ(inside.files.at("a.png"), "ABC") << "a boundary ends a base64 part wherever it appears";
  EXPECT_NE(inside.text.find("after\r\n"), std::string::npos);
}

}  // namespace
}  // namespace zorvik::message

namespace zorvik::message {
namespace {

TEST(MimeOutputSink, QuotesFromLinesCutBetweenWrites) {
  MimeOutputSink sink;
  for (const char* piece : {"From x\nxx\nFr", "om a\r\n", "From", " b\nFrom", "age\n", "F", "r", "o", "m", " c"})
    sink.write(piece);
  EXPECT_EQ(sink.text(), ">From x\nxx\n>From a\r\n>From b\nFromage\n>From c");
  EXPECT_FALSE(sink.endsWithLineEnd());
}

}  // namespace
}  // namespace zorvik::message
