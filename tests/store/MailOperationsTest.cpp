#include "store/MailOperations.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <functional>

#include "OperationFixture.h"
#include "store/LinkMaintenance.h"
#include "store/OperationStep.h"
#include "store/TrashOperations.h"
#include "store/TrayAttachments.h"

namespace zorvik::store {
namespace {

// Public, so that the tables of deletions below can reach the store.
class MailOperationsTest : public OperationFixture {
public:
  using OperationFixture::messages;
  using OperationFixture::settings;
  using OperationFixture::store;
  using OperationFixture::tray;

  MailOperationsTest() {
    builder.append(inbox, "zero");
    builder.append(inbox, "one");
    builder.append(inbox, "two");
  }

  TrayFile inbox = builder.createTray("Inbox");
  TrayFile work = builder.createTray("Work");
  MailOperations mails{store(), trash};
};

TEST_F(MailOperationsTest, DeleteMovesToTheTrashAndDeletingInTheTrashIsForGood) {
  EXPECT_EQ(mails.remove("Inbox", {1}, false), 1U);
  EXPECT_EQ(subjects("Inbox"), (std::vector<std::string>{"zero", "two"}));
  EXPECT_EQ(subjects(trash), std::vector<std::string>{"one"});
  EXPECT_EQ(tray(trash).headerLines(0), "Subject: one\r\nMessage-Id: <one@example.jp>");
  const std::string text = test::TrayBuilder::bytes(inbox.path(filetype::kText));
  EXPECT_NE(text.find("From DeleteZorvik\r\n"), std::string::npos) << "the original's separator carries the marker";

  EXPECT_EQ(mails.remove(trash, {0}, false), 1U);
  EXPECT_EQ(live(trash), 0);
  EXPECT_EQ(test::TrayBuilder::bytes(tray(trash).path(filetype::kText)), "")
      << "the last mail of a tray deleted for good empties its files";
}

TEST_F(MailOperationsTest, ForGoodRemovesTheAttachmentFolderButTheTrashKeepsIt) {
  const auto kept = appendWithAttachment(inbox, "photo", "1261207.000");
  const auto gone = appendWithAttachment(inbox, "scan", "1261207.001");
  EXPECT_EQ(mails.remove("Inbox", {kept}, false), 1U);
  EXPECT_TRUE(platform::isDirectory(incPath("1261207.000"))) << "the mail in the trash still shows its files";
  EXPECT_NE(tray(trash).headerLines(0)->find("X-Zorvik-AttachDir: 1261207.000"), std::string::npos);
  EXPECT_EQ(mails.remove("Inbox", {gone}, true), 1U);
  EXPECT_FALSE(platform::pathExists(incPath("1261207.001")));
  EXPECT_EQ(subjects(trash), std::vector<std::string>{"photo"});
}

TEST_F(MailOperationsTest, CopyGivesTheCopyItsOwnAttachmentFolder) {
  const auto index = appendWithAttachment(inbox, "photo", "1261207.000");
  const auto placed = mails.copy("Inbox", {index}, "Work");
  ASSERT_EQ(placed.size(), 1U);
  ASSERT_TRUE(placed[0]);
  const auto header = tray("Work").headerLines(*placed[0]);
  ASSERT_TRUE(header);
  const auto folder = TrayAttachments::folderName(*header);
  ASSERT_TRUE(folder);
  EXPECT_NE(*folder, "1261207.000");
  EXPECT_EQ(platform::readFile(incPath(*folder + "/a.txt")), "attached photo");
  // Deleting the copy for good must leave the original's files alone.
  mails.remove("Work", {*placed[0]}, true);
  EXPECT_EQ(platform::readFile(incPath("1261207.000/a.txt")), "attached photo");
  EXPECT_EQ(subjects("Inbox").back(), "photo");
}

TEST_F(MailOperationsTest, MovedMailKeepsItsLinksWhichFollowIt) {
  ASSERT_EQ(mails.link("Inbox", 2, "Work"), LinkResult::Done);
  const auto [placed, notRemoved] = mails.move("Inbox", {2, 0}, "Work");
  ASSERT_TRUE(placed[0] && placed[1]);
  EXPECT_TRUE(notRemoved.empty());
  EXPECT_EQ(subjects("Inbox"), std::vector<std::string>{"one"});
  EXPECT_EQ(subjects("Work"), (std::vector<std::string>{"two", "two", "zero"}));
  EXPECT_EQ(references("Work", *placed[0]), 1);
  TrayRecord link;
  ASSERT_EQ(tray("Work").read(0, link), ReadResult::Live);
  EXPECT_EQ(link.linkTarget, "Work");
  EXPECT_EQ(link.linkIndex, *placed[0]);
  EXPECT_EQ(mails.move("Inbox", {7}, "Work").placed[0], std::nullopt) << "no such record";
  EXPECT_EQ(mails.move("Inbox", {1}, "Missing").placed[0], std::nullopt);
  EXPECT_EQ(subjects("Inbox"), std::vector<std::string>{"one"}) << "a failed move keeps the mail";
}

TEST_F(MailOperationsTest, OriginalsThatCouldNotBeDeletedAreReportedNotCountedAsGone) {
  // Another operation takes the source's index once the copies are written
  // and holds it past the retries.
  std::optional<platform::FileLock> held;
  setOperationStepHook([&] {
    if (!held) held = platform::FileLock::open(inbox.path(filetype::kIndex), platform::FileAccess::Update);
  });
  const auto [placed, notRemoved] = mails.move("Inbox", {0, 2}, "Work");
  EXPECT_TRUE(placed[0] && placed[1]) << "the copies are there";
  EXPECT_EQ(notRemoved, (std::vector<std::uint32_t>{0, 2})) << "and so are the originals";
  held.reset();
  EXPECT_EQ(mails.remove("Inbox", {1}, false), 0U) << "copied into the trash, but not gone";
  held.reset();
  EXPECT_EQ(mails.remove("Inbox", {1}, true), 0U);
  held.reset();
  setOperationStepHook({});
  EXPECT_EQ(live("Inbox"), 3);
  EXPECT_TRUE(mails.move("Inbox", {1}, "Work").notRemoved.empty());
  EXPECT_EQ(live("Inbox"), 2);
}

TEST_F(MailOperationsTest, AMoveThatRunsOutOfRoomPartWayLeavesEachMailInOneTray) {
  constexpr int kMails = 700;
  for (int i = 0; i < kMails; ++i) builder.append(inbox, "big" + std::to_string(i), 150);
  const std::vector<std::uint32_t> all = mails.liveIndices("Inbox");
  // The child may grow no file past 600 KB: the first few hundred mails fit
  // into "Work", a later block of them does not.
  const pid_t child = fork();
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{600 * 1024, 600 * 1024};
    setrlimit(RLIMIT_FSIZE, &limit);
    const auto moved = mails.move("Inbox", all, "Work");
    _exit(moved.placed.front() && !moved.placed.back() && moved.notRemoved.empty() ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "some mails moved, the rest reported as not";
  std::vector<std::string> everywhere = subjects("Inbox");
  const std::vector<std::string> work = subjects("Work");
  EXPECT_FALSE(work.empty());
  everywhere.insert(everywhere.end(), work.begin(), work.end());
  std::sort(everywhere.begin(), everywhere.end());
  EXPECT_EQ(std::adjacent_find(everywhere.begin(), everywhere.end()), everywhere.end()) << "no mail is in both";
  EXPECT_EQ(everywhere.size(), kMails + 3U);
}

TEST_F(MailOperationsTest, DeletingAReferencedMailReleasesItsLinks) {
  ASSERT_EQ(mails.link("Inbox", 0, "Work"), LinkResult::Done);
  ASSERT_EQ(mails.link("Inbox", 0, trash), LinkResult::Done);
  EXPECT_EQ(mails.remove("Inbox", {0}, false), 1U);
  EXPECT_EQ(live("Work"), 0) << "the link went with the mail instead of pointing at a deleted record";
  const auto trashed = subjects(trash);
  EXPECT_EQ(trashed, std::vector<std::string>{"zero"});
  TrayRecord copy;
  ASSERT_EQ(tray(trash).read(1, copy), ReadResult::Live);
  EXPECT_EQ(copy.record.referenceCount(), 0) << "the copy in the trash starts without references";
  EXPECT_FALSE(copy.isLink());
}

// Every way of deleting a mail for good, as the commands reach it. Each is
// handed the tray and the mail's index.
struct ForGood {
  const char* name;
  bool inTrash;  // the mail is put into the trash first
  std::function<bool(MailOperationsTest&, const std::string&, std::uint32_t)> run;
};

std::vector<ForGood> forGoodDeletions() {
  return {
      {"rm --for-good", false,
       [](MailOperationsTest& t, const std::string& tray, std::uint32_t at) {
         return t.mails.remove(tray, {at}, true) == 1;
       }},
      {"rm in the trash", true,
       [](MailOperationsTest& t, const std::string& tray, std::uint32_t at) {
         return t.mails.remove(tray, {at}, false) == 1;
       }},
      {"deleteMail", false,
       [](MailOperationsTest& t, const std::string& tray, std::uint32_t at) {
         return t.tray(tray).deleteMail(at, true);
       }},
      {"empty-trash", true,
       [](MailOperationsTest& t, const std::string&, std::uint32_t) {
         return emptyTrashAtExit(t.store(), t.settings, t.messages, true);
       }},
  };
}

// A deletion that cannot write the deleted bit (another process reads the
// tray past the lock retries) fails, and the mail stays as it was: with its
// attachment folder and its links.
TEST_F(MailOperationsTest, ADeletionThatFailsKeepsTheFilesAndLinksOfTheMail) {
  const std::vector<ForGood> deletions = forGoodDeletions();
  for (std::size_t i = 0; i < deletions.size(); ++i) {
    const ForGood& deletion = deletions[i];
    const std::string where = deletion.inTrash ? trash : std::string("Inbox");
    const std::string folder = "1261207.1" + std::to_string(i);
    const auto at = appendWithAttachment(tray(where), deletion.name, folder);
    ASSERT_EQ(mails.link(where, at, "Work"), LinkResult::Done);
    bool done = false;
    {
      const auto reading = platform::FileLock::open(tray(where).path(filetype::kIndex), platform::FileAccess::Read);
      ASSERT_TRUE(reading);
      done = deletion.run(*this, where, at);
    }
    EXPECT_FALSE(done) << deletion.name;
    EXPECT_TRUE(platform::isDirectory(incPath(folder))) << deletion.name << ": the mail is still there";
    EXPECT_EQ(references(where, at), 1) << deletion.name;
    const auto reached = subjects("Work");
    EXPECT_EQ(std::count(reached.begin(), reached.end(), deletion.name), 1) << deletion.name << ": its link is gone";
  }
}

// A folder named by two live mails (the copies a move leaves when the
// original could not be marked deleted) stays until the last of them goes.
TEST_F(MailOperationsTest, AFolderSharedByTwoLiveMailsGoesWithTheLastOfThem) {
  const std::vector<ForGood> deletions = forGoodDeletions();
  for (std::size_t i = 0; i < deletions.size(); ++i) {
    const ForGood& deletion = deletions[i];
    const std::string where = deletion.inTrash ? trash : std::string("Inbox");
    const std::string folder = "1261207.2" + std::to_string(i);
    const auto at = appendWithAttachment(tray(where), deletion.name, folder);
    const auto survivor = appendWithAttachment(work, deletion.name, folder);
    ASSERT_TRUE(deletion.run(*this, where, at)) << deletion.name;
    EXPECT_TRUE(platform::isDirectory(incPath(folder))) << deletion.name << " stripped the copy in Work";
    ASSERT_EQ(mails.remove("Work", {survivor}, true), 1U);
    EXPECT_FALSE(platform::pathExists(incPath(folder))) << deletion.name;
  }
}

TEST_F(MailOperationsTest, LinkRowsAreReleasedNotTrashedAndNeverLinkedAgain) {
  std::uint32_t at = 0;
  ASSERT_EQ(mails.link("Inbox", 1, "Work", &at), LinkResult::Done);
  EXPECT_EQ(mails.link("Work", at, "Inbox"), LinkResult::Failed);
  EXPECT_EQ(mails.remove("Work", {at}, false), 1U);
  EXPECT_EQ(live(trash), 0);
  EXPECT_EQ(references("Inbox", 1), 0);
  EXPECT_EQ(live("Inbox"), 3);
}

TEST_F(MailOperationsTest, ReadStateAndMarksFollowLinksToTheMail) {
  std::uint32_t at = 0;
  ASSERT_EQ(mails.link("Inbox", 1, "Work", &at), LinkResult::Done);
  EXPECT_TRUE(mails.setOpened("Work", {at}, true));
  TrayRecord row;
  ASSERT_EQ(tray("Inbox").read(1, row), ReadResult::Live);
  EXPECT_TRUE(row.record.hasFlag(recordflag::kOpened));
  EXPECT_TRUE(mails.setMark("Work", at, 3));
  ASSERT_EQ(tray("Inbox").read(1, row), ReadResult::Live);
  EXPECT_EQ(row.record.mark(), 3);
  EXPECT_FALSE(mails.setMark("Work", at, 6));

  EXPECT_TRUE(mails.setOpened("Work", {at}, true, true)) << "opened and clear links";
  EXPECT_EQ(live("Work"), 0);
  EXPECT_EQ(references("Inbox", 1), 0);
  EXPECT_TRUE(mails.setTrayOpened("Inbox", false));
  EXPECT_EQ(tray("Inbox").count(true), 3U);
}

TEST_F(MailOperationsTest, CopyIntoTheSameTrayAndManyMailsInOneCall) {
  std::vector<std::uint32_t> all;
  for (int i = 0; i < 600; ++i) all.push_back(builder.append(inbox, "bulk" + std::to_string(i)));
  const auto placed = mails.copy("Inbox", {0}, "Inbox");
  ASSERT_TRUE(placed[0]);
  EXPECT_EQ(live("Inbox"), 604);
  const auto moved = mails.move("Inbox", all, "Work").placed;
  EXPECT_EQ(std::count(moved.begin(), moved.end(), std::nullopt), 0);
  EXPECT_EQ(live("Work"), 600);
  EXPECT_EQ(live("Inbox"), 4);
  EXPECT_EQ(subjects("Work")[599], "bulk599");
  EXPECT_EQ(tray("Work").headerLines(599), "Subject: bulk599\r\nMessage-Id: <bulk599@example.jp>");
}

TEST_F(MailOperationsTest, TheServerListIsNotDeletedThroughTheStore) {
  const MailOperations withServer(store(), trash, 9, "Inbox");
  EXPECT_EQ(withServer.remove("Inbox", {0}, false), 0U);
  EXPECT_FALSE(withServer.setOpened("Inbox", {0}, true));
  EXPECT_EQ(live("Inbox"), 3);
  EXPECT_EQ(live(trash), 0);
}

TEST_F(MailOperationsTest, LongMailsCopyWholeAndDamagedRecordsAreNotCopied) {
  const auto longMail = builder.append(inbox, "long", 3000);
  const auto placed = mails.copy("Inbox", {longMail, 0}, "Work");
  ASSERT_TRUE(placed[0] && placed[1]);
  auto body = tray("Work").bodyReader(*placed[0]);
  std::string line;
  int lines = 0;
  while (body && body->next(line)) ++lines;
  EXPECT_EQ(lines, 3000);
  EXPECT_EQ(line, "line 3000");

  // A body start that does not follow the header's empty line.
  TrayRecord row;
  ASSERT_EQ(inbox.read(1, row), ReadResult::Live);
  IndexRecord damaged = row.record;
  damaged.setBodyStart(damaged.bodyStart() + 3);
  ASSERT_TRUE(inbox.writeRecord(1, damaged));
  EXPECT_EQ(mails.move("Inbox", {1}, "Work").placed[0], std::nullopt);
  EXPECT_EQ(inbox.read(1, row), ReadResult::Live) << "a mail that could not be copied is not deleted";
}

}  // namespace
}  // namespace zorvik::store
