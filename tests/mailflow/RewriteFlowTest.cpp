// Rewriting stored mails in place: the file extraction and the attachment
// deletion put the new mail where the old one was for the user (read state,
// mark, links) and send the old one to the trash; what holds no file, the
// user's own mails and a busy store change nothing.
#include <gtest/gtest.h>

#include <ctime>

#include "mailflow/AttachmentStripFlow.h"
#include "mailflow/ExtractFlow.h"
#include "mailflow/FlowScene.h"
#include "mailflow/StoreLock.h"
#include "message/MailRecordParser.h"
#include "message/Uuencode.h"
#include "platform/TextEncoding.h"
#include "store/MailOperations.h"
#include "store/RecordFlags.h"
#include "store/TrayFile.h"
#include "store/WorkFileAppender.h"

namespace zorvik::mailflow {
namespace {

using core::MessageNumber;
using platform::utf8ToSjis;

class RewriteFlowTest : public ::testing::Test {
protected:
  void SetUp() override {
    scene.document->settings().setText(core::item::kSenderAddress, "taro@example.jp");
    tray = utf8ToSjis("仕事");
    ASSERT_TRUE(file(tray).createInheriting());
  }
  store::TrayFile file(const std::string& name) const { return store::TrayFile(scene.document->store(), name); }

  std::uint32_t add(const std::string& text) {
    platform::writeFileAtomically(scene.scratch.file("in.XM0"), "From \r\n" + text);
    const message::MailRecordParser parser(
        message::ParseContext::fromSettings(scene.document->settings(), std::time(nullptr)));
    const auto stored = store::WorkFileAppender::append(scene.scratch.file("in.XM0"), file(tray), parser);
    EXPECT_TRUE(stored.has_value());
    return stored ? stored->firstIndex : 0;
  }
  store::TrayRecord row(const std::string& name, std::uint32_t index) const {
    store::TrayRecord row;
    EXPECT_EQ(file(name).read(index, row), store::ReadResult::Live) << index;
    return row;
  }
  std::string body(const std::string& name, std::uint32_t index) const {
    std::string text;
    auto reader = file(name).bodyReader(index);
    for (std::string line; reader->next(line);) text += line + "\n";
    return text;
  }
  std::uint32_t live(const std::string& name) const { return *file(name).count(false); }

