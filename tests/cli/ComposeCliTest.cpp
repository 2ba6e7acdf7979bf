// zorvik-cli compose stores a draft in the unsent tray as the compose window
// does; the engine then composes it for sending as the send driver will.
// Refusals come before anything is stored.
#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "core/Messages.h"
#include "core/SettingsFile.h"
#include "message/MailRecordParser.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "store/TrayFile.h"
#include "compose/UnsentMailComposer.h"
#include "support/CliRunner.h"
#include "support/RecordingReporter.h"
#include "support/TestEnvironment.h"

namespace zorvik {
namespace {

class ComposeCli : public ::testing::Test {
protected:
  void SetUp() override {
    const auto made = test::runCli({"init", "--name", "山田", "--address", "me@example.jp", "--dir", dir.path()},
                                   dir.path(), {"HOME=" + dir.path()});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    settingsPath = made.out.substr(0, made.out.find('\n'));
  }

  test::CliResult cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"--settings", settingsPath});
    return test::runCli(args, dir.path(), {"HOME=" + dir.path()});
  }

  std::string write(const std::string& name, const std::string& content) {
    const std::string path = dir.file(name);
    EXPECT_TRUE(platform::writeFileAtomically(platform::utf8ToSjis(path), content));
    return path;
  }

  // The unsent mail composed by the engine, as the send driver asks for it.
  struct Composed {
    std::optional<message::ComposedMail> mail;
    std::string header;
    std::string body;
  };
  Composed composeUnsent(std::uint32_t index, bool attachments) {
    core::SettingsFile settings;
    EXPECT_TRUE(settings.load(platform::utf8ToSjis(settingsPath), messages));
    settings.resolveRelativePaths(platform::utf8ToSjis(dir.path()) + "/");
    const store::TrayFile unsent(store::StoreLocation::fromSettings(settings), settings.text(core::item::kUnsentTray));
    const message::MailRecordParser parser(message::ParseContext::fromSettings(settings, std::time(nullptr)));
    const compose::UnsentMailComposer composer(unsent, parser, messages);
    const std::string header = dir.file("TxTmpH");
    const std::string body = dir.file("TxTmpB");
    Composed composed;
    composed.mail = composer.compose(index, {attachments, true, {}}, header, body);
    composed.header = platform::readFile(header).value_or("");
    composed.body = platform::readFile(body).value_or("");
    return composed;
  }

  test::ScratchDir dir;
  std::string settingsPath;
  test::RecordingReporter reporter;
  core::Messages messages{reporter};
};

TEST_F(ComposeCli, DraftIsStoredWithAttachmentLinesAndComposedForSending) {
  const std::string body = write("body.txt", "こんにちは\nFrom the start\nｶﾅ\n");
  const std::string photo = write("写真.jpg", std::string("\xFF\xD8\xFF\x00jpeg", 8));
  write("notes.txt", "memo\n");
  const auto stored = cli({"compose", "--to", "花子 <hanako@example.jp>, jiro@example.jp", "--cc", "cc@example.jp",
                           "--bcc", "hidden@example.jp", "--subject", "会議の件", "--body-file", body, "--attach",
                           photo, "--attach", "notes.txt", "--split-kb", "100"});
  ASSERT_EQ(stored.exitCode, 0) << stored.err;
  EXPECT_EQ(stored.out, "0\n");

  const auto shown = cli({"show", "未送信", "0"});
  ASSERT_EQ(shown.exitCode, 0) << shown.err;
  for (const std::string& expected :
       {std::string("Subject: 会議の件\n"), std::string("To: \"花子\" <hanako@example.jp>,jiro@example.jp\n"),
        std::string("Bcc: hidden@example.jp\n"), std::string("Content-Type: multipart\n"),
        std::string("Zorvik: 100,,0,0,100\n"),
        "\nこんにちは\n>From the start\nカナ\n@#MIME \"" + photo + "\"\n@#MIME \"" + dir.file("notes.txt") + "\"\n"})
    EXPECT_NE(shown.out.find(expected), std::string::npos) << expected << " in\n" << shown.out;

  const Composed sent = composeUnsent(0, true);
  ASSERT_TRUE(sent.mail.has_value());
  EXPECT_EQ(sent.mail->sender, "me@example.jp");
  EXPECT_EQ(sent.mail->to, (std::vector<std::string>{"hanako@example.jp", "jiro@example.jp"}));
  EXPECT_EQ(sent.mail->recipients(message::ComposedMail::kCc | message::ComposedMail::kBcc),
            (std::vector<std::string>{"cc@example.jp", "hidden@example.jp"}));
  EXPECT_EQ(sent.mail->splitKilobytes, 100);
  EXPECT_TRUE(sent.mail->hasAttachments);
  EXPECT_FALSE(sent.mail->messageId.empty());
  EXPECT_EQ(sent.header.find("hidden@example.jp"), std::string::npos);
  EXPECT_NE(sent.header.find("Content-Type: multipart/mixed"), std::string::npos);
  EXPECT_NE(sent.body.find("Content-Transfer-Encoding: base64\r\n\r\n/9j/AGpwZWc=\r\n"), std::string::npos);
  EXPECT_NE(sent.body.find("-------- notes.txt --------\r\nmemo\r\n"), std::string::npos) << "text files go inline";

  const Composed plain = composeUnsent(0, false);
  ASSERT_TRUE(plain.mail.has_value());
  EXPECT_EQ(plain.body.find("base64"), std::string::npos) << "the variant for recipients who get no files";
  EXPECT_EQ(plain.header.find("multipart"), std::string::npos);
  EXPECT_TRUE(reporter.boxes().empty());
}

