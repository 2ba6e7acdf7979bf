#include "store/AttachmentCleanup.h"

#include "OperationFixture.h"
#include "store/MailOperations.h"
#include "store/TrayUpgrade.h"

namespace zorvik::store {
namespace {

class AttachmentCleanupTest : public OperationFixture {
protected:
  TrayFile inbox = builder.createTray("Inbox");
  MailOperations mails{store(), trash};
  AttachmentCleanup cleanup{store()};
};

TEST_F(AttachmentCleanupTest, OnlyFoldersNoMailNamesAreOffered) {
  appendWithAttachment(inbox, "kept", "1261207.000");
  const auto trashed = appendWithAttachment(inbox, "trashed", "1261207.001");
  const auto gone = appendWithAttachment(inbox, "gone", "1261207.002");
  // A mail stored before folders were named in the header uses its Message-Id.
  platform::makeDirectories(incPath("old@example.jp"));
  MailText old = test::TrayBuilder::mail("old");
  IndexRecord record;
  record.setFlags(recordflag::kAttachments);
  ASSERT_TRUE(inbox.appendMail(old, record));
  // Held in a holding cabinet: still a mail of the store.
  platform::makeDirectories(topPath(".Xcut"));
  appendWithAttachment(builder.createTray(".Xcut/Held"), "held", "1261207.003");
  platform::makeDirectories(incPath("1200101.000"));
  platform::writeFileAtomically(incPath("stray.txt"), "x");

  mails.remove("Inbox", {trashed}, false);
  // Deleted for good the folder goes with the mail; deleted mark only, the
  // folder is left for the clean-up.
  ASSERT_TRUE(inbox.changeFlags(gone, recordflag::kDeleted, true));
  EXPECT_EQ(cleanup.unreferenced(), (std::vector<std::string>{"1200101.000", "1261207.002", "stray.txt"}));
  EXPECT_EQ(cleanup.remove({"1200101.000", "stray.txt", "../Inbox.XM1"}), 2U);
  EXPECT_TRUE(platform::pathExists(inbox.path(filetype::kIndex)));
  EXPECT_EQ(cleanup.unreferenced(), std::vector<std::string>{"1261207.002"});
  EXPECT_TRUE(platform::isDirectory(incPath("1261207.001"))) << "the trash still refers to it";
}

// Mails received but not yet moved into the new-mail tray (a receive that
// was killed waits for the next start) own their folders too.
TEST_F(AttachmentCleanupTest, FoldersOfMailsInTheNewMailWorkFileAreReferenced) {
  const std::string workFile = settings.workingDirectories().newMailWorkFile;
  platform::makeDirectories(platform::directoryOf(TrayName::path(store(), workFile, filetype::kText)));
  platform::writeFileAtomically(TrayName::path(store(), workFile, filetype::kText),
                                "From \r\nSubject: waiting\r\nX-Zorvik-AttachDir: 1261207.005\r\n\r\n"
                                "X-Zorvik-AttachDir: 1261207.006\r\n");
  for (const char* folder : {"1261207.005", "1261207.006"}) platform::makeDirectories(incPath(folder));
  const AttachmentCleanup withWorkFile(store(), workFile);
  EXPECT_EQ(withWorkFile.unreferenced(), std::vector<std::string>{"1261207.006"}) << "a body line names nothing";
}

TEST_F(AttachmentCleanupTest, UpgradeReplacesOnlyTheUserBits) {
  MailText mine = test::TrayBuilder::mail("mine");
  mine.header.push_back("From: taro@example.jp");
  mine.header.push_back("To: hanako@example.jp");
  IndexRecord record;
  record.setFlags(recordflag::kToUser | recordflag::kOpened | (3U << recordflag::kMarkShift));
  const auto index = *inbox.appendMail(mine, record);
  message::ParseContext context;
  context.userAddress = "taro@example.jp";
  const message::MailRecordParser parser(context);
  settings.setText(core::item::kMailServerTray, "Server");
  builder.createTray("Server");
  EXPECT_EQ(TrayUpgrade(store(), parser).upgradeStore(settings), 1);
  TrayRecord row;
  ASSERT_EQ(inbox.read(index, row), ReadResult::Live);
  EXPECT_TRUE(row.record.hasFlag(recordflag::kSentByUser));
  EXPECT_FALSE(row.record.hasFlag(recordflag::kToUser));
  EXPECT_TRUE(row.record.hasFlag(recordflag::kOpened));
  EXPECT_EQ(row.record.mark(), 3);
  EXPECT_EQ(TrayUpgrade(store(), parser).upgradeTray("Inbox"), 0) << "a second run changes nothing";
}

}  // namespace
}  // namespace zorvik::store
