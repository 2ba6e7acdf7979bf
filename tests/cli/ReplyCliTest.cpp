// Replies, forwards and extraction from the command line, end to end: a
// Japanese mail delivered, answered with zorvik-cli compose and sent to a
// real SMTP server (aiosmtpd), then read back with Python's email package.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "message/Base64.h"
#include "message/HeaderEncoder.h"
#include "message/JapaneseCodec.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "support/CliRunner.h"
#include "support/MailReadBack.h"
#include "support/PythonScript.h"
#include "support/SmtpSinkServer.h"
#include "support/TestEnvironment.h"

namespace zorvik {
namespace {

using test::SmtpSinkServer;

// A header value or a body line as a Japanese mail carries it.
std::string headerOf(const std::string& utf8) { return message::HeaderEncoder::encode(platform::utf8ToSjis(utf8)); }
std::string jisOf(const std::string& utf8) { return message::sjisToJis(platform::utf8ToSjis(utf8)); }

class ReplyCli : public ::testing::Test {
protected:
  void SetUp() override {
    if (const auto why = SmtpSinkServer::unavailableReason(); !why.empty()) GTEST_SKIP() << why;
    if (!test::pythonAvailable()) GTEST_SKIP() << "no /usr/bin/python3";
    server.emplace(dir.file("maildir"));
    const auto made = cli({"init", "--name", "山田 太郎", "--address", "taro@example.jp", "--dir", dir.path()});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    settings = made.out.substr(0, made.out.find('\n'));
    for (const auto& [item, value] : std::vector<std::pair<std::string, std::string>>{
             {"601", "127.0.0.1"}, {"603", std::to_string(server->port())}, {"605", "20"},
             {"506", "--\n山田 太郎"}, {"105", dir.file("Template")}})
      ASSERT_EQ(cli({"set", item, value}).exitCode, 0);
    ASSERT_EQ(cli({"mktray", "仕事"}).exitCode, 0);
  }

  test::CliResult cli(std::vector<std::string> args, std::vector<std::string> environment = {}) {
    if (!settings.empty()) args.insert(args.begin(), {"--settings", settings});
    environment.push_back("HOME=" + dir.path());
    environment.push_back("LC_ALL=C");  // dates in the built-in texts as the C locale writes them
    return test::runCli(args, dir.path(), environment);
  }
  std::string file(const std::string& name, const std::string& content) {
    const std::string path = dir.file(name);
    EXPECT_TRUE(platform::writeFileAtomically(platform::utf8ToSjis(path), content));
    return path;
  }
  void deliver(const std::string& name, const std::string& mail) {
    const auto delivered = cli({"deliver", "--tray", "仕事", file(name, mail)});
    ASSERT_EQ(delivered.exitCode, 0) << delivered.err;
  }
  // What Python's email reads from the one message the server got.
  std::string sentMail() {
    const auto messages = server->messages();
    EXPECT_EQ(messages.size(), 1u);
    if (messages.empty()) return {};
    const std::string stored = dir.file("stored.eml");
    EXPECT_TRUE(platform::writeFileAtomically(stored, messages.back()));
    return test::readMailBack(stored);
  }
  std::string listed(const std::string& tray) { return cli({"list", tray}).out; }

