#include "store/Backup.h"

#include <algorithm>
#include <filesystem>

#include "OperationFixture.h"
#include "store/Export.h"
#include "store/LinkRecord.h"
#include "store/MailOperations.h"
#include "store/Merge.h"
#include "store/TrayAttachments.h"
#include "store/TreeOperations.h"
#include "support/TestEnvironment.h"

namespace zorvik::store {
namespace {

using core::MessageNumber;

class RecordingProgress : public core::Progress {
public:
  void step(const std::string& text) override { steps.push_back(text); }
  std::vector<std::string> steps;
};

class BackupTest : public OperationFixture {
protected:
  BackupTest() {
    builder.append(inbox, "one");
    builder.append(inbox, "two");
    appendWithAttachment(inbox, "photo", "1261207.000");
    TreeOperations tree(store(), settings, messages);
    tree.createCabinet("A");
    tree.createTray("A/T");
    builder.append(tray("A/T"), "deep");
    mails.link("Inbox", 0, "A/T");
  }

  bool backup(const std::string& directory, const std::string& selection = {}, DateLimit limit = {},
              bool deleteCopied = false, bool compactAfter = false) {
    Backup run(store(), settings, messages, progress, 9);
    BackupRequest request{directory, selection, !selection.empty(), limit, deleteCopied, compactAfter};
    const bool ok = run.run(request);
    copied = run.copied();
    return ok;
  }
  std::string outside(const std::string& relative) const { return outsideDir.file(relative); }
  TrayFile outsideTray(const std::string& relative) const { return TrayFile(store(), outside(relative)); }

