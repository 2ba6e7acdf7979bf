// The Becky! conversion: mailboxes built here as the format is described
// (mails from "From:" to a lone ".", attachments named by
// "X-Becky-Attachment-File:" and kept in an "Attach" folder), converted
// into tray text with the attachments copied into the store.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Messages.h"
#include "import/BeckyConverter.h"
#include "platform/FileSystem.h"
#include "support/RecordingReporter.h"
#include "support/TestEnvironment.h"

namespace zorvik::import {
namespace {

const std::string kPdf("%PDF-1.4\n\x00\x01\x02\xFF binary\r\n", 22);

class BeckyConverterTest : public ::testing::Test {
protected:
  BeckyConverterTest() {
    EXPECT_TRUE(platform::makeDirectories(dir.file("Becky/Attach")));
    EXPECT_TRUE(platform::makeDirectories(dir.file("Becky/Mailbox/Inbox")));
    EXPECT_TRUE(platform::writeFileAtomically(dir.file("Becky/Attach/report.pdf"), kPdf));
    EXPECT_TRUE(platform::writeFileAtomically(dir.file("Becky/Attach/note.txt"), "note\n"));
  }

  // Converts `mailbox`; the tray text of every mail handed over.
  std::vector<std::string> convert(const std::string& mailbox, bool withAttachFolder = true,
                                   std::function<bool(std::optional<std::time_t>)> admits = {}) {
    const std::string path = dir.file("Becky/Mailbox/Inbox/in.mbx");
    EXPECT_TRUE(platform::writeFileAtomically(path, mailbox));
    BeckySettings settings;
    if (withAttachFolder) settings.attachFolder = BeckyConverter::findAttachFolder(path);
    settings.attachmentRoot = root();
    settings.admits = std::move(admits);
    std::vector<std::string> mails;
    end = BeckyConverter::convertFile(path, settings, messages, [&mails](std::string_view mail) {
      mails.emplace_back(mail);
      return true;
    });
    return mails;
  }
  std::string root() const { return dir.file("store/.inc"); }

  test::ScratchDir dir;
  test::RecordingReporter reporter;
  core::Messages messages{reporter};
  ReadEnd end = ReadEnd::Done;
};

TEST_F(BeckyConverterTest, MailsBecomeTrayTextWithTheirAttachmentsCopied) {
  const auto mails = convert(
      "Received: passed over between mails\r\n"
      "From: a@example.jp\r\nSubject: with files\r\nX-Becky-Attachment-File: report.pdf\r\n"
      "Date: Mon, 07 Dec 2026 09:30:00 +0900\r\nx-becky-attachment-file:  note.txt \r\n\r\n"
      "body\r\nFrom the office\r\n..dots stay\r\n.\r\n"
      "From: b@example.jp\r\nSubject: plain\r\n\r\nonly text\r\n.\r\n"
      "From: c@example.jp\r\nSubject: header only\r\n.\r\n"
      "From: d@example.jp\r\nSubject: left open at the end\r\n\r\nlast line\r\n");
  ASSERT_EQ(end, ReadEnd::Done);
  ASSERT_EQ(mails.size(), 4u);
  EXPECT_EQ(mails[0],
            "From  \r\nFrom: a@example.jp\r\nSubject: with files\r\nDate: Mon, 07 Dec 2026 09:30:00 +0900\r\n"
            "X-Zorvik-AttachDir: 1261207.000\r\n\r\nbody\r\n>From the office\r\n..dots stay\r\n"
            "@#MIME \"%:report.pdf\"\r\n@#MIME \"%:note.txt\"\r\n");
  EXPECT_EQ(platform::readFile(root() + "/1261207.000/report.pdf"), kPdf) << "copied byte for byte";
  EXPECT_EQ(platform::readFile(root() + "/1261207.000/note.txt"), "note\n");
  EXPECT_EQ(mails[1], "From  \r\nFrom: b@example.jp\r\nSubject: plain\r\n\r\nonly text\r\n")
      << "no attachments, no folder line";
  EXPECT_EQ(mails[2], "From  \r\nFrom: c@example.jp\r\nSubject: header only\r\n\r\n");
  EXPECT_EQ(mails[3], "From  \r\nFrom: d@example.jp\r\nSubject: left open at the end\r\n\r\nlast line\r\n");
  EXPECT_TRUE(reporter.numbers().empty());
}

TEST_F(BeckyConverterTest, AFileThatCannotBeCopiedLeavesTheMailWithoutAttachments) {
  const std::string mailbox =
      "From: a@example.jp\r\nX-Becky-Attachment-File: report.pdf\r\nX-Becky-Attachment-File: gone.doc\r\n\r\nx\r\n.\r\n"
      "From: b@example.jp\r\nX-Becky-Attachment-File: ../Mailbox/Inbox/in.mbx\r\n\r\ny\r\n.\r\n";
  const auto mails = convert(mailbox);
  ASSERT_EQ(mails.size(), 2u);
  EXPECT_EQ(mails[0], "From  \r\nFrom: a@example.jp\r\n\r\nx\r\n");
  EXPECT_EQ(mails[1], "From  \r\nFrom: b@example.jp\r\n\r\ny\r\n") << "a name that leaves Attach is not followed";
  EXPECT_EQ(reporter.numbers(), (std::vector<core::MessageNumber>{core::MessageNumber::AttachmentNotCopied,
                                                                 core::MessageNumber::AttachmentNotCopied}));
  EXPECT_TRUE(platform::listDirectory(root()).empty()) << "the half-filled folder is removed";

  // Without an "Attach" folder the lines stay as plain header lines.
  const auto plain = convert(mailbox, false);
  ASSERT_EQ(plain.size(), 2u);
  EXPECT_NE(plain[0].find("X-Becky-Attachment-File: report.pdf\r\n"), std::string::npos);
}

TEST_F(BeckyConverterTest, ThePeriodPassesOverOldMailsWithoutCopyingTheirFiles) {
  const auto mails = convert(
      "From: old@example.jp\r\nDate: Tue, 01 Sep 1998 10:00:00 +0900\r\nX-Becky-Attachment-File: report.pdf\r\n\r\n"
      "old\r\n.\r\nFrom: new@example.jp\r\nDate: Mon, 07 Dec 2026 09:30:00 +0900\r\n\r\nnew\r\n.\r\n",
      true, [](std::optional<std::time_t> date) { return date && *date > 1700000000; });
  ASSERT_EQ(mails.size(), 1u);
  EXPECT_NE(mails[0].find("new@example.jp"), std::string::npos);
  EXPECT_FALSE(platform::isDirectory(root()));
}

TEST_F(BeckyConverterTest, TheAttachFolderIsFoundBesideTheMailboxOrAbove) {
  EXPECT_EQ(BeckyConverter::findAttachFolder(dir.file("Becky/Mailbox/Inbox/in.mbx")), dir.file("Becky/Attach"));
  EXPECT_EQ(BeckyConverter::findAttachFolder(dir.file("Becky/x.mbx")), dir.file("Becky/Attach"));
  EXPECT_FALSE(BeckyConverter::findAttachFolder(dir.file("x.mbx"))) << "a folder beside is not looked into";
}

}  // namespace
}  // namespace zorvik::import