  test::FlowScene scene;
  std::string tray;
};

TEST_F(RewriteFlowTest, ExtractionPutsTheNewMailInPlaceOfTheOld) {
  const std::string data(300, '\x7F');
  const std::uint32_t mail = add("From: a@example.jp\r\nSubject: uu\r\nDate: Mon, 7 Dec 2026 09:30:00 +0900\r\n"
                                 "Message-Id: <uu@example.jp>\r\nReceived: by mx\r\n\r\nbefore\r\n" +
                                 message::uuencodeBody(data, "data.bin") + "after\r\n");
  const store::MailOperations operations(scene.document->store(), scene.tray(core::item::kTrashTray));
  ASSERT_TRUE(operations.setOpened(tray, {mail}, true));
  ASSERT_TRUE(operations.setMark(tray, mail, 2));
  const std::string newMail = scene.tray(core::item::kNewMailTray);
  ASSERT_EQ(operations.link(tray, mail, newMail), store::LinkResult::Done);

  const auto report = ExtractFlow::run(*scene.document, newMail, 0);  // through the link
  ASSERT_TRUE(report.has_value());
  EXPECT_EQ(report->tray, tray);
  EXPECT_EQ(report->index, mail + 1);
  ASSERT_EQ(report->files.size(), 1u);
  EXPECT_EQ(platform::readFile(report->files[0]), data);
  EXPECT_EQ(body(tray, report->index), "before\n@#MIME \"%:data.bin\"\n\nafter\n");
  const store::IndexRecord rewritten = row(tray, report->index).record;
  EXPECT_TRUE(rewritten.hasFlag(store::recordflag::kAttachments));
  EXPECT_TRUE(rewritten.hasFlag(store::recordflag::kOpened));
  EXPECT_EQ(store::recordflag::markNumber(rewritten.flags()), 2);
  EXPECT_EQ(rewritten.referenceCount(), 1);
  const store::TrayRecord linkRow = row(newMail, 0);
  EXPECT_EQ(linkRow.linkIndex, report->index) << "the link follows the mail";
  EXPECT_EQ(live(tray), 1u);
  EXPECT_EQ(live(scene.tray(core::item::kTrashTray)), 1u);
  EXPECT_TRUE(scene.shown().empty());

  EXPECT_FALSE(ExtractFlow::run(*scene.document, tray, report->index).has_value()) << "nothing left to take out";
  EXPECT_EQ(scene.shown(), (std::vector<MessageNumber>{MessageNumber::NoAttachmentInBody}));
  EXPECT_EQ(live(tray), 1u);
  EXPECT_EQ(platform::listDirectory(platform::directoryOf(report->files[0])).size(), 1u) << "no new folder";
}

TEST_F(RewriteFlowTest, AttachmentDeletionPassesOverTheUsersOwnMails) {
  const std::uint32_t received =
      add("From: a@example.jp\r\nSubject: files\r\nMessage-Id: <f@example.jp>\r\nReceived: by mx\r\n"
          "Content-Type: multipart/mixed; boundary=x\r\nX-Zorvik-AttachDir: 1261207.000\r\n\r\n"
          "text\r\n@#MIME \"%:a.pdf\"\r\n@#MIME \"%:b.pdf\"\r\n");
  const std::uint32_t own =
      add("From: taro@example.jp\r\nSubject: mine\r\nZorvik: 101,,0,0,0\r\n\r\n@#MIME \"/home/taro/c.pdf\"\r\n");
  const std::uint32_t plain = add("From: b@example.jp\r\nSubject: p\r\nMessage-Id: <p@x>\r\nReceived: x\r\n\r\nhi\r\n");
  const auto stripped = AttachmentStripFlow::run(*scene.document, tray, {received, own, plain});
  ASSERT_TRUE(stripped.has_value());
  ASSERT_EQ(stripped->size(), 3u);
  EXPECT_EQ((*stripped)[0].removed, 2);
  ASSERT_TRUE((*stripped)[0].newIndex.has_value());
  EXPECT_FALSE((*stripped)[1].newIndex.has_value()) << "the user's own references name the user's files";
  EXPECT_FALSE((*stripped)[2].newIndex.has_value()) << "a mail without attachments stays where it is";
  const std::uint32_t rewritten = *(*stripped)[0].newIndex;
  const std::string note = utf8ToSjis("■消去された添付ファイル ");
  EXPECT_EQ(body(tray, rewritten), "text\n" + note + "a.pdf\n" + note + "b.pdf\n");
  EXPECT_FALSE(row(tray, rewritten).record.hasFlag(store::recordflag::kAttachments));
  const auto header = file(tray).headerLines(rewritten).value_or("");
  EXPECT_EQ(header.find("X-Zorvik-AttachDir"), std::string::npos) << header;
  EXPECT_EQ(body(tray, own), "@#MIME \"/home/taro/c.pdf\"\n");
  EXPECT_EQ(live(scene.tray(core::item::kTrashTray)), 1u);

  // While another workflow holds the store nothing is rewritten.
  const auto held = StoreLock::take(*scene.document, StoreWork::Receive);
  EXPECT_FALSE(AttachmentStripFlow::run(*scene.document, tray, {own}).has_value());
  EXPECT_FALSE(ExtractFlow::run(*scene.document, tray, own).has_value());
  EXPECT_EQ(scene.shown(), (std::vector<MessageNumber>(2, MessageNumber::OtherWorkRunning)));
}

}  // namespace
}  // namespace zorvik::mailflow