  TrayFile inbox = builder.createTray("Inbox");
  MailOperations mails{store(), trash};
  RecordingProgress progress;
  test::ScratchDir outsideDir;
  int copied = -1;
};

TEST_F(BackupTest, SecondBackupCopiesNothingAndAttachmentsGoToTheBackupRoot) {
  ASSERT_TRUE(backup(outside("bk")));
  EXPECT_EQ(copied, 4) << "three mails of Inbox and one of A/T; the link row is no mail";
  const TrayFile copy = outsideTray("bk/Top/Inbox");
  EXPECT_EQ(copy.count(false), 3U);
  EXPECT_EQ(outsideTray("bk/Top/A/T").count(false), 1U);
  const auto header = copy.headerLines(2);
  ASSERT_TRUE(header);
  const auto folder = TrayAttachments::folderName(*header);
  ASSERT_TRUE(folder);
  EXPECT_EQ(platform::readFile(outside("bk/Top/.inc/" + *folder + "/a.txt")), "attached photo");
  TrayRecord row;
  ASSERT_EQ(copy.read(0, row), ReadResult::Live);
  EXPECT_EQ(row.record.referenceCount(), 0) << "the backup holds no links that could count";
  EXPECT_NE(std::find(progress.steps.begin(), progress.steps.end(), "BACKUP...Inbox : 2"), progress.steps.end());

  const std::string before = test::TrayBuilder::bytes(copy.path(filetype::kIndex));
  ASSERT_TRUE(backup(outside("bk")));
  EXPECT_EQ(copied, 0);
  EXPECT_EQ(test::TrayBuilder::bytes(copy.path(filetype::kIndex)), before);
}

// A mail stored before folders were named in its header keeps its files in
// a folder named by its Message-Id. Whatever copies the mail, into the store
// or out of it, takes the files along into a folder of the copy's own.
TEST_F(BackupTest, FilesInAFolderNamedByTheMessageIdGoWithEveryCopy) {
  IndexRecord record;
  record.setSubject("old");
  record.setFlags(recordflag::kAttachments);
  record.setDate(1700000000);
  const auto index = *inbox.appendMail(test::TrayBuilder::mail("old"), record);
  platform::makeDirectories(incPath("old@example.jp"));
  platform::writeFileAtomically(incPath("old@example.jp/a.txt"), "attached old");
  builder.createTray("Work");
  platform::makeDirectories(outside("far/.inc"));
  const TrayFile far = outsideTray("far/Box");
  ASSERT_TRUE(far.create(TrayProperties{}));
  // The files the copy of "old" in `tray` names, read back.
  const auto filesOfCopy = [&](const std::string& tray) -> std::string {
    auto reader = TrayFile(store(), tray).reader();
    TrayRecord row;
    while (reader && reader->nextMail(row) == ReadResult::Live) {
      if (row.record.subject() != "old") continue;
      const auto folder = TrayAttachments::folderName(TrayFile(store(), tray).headerLines(row.index).value_or(""));
      if (!folder) return "no folder named";
      return platform::readFile(platform::joinPath(TrayAttachments::root(store(), tray), *folder + "/a.txt"))
          .value_or("no files");
    }
    return "no copy";
  };
  ASSERT_TRUE(mails.copy("Inbox", {index}, "Work")[0]);
  EXPECT_EQ(filesOfCopy("Work"), "attached old") << "copy";
  ASSERT_TRUE(backup(outside("bk")));
  EXPECT_EQ(filesOfCopy(outside("bk/Top/Inbox")), "attached old") << "backup";
  ASSERT_TRUE(mails.move("Inbox", {index}, far.name()).placed[0]);
  EXPECT_EQ(filesOfCopy(far.name()), "attached old") << "move into another attachment root";
}

TEST_F(BackupTest, BackupIntoTheStoreItselfIsRefused) {
  EXPECT_FALSE(backup(store().topCabinetPath()));
  EXPECT_FALSE(backup(store().root)) << "the backup root would be the top cabinet itself";
  std::filesystem::create_directory_symlink(platform::nativePath(store().topCabinetPath()),
                                            platform::nativePath(outside("alias")));
  EXPECT_FALSE(backup(outside("alias")));
  EXPECT_EQ(boxes(MessageNumber::BackupIntoOwnTree), 3);
  EXPECT_FALSE(platform::pathExists(topPath("Top"))) << "nothing was written";
  EXPECT_TRUE(backup(outside("TopX")));
}

TEST_F(BackupTest, DeletingAllOldMailsOfATrayRemovesItsFiles) {
  const TrayFile old = builder.createTray("A/Old");
  builder.append(old, "old one");
  builder.append(old, "old two");
  ASSERT_TRUE(backup(outside("bk"), "A/Old", {}, true, true));
  EXPECT_EQ(copied, 2);
  EXPECT_FALSE(platform::pathExists(old.path(filetype::kIndex)));
  EXPECT_FALSE(platform::pathExists(old.path(filetype::kText)));
  EXPECT_EQ(outsideTray("bk/Top/A/Old").count(false), 2U);
  // A tray whose only mail goes but whose link row stays is compacted.
  ASSERT_TRUE(backup(outside("bk"), "A/T", {}, true, true));
  EXPECT_EQ(tray("A/T").recordCount(), 1U);
  EXPECT_EQ(subjects("A/T"), std::vector<std::string>{"one"});
}

TEST_F(BackupTest, DeletingSomeOldMailsCompactsWhatIsLeft) {
  // The mails of Inbox have the date 0 except "photo".
  const DateLimit limit{1000, std::nullopt};
  ASSERT_TRUE(backup(outside("bk"), "Inbox", limit, true, true));
  EXPECT_EQ(copied, 2);
  EXPECT_EQ(subjects("Inbox"), std::vector<std::string>{"photo"});
  EXPECT_EQ(inbox.recordCount(), 1U) << "compacted";
  EXPECT_EQ(inbox.headerLines(0)->substr(0, 14), "Subject: photo");
  EXPECT_TRUE(platform::isDirectory(incPath("1261207.000")));
  EXPECT_EQ(live("A/T"), 1) << "the link to the deleted mail was released, not left dangling";
}

TEST_F(BackupTest, MergeTakesNormalMailsButNoLinkRows) {
  ASSERT_TRUE(platform::makeDirectories(outside("in")));
  const TrayFile source = outsideTray("in/Other");
  ASSERT_TRUE(source.create(TrayProperties{}));
  builder.append(source, "outside one");
  builder.append(source, "outside two");
  ASSERT_TRUE(source.appendRecord(*LinkRecord::make("Inbox", 1)));
  RecordingProgress merging;
  Merge merge(store(), messages, merging, 9);
  ASSERT_TRUE(merge.run({outside("in"), "A", {}}));
  EXPECT_EQ(merge.copied(), 2);
  EXPECT_EQ(subjects("A/Other"), (std::vector<std::string>{"outside one", "outside two"}));
  EXPECT_EQ(references("Inbox", 1), 0);
  EXPECT_EQ(merging.steps.size(), 3U);
  ASSERT_TRUE(merge.run({outside("in"), "A", {}}));
  EXPECT_EQ(merge.copied(), 0);

  EXPECT_FALSE(merge.run({outside("missing"), "A", {}}));
  EXPECT_EQ(boxes(MessageNumber::NoSourceCabinet), 1);
  EXPECT_FALSE(merge.run({outside("in/Missing"), "A/Other", {}}));
  EXPECT_EQ(boxes(MessageNumber::NoSourceTray), 1);
  ASSERT_TRUE(merge.run({outside("in/Other"), "A/T", {}}));
  EXPECT_EQ(live("A/T"), 4);
}

TEST_F(BackupTest, ExportWithRemovalAndMergeBackRestoresTheCabinet) {
  RecordingProgress exporting;
  Export out(store(), settings, messages, exporting, 9);
  ASSERT_TRUE(out.run({"A", outside("ex/A"), {}, true}));
  EXPECT_EQ(out.copied(), 1) << "the link row does not leave the store";
  EXPECT_FALSE(platform::pathExists(topPath("A")));
  EXPECT_EQ(references("Inbox", 0), 0);
  Merge back(store(), messages, exporting, 9);
  ASSERT_TRUE(back.run({outside("ex/A"), "A", {}}));
  EXPECT_EQ(subjects("A/T"), std::vector<std::string>{"deep"});
}

// export --remove takes out of the store exactly the mails whose copies are
// in the destination: those it copied, and those an equal mail was already
// there for. Mails outside the period stay, and so does their tray.
TEST_F(BackupTest, ExportWithRemovalRemovesExactlyTheMailsThatAreOutside) {
  IndexRecord again;
  again.setSubject("again");
  again.setDate(2000);
  inbox.appendMail(test::TrayBuilder::mail("again"), again);
  ASSERT_TRUE(platform::makeDirectories(outside("ex")));
  const TrayFile destination = outsideTray("ex/Inbox");
  ASSERT_TRUE(destination.create(TrayProperties{}));
  destination.appendMail(test::TrayBuilder::mail("again"), again);
  Export out(store(), settings, messages, progress, 9);
  // "one" and "two" have the date 0, "photo" and "again" are newer.
  ASSERT_TRUE(out.run({"Inbox", outside("ex/Inbox"), {std::nullopt, 1000}, true}));
  EXPECT_EQ(out.copied(), 1);
  EXPECT_EQ(subjects("Inbox"), (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(subjects(outside("ex/Inbox")), (std::vector<std::string>{"again", "photo"}));
  EXPECT_EQ(live("A/T"), 2) << "the link to a mail that stays is kept";
}

// Backup and export never take their destination from inside what they
// copy, nor merge into what it reads: the copy would feed itself, and with
// --remove a tray exported onto itself would be lost.
TEST_F(BackupTest, ExportAndMergeRefuseTheirOwnTree) {
  Export out(store(), settings, messages, progress, 9);
  Merge in(store(), messages, progress, 9);
  EXPECT_FALSE(out.run({"A", topPath("A/Inside"), {}, true}));
  EXPECT_FALSE(out.run({"Inbox", topPath("Inbox"), {}, true}));
  EXPECT_FALSE(out.run({"", topPath("Below"), {}, false}));
  EXPECT_FALSE(in.run({store().topCabinetPath(), "A", {}}));
  EXPECT_FALSE(in.run({store().root, "A", {}}));
  EXPECT_FALSE(in.run({topPath("Inbox"), "Inbox", {}}));
  EXPECT_EQ(boxes(MessageNumber::BackupIntoOwnTree), 6);
  EXPECT_EQ(subjects("Inbox"), (std::vector<std::string>{"one", "two", "photo"}));
  EXPECT_EQ(subjects("A/T"), (std::vector<std::string>{"deep", "one"}));
  EXPECT_FALSE(platform::pathExists(topPath("A/Inside")));
}

// The mail-server tray (the next receive decides by it what is new) and the
// unsent tray (its mails still wait to be sent) are copied but keep their
// mails when backup --delete or export --remove empties the rest; the
// commands name them. A system tray is never removed.
TEST_F(BackupTest, BulkRemovalLeavesTheMailsOfTheServerAndUnsentTrays) {
  using core::item::kMailServerTray;
  using core::item::kUnsentTray;
  for (const int item : {kMailServerTray, kUnsentTray, core::item::kSentTray})
    builder.append(builder.createTray(settings.text(item)), "waiting");
  const auto sorted = [](std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
  };
  const std::vector<std::string> waiting = sorted({settings.text(kUnsentTray), settings.text(kMailServerTray)});
  Backup run(store(), settings, messages, progress, 9);
  ASSERT_TRUE(run.run({outside("bk"), "", false, {}, true, true}));
  EXPECT_EQ(sorted(run.keptTrays()), waiting);
  for (const int item : {kMailServerTray, kUnsentTray})
    EXPECT_EQ(subjects(settings.text(item)), std::vector<std::string>{"waiting"});
  EXPECT_FALSE(inbox.exists()) << "an ordinary tray whose mails all went is removed";
  EXPECT_EQ(live(settings.text(core::item::kSentTray)), 0) << "a system tray whose mails all went stays";

  for (const int item : {kMailServerTray, kUnsentTray, core::item::kTrashTray})
    builder.append(tray(settings.text(item)), "more");
  Export out(store(), settings, messages, progress, 9);
  ASSERT_TRUE(out.run({"", outside("ex"), {}, true}));
  EXPECT_EQ(sorted(out.keptTrays()), waiting);
  for (const int item : {kMailServerTray, kUnsentTray})
    EXPECT_EQ(subjects(settings.text(item)), (std::vector<std::string>{"waiting", "more"}));
  EXPECT_EQ(live(trash), 0);
}

TEST(BackupPeriodTest, ChoicesBecomeDates) {
  // 2026-03-31 12:00 in Japan.
  const std::time_t now = 1774926000;
  const int zone = 9;
  const std::int64_t midnight2026 = 1767193200;  // 2026-01-01 00:00 JST
  EXPECT_EQ(BackupPeriod::forBackup(0, now, zone)->notAfter, midnight2026 - 1);
  EXPECT_EQ(BackupPeriod::forBackup(2, now, zone)->notAfter, 1704034800 - 1) << "before 2024-01-01 JST";
  EXPECT_FALSE(BackupPeriod::forBackup(3, now, zone)->notAfter);
  EXPECT_FALSE(BackupPeriod::forBackup(4, now, zone)) << "a picked date needs the date";
  EXPECT_EQ(BackupPeriod::forBackup(4, now, zone, midnight2026)->notAfter, midnight2026 + 86399);
  EXPECT_FALSE(BackupPeriod::forBackup(5, now, zone));
  EXPECT_EQ(BackupPeriod::forMerge(0, now, zone)->notBefore, now - 3 * 86400);
  EXPECT_EQ(BackupPeriod::forMerge(2, now, zone)->notBefore, 1772247600) << "2026-02-28 12:00 JST: no 31 February";
  EXPECT_EQ(BackupPeriod::forMerge(5, now, zone)->notBefore, 1743390000) << "2025-03-31 12:00 JST";
  EXPECT_FALSE(BackupPeriod::forMerge(7, now, zone)->notBefore);
  EXPECT_FALSE(BackupPeriod::forMerge(8, now, zone));
  EXPECT_EQ(BackupPeriod::parseDay("2026-01-01", zone), midnight2026);
  EXPECT_FALSE(BackupPeriod::parseDay("2026-02-29", zone));
  EXPECT_FALSE(BackupPeriod::parseDay("2026-1-01", zone));
  const DateLimit recent{std::nullopt, 100};
  EXPECT_TRUE(recent.admits(100));
  EXPECT_FALSE(recent.admits(99));
}

}  // namespace
}  // namespace zorvik::store