TEST_F(ComposeCli, LineBreaksInFieldsNeverMakeHeaderLines) {
  for (const char* to : {"a@example.jp\r\nBcc: evil@example.jp", "a@example.jp\nRCPT TO:<x@y>", "a@example.jp\x01"}) {
    const auto refused = cli({"compose", "--to", to, "--subject", "s", "--body", "b"});
    EXPECT_EQ(refused.exitCode, 1) << to;
    EXPECT_NE(refused.err.find("No.1004"), std::string::npos) << refused.err;
  }
  const auto bcc = cli({"compose", "--to", "a@example.jp", "--bcc", "b@example.jp\r\n", "--subject", "s", "--body", "b"});
  EXPECT_EQ(bcc.exitCode, 1);
  EXPECT_NE(bcc.err.find("b@example.jp\\r\\n"), std::string::npos) << "the message shows the bad characters";

  const auto stored = cli({"compose", "--to", "a@example.jp", "--subject", "hi\r\nBcc: evil@example.jp", "--body", "b"});
  ASSERT_EQ(stored.exitCode, 0) << stored.err;
  EXPECT_EQ(stored.out, "0\n") << "the refused drafts stored nothing";
  const Composed sent = composeUnsent(0, true);
  ASSERT_TRUE(sent.mail.has_value());
  EXPECT_NE(sent.header.find("Subject: hi  Bcc: evil@example.jp\r\n"), std::string::npos) << sent.header;
  EXPECT_EQ(sent.header.find("\nBcc:"), std::string::npos);
}

TEST_F(ComposeCli, BadAttachmentsAndMissingFieldsAreRefused) {
  const auto missing = cli({"compose", "--to", "a@example.jp", "--subject", "s", "--body", "b", "--attach",
                            dir.file("none.bin")});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("No.1100"), std::string::npos) << missing.err;
  const std::string quoted = write("a\"b.bin", "x");
  EXPECT_EQ(cli({"compose", "--to", "a@example.jp", "--subject", "s", "--body", "b", "--attach", quoted}).exitCode, 1)
      << "a tag line cannot name a path with a double quote";
  EXPECT_EQ(cli({"compose", "--to", "a@example.jp", "--subject", "s", "--body", "b", "--attach", dir.path()}).exitCode,
            1);

  const auto noTo = cli({"compose", "--to", " , ", "--subject", "s", "--body", "b"});
  EXPECT_EQ(noTo.exitCode, 1);
  EXPECT_NE(noTo.err.find("No.502"), std::string::npos) << noTo.err;
  EXPECT_EQ(cli({"compose", "--to", "a@example.jp", "--body", "b"}).exitCode, 2);
  EXPECT_EQ(cli({"compose", "--to", "a@example.jp", "--subject", "s"}).exitCode, 2);
  EXPECT_EQ(cli({"compose", "--to", "a@example.jp", "--subject", "s", "--body", "b", "--split-kb", "-1"}).exitCode, 2);
  EXPECT_EQ(cli({"compose", "--to", "a@example.jp", "--subject", "s", "--body", "b", "--body-file", "x"}).exitCode, 2);
  EXPECT_EQ(cli({"compose", "--to", "a@example.jp", "--subject", "s", "--body-file", dir.file("none")}).exitCode, 1);
  EXPECT_EQ(cli({"list", "未送信"}).out, "");
}

TEST_F(ComposeCli, UnreadableUnsentMailAndMissingFileAtSendTime) {
  const std::string file = write("gone.bin", "x");
  ASSERT_EQ(cli({"compose", "--to", "a@example.jp", "--subject", "s", "--body", "b", "--attach", file}).exitCode, 0);
  ASSERT_TRUE(platform::removeFile(platform::utf8ToSjis(file)));
  const Composed sent = composeUnsent(0, true);
  EXPECT_FALSE(sent.mail.has_value());
  ASSERT_EQ(reporter.boxes().size(), 1u);
  EXPECT_NE(reporter.boxes()[0].caption.find("No.1100"), std::string::npos);
  EXPECT_FALSE(platform::pathExists(dir.file("TxTmpB"))) << "the work files of a failed composition are removed";
  EXPECT_FALSE(composeUnsent(7, true).mail.has_value()) << "no such mail";
}

}  // namespace
}  // namespace zorvik