  test::ScratchDir dir;
  std::optional<SmtpSinkServer> server;
  std::string settings;
};

// The received mail answered below: a second reply in the thread, a tag
// line that must never attach anything, and the user's own signature at
// the end, which the quote leaves out.
std::string receivedMail() {
  return "From: " + headerOf("花子") + " <hanako@example.jp>\r\nTo: taro@example.jp\r\nSubject: " +
         headerOf("Re: 会議の件") +
         "\r\nDate: Mon, 7 Dec 2026 09:30:00 +0900\r\nMessage-ID: <kaigi-2@example.jp>\r\n"
         "Received: from mx by mx; Mon, 7 Dec 2026 09:30:01 +0900\r\nMIME-Version: 1.0\r\n"
         "Content-Type: text/plain; charset=ISO-2022-JP\r\nContent-Transfer-Encoding: 7bit\r\n\r\n" +
         jisOf("明日の会議は十時からです。") + "\r\n" + jisOf("> 前回の議事録") +
         "\r\n@#MIME \"/etc/passwd\"\r\n\r\n--\r\n" + jisOf("山田 太郎") + "\r\n";
}

TEST_F(ReplyCli, AReplyIsQuotedSignedOnceAndSentAsATextMail) {
  deliver("received.eml", receivedMail());
  const auto replied = cli({"--yes", "compose", "--reply", "仕事", "0", "--body-file", file("answer.txt", "承知しました。\n")});
  ASSERT_EQ(replied.exitCode, 0) << replied.err;
  EXPECT_TRUE(replied.out.starts_with("To: 花子 <hanako@example.jp>\nSubject: Re^2: 会議の件\nKeyword: 仕事\n"))
      << replied.out;
  EXPECT_NE(replied.err.find("No.129"), std::string::npos) << "the first mail to hanako is confirmed";
  EXPECT_NE(listed("仕事").find("\t000000C0\t"), std::string::npos) << "the replied mark: " << listed("仕事");

  const auto sent = cli({"send"});
  ASSERT_EQ(sent.exitCode, 0) << sent.err;
  EXPECT_EQ(sentMail(),
            "subject\t[仕事]Re^2: 会議の件\n"
            "in-reply-to\tYour message of Mon, 07 Dec 2026 09:30:00 +0900 <kaigi-2@example.jp>\n"
            "references\t<kaigi-2@example.jp>\n"
            "text\t  拝啓，花子 <hanako@example.jp> 様|  時刻 Mon Dec  7 09:30:00 2026 に送信されたメールの返事です。|"
            "hanako>明日の会議は十時からです。|> 前回の議事録|>@#MIME \"/etc/passwd\"||"
            "承知しました。|--|山田 太郎|\n")
      << "the tray's prefix, the received tag line as text (stored quoted by the receive, so it keeps its own "
         "mark), nothing attached, the signature once";
}

TEST_F(ReplyCli, AForwardOfTwoMailsCarriesBothAttachmentsAndOneAdded) {
  const std::string pdf = std::string("%PDF-1.4\n\x00\x01\x02\xFF", 14);
  const std::string data = std::string(300, '\x5A') + "\r\n.\r\n";
  const auto withFile = [](const std::string& subject, const std::string& id, const std::string& name,
                           const std::string& type, const std::string& bytes) {
    return "From: jiro@example.jp\r\nTo: taro@example.jp\r\nSubject: " + subject +
           "\r\nDate: Tue, 8 Dec 2026 10:00:00 +0900\r\nMessage-ID: <" + id +
           ">\r\nReceived: by mx\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"b\"\r\n\r\n"
           "--b\r\nContent-Type: text/plain; charset=us-ascii\r\n\r\nsee " + subject + "\r\n--b\r\n"
           "Content-Type: " + type + "; name=\"" + name + "\"\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
           message::base64Encode(bytes) + "\r\n--b--\r\n";
  };
  deliver("a.eml", withFile("A", "a@example.jp", headerOf("報告.pdf"), "application/pdf", pdf));
  deliver("b.eml", withFile("B", "b@example.jp", "data.bin", "application/octet-stream", data));
  const auto forwarded = cli({"--yes", "compose", "--forward", "仕事", "0,1", "--to", "saburo@example.jp", "--attach",
                              file("資料.dat", "memo\n")});
  ASSERT_EQ(forwarded.exitCode, 0) << forwarded.err;
  ASSERT_EQ(cli({"send"}).exitCode, 0);
  const std::string read = sentMail();
  EXPECT_TRUE(read.starts_with("subject\t[仕事]FW:A+B\n")) << read;
  EXPECT_NE(read.find("file\t報告.pdf\t報告.pdf\t" + test::hexOf(pdf) + "\n"), std::string::npos) << read;
  EXPECT_NE(read.find("file\tdata.bin\tdata.bin\t" + test::hexOf(data) + "\n"), std::string::npos) << read;
  EXPECT_NE(read.find("file\t資料.dat\t資料.dat\t" + test::hexOf("memo\n") + "\n"), std::string::npos)
      << "a file the user added: " << read;
  EXPECT_NE(read.find("-||see A\n"), std::string::npos) << "quoted with the bar";
  EXPECT_NE(read.find(std::string(63, '=')), std::string::npos) << "the two mails are set apart";
}

TEST_F(ReplyCli, ExtractionSavesAnInlineUuencodedFileByteForByte) {
  // Python's binascii writes the uuencoded lines: our decoder is not
  // checked against our own encoder.
  const std::string data = test::runPython(
      "import sys\nsys.stdout.buffer.write(bytes(range(256)) * 9 + b'\\x00\\xff\\x0d\\x0a')", {});
  ASSERT_EQ(data.size(), 256u * 9 + 4);
  const std::string lines = test::runPython(
      "import binascii, sys\n"
      "data = bytes(range(256)) * 9 + b'\\x00\\xff\\x0d\\x0a'\n"
      "print('begin 644 photo.jpg', end='\\r\\n')\n"
      "for i in range(0, len(data), 45): print(binascii.b2a_uu(data[i:i + 45]).decode().rstrip('\\n'), end='\\r\\n')\n"
      "print('`\\r\\nend', end='\\r\\n')\n",
      {});
  deliver("uu.eml", "From: jiro@example.jp\r\nSubject: photo\r\nDate: Tue, 8 Dec 2026 10:00:00 +0900\r\n"
                    "Message-ID: <uu@example.jp>\r\nReceived: by mx\r\n\r\nhere it is\r\n" + lines + "bye\r\n");
  const auto extracted = cli({"extract", "仕事", "0"});
  ASSERT_EQ(extracted.exitCode, 0) << extracted.err;
  ASSERT_TRUE(extracted.out.starts_with("1\t")) << extracted.out;
  const std::string path = extracted.out.substr(2, extracted.out.size() - 3);
  EXPECT_EQ(platform::readFile(platform::utf8ToSjis(path)), data);
  EXPECT_NE(cli({"show", "仕事", "1", "--body"}).out.find("here it is\n@#MIME \"%:photo.jpg\"\nbye\n"),
            std::string::npos);
  EXPECT_FALSE(listed("ごみ箱").empty()) << "the old mail went to the trash";

  const auto nothing = cli({"extract", "仕事", "1"});
  EXPECT_EQ(nothing.exitCode, 1);
  EXPECT_NE(nothing.err.find("No.133"), std::string::npos) << nothing.err;

  const auto stripped = cli({"strip-attachments", "仕事", "1"});
  ASSERT_EQ(stripped.exitCode, 0) << stripped.err;
  EXPECT_EQ(stripped.out, "1\t2\t1\n");
  EXPECT_NE(cli({"show", "仕事", "2", "--body"}).out.find("■消去された添付ファイル photo.jpg\n"), std::string::npos);
}

TEST_F(ReplyCli, EditingCheckingKeepingAndTakingADraftUpAgain) {
  deliver("received.eml", receivedMail());
  // The editor gets a UTF-8 copy; what it writes goes back into the draft.
  const std::string editor = "sed -i -e 's/明日/明後日/' -e '$a 追伸：資料もお願いします。'";
  const auto kept = cli({"compose", "--reply", "仕事", "0", "--edit", "--keep"}, {"EDITOR=" + editor});
  ASSERT_EQ(kept.exitCode, 0) << kept.err;
  EXPECT_NE(kept.out.find("hanako>明後日の会議"), std::string::npos) << kept.out;
  EXPECT_EQ(kept.err.find("No.129"), std::string::npos) << "keeping asks nothing";
  const std::string shown = cli({"show", "送信原稿", "0"}).out;
  EXPECT_NE(shown.find("KRDX: 1,0,2,6\n"), std::string::npos) << "the changed and the added line were typed\n" << shown;
  EXPECT_EQ(shown.find("山田 太郎\n"), std::string::npos) << "a kept draft has no signature yet";

  const auto refused = cli({"draft", "送信原稿", "0"});
  EXPECT_EQ(refused.exitCode, 1) << "the first mail to hanako is not confirmed (--no)";
  EXPECT_NE(refused.err.find("No.129"), std::string::npos) << refused.err;
  const auto queued = cli({"--yes", "draft", "送信原稿", "0"});
  ASSERT_EQ(queued.exitCode, 0) << queued.err;
  EXPECT_EQ(queued.out, "0\n");
  EXPECT_EQ(listed("送信原稿"), "");
  EXPECT_NE(cli({"show", "未送信", "0"}).out.find("追伸：資料もお願いします。\n"), std::string::npos);

  // Characters that will not arrive as written: listed with --check, and
  // asked about before anything is queued.
  ASSERT_EQ(cli({"set", "509", "0"}).exitCode, 0);
  const std::string circled = file("circled.txt", "番号①の件、ｶﾅで。\n");
  const auto check = cli({"compose", "--reply", "仕事", "0", "--body-file", circled, "--check"});
  ASSERT_EQ(check.exitCode, 0) << check.err;
  EXPECT_EQ(check.out, "7\t3\t①\twindows-only\n7\t7\tｶ\thalf-width-kana\n7\t8\tﾅ\thalf-width-kana\n");
  const auto asked = cli({"compose", "--reply", "仕事", "0", "--body-file", circled});
  EXPECT_EQ(asked.exitCode, 1);
  EXPECT_NE(asked.err.find("No.505"), std::string::npos) << asked.err;
  const std::string unsent = listed("未送信");
  EXPECT_EQ(std::count(unsent.begin(), unsent.end(), '\n'), 1) << "still one unsent mail";
}

}  // namespace
}  // namespace zorvik
