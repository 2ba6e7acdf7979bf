// A process killed in the middle of a store operation must leave a store
// that reads, and no mail may be lost: a moved mail is in one tray or the
// other (or both), a renamed tray exists under one of its names with every
// mail, and the links still reach their mails.
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <thread>

#include "OperationFixture.h"
#include "store/MailOperations.h"
#include "store/OperationStep.h"
#include "store/TreeOperations.h"
#include "support/KilledChild.h"

namespace zorvik::store {
namespace {

constexpr int kCompleted = 3;
constexpr int kInterrupted = 4;

// Runs `operation` in a child that ends itself at step point `step` (or
// completes); returns whether the child got to the end.
bool runUntilStep(int step, const std::function<void()>& operation) {
  const pid_t child = fork();
  if (child == 0) {
    int seen = 0;
    setOperationStepHook([&] {
      if (++seen == step) _exit(kInterrupted);
    });
    operation();
    _exit(kCompleted);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == kCompleted;
}

// A store with mails in "Inbox", one of them linked from "Links".
struct Scene : OperationFixture {
  using OperationFixture::messages;
  using OperationFixture::settings;
  using OperationFixture::store;
  using OperationFixture::topPath;
  using OperationFixture::trash;
  using OperationFixture::tray;

  void TestBody() override {}
  explicit Scene(int mailCount, int bodyLines = 3) {
    for (int i = 0; i < mailCount; ++i) builder.append(inbox, "m" + std::to_string(i), bodyLines);
    mails.link("Inbox", 1, "Links");
    mails.link("Inbox", 2, "Links");
  }

  // Every subject of every live mail of `trays`, each header read back.
  std::multiset<std::string> stored(const std::vector<std::string>& trays) const {
    std::multiset<std::string> all;
    for (const std::string& name : trays) {
      auto reader = tray(name).reader();
      EXPECT_TRUE(reader) << name << " no longer reads as a tray";
      TrayRecord row;
      while (reader && reader->nextMail(row) == ReadResult::Live) {
        if (row.isLink()) continue;
        const std::string subject(row.record.subject());
        EXPECT_EQ(tray(name).headerLines(row.index),
                  "Subject: " + subject + "\r\nMessage-Id: <" + subject + "@example.jp>")
            << name << " " << row.index;
        all.insert(subject);
      }
    }
    return all;
  }

  // The links of "Links" still reach mails with these subjects.
  void expectLinksReach(const std::set<std::string>& subjects) const {
    auto reader = tray("Links").reader();
    ASSERT_TRUE(reader);
    TrayRecord row;
    std::set<std::string> reached;
    while (reader->nextMail(row) == ReadResult::Live) reached.insert(std::string(row.record.subject()));
    EXPECT_EQ(reached, subjects);
  }

  TrayFile inbox = builder.createTray("Inbox");
  TrayFile work = builder.createTray("Work");
  TrayFile links = builder.createTray("Links");
  MailOperations mails{store(), trash};
};

std::set<std::string> names(int count) {
  std::set<std::string> out;
  for (int i = 0; i < count; ++i) out.insert("m" + std::to_string(i));
  return out;
}

TEST(OperationInterruptionTest, MoveKilledAtEveryStepLosesNoMail) {
  constexpr int kMails = 30;
  for (int step = 1;; ++step) {
    Scene scene(kMails);
    std::vector<std::uint32_t> all;
    for (std::uint32_t i = 0; i < kMails; ++i) all.push_back(i);
    const bool completed = runUntilStep(step, [&] { scene.mails.move("Inbox", all, "Work"); });
    const auto stored = scene.stored({"Inbox", "Work"});
    EXPECT_EQ(std::set<std::string>(stored.begin(), stored.end()), names(kMails)) << "killed at step " << step;
    scene.expectLinksReach({"m1", "m2"});
    if (completed) {
      EXPECT_EQ(stored.size(), static_cast<std::size_t>(kMails)) << "a finished move leaves one copy each";
      EXPECT_GT(step, 3);
      break;
    }
  }
}

TEST(OperationInterruptionTest, DeleteToTrashKilledAtEveryStepLosesNoMail) {
  constexpr int kMails = 12;
  for (int step = 1;; ++step) {
    Scene scene(kMails);
    const bool completed = runUntilStep(step, [&] { scene.mails.remove("Inbox", {0, 1, 5, 11}, false); });
    const auto stored = scene.stored({"Inbox", scene.trash});
    EXPECT_EQ(std::set<std::string>(stored.begin(), stored.end()), names(kMails)) << "killed at step " << step;
    if (completed) break;
  }
}

TEST(OperationInterruptionTest, DeleteMailKilledAtEveryStepLeavesNoLiveMailWithoutItsHeader) {
  for (int step = 1;; ++step) {
    Scene scene(3);
    const bool completed = runUntilStep(step, [&] { scene.inbox.deleteMail(0, false); });
    TrayRecord row;
    const ReadResult result = scene.inbox.read(0, row);
    if (result == ReadResult::Live)
      EXPECT_EQ(scene.inbox.headerLines(0), "Subject: m0\r\nMessage-Id: <m0@example.jp>") << "killed at step " << step;
    if (completed) {
      EXPECT_EQ(result, ReadResult::Deleted);
      EXPECT_EQ(test::TrayBuilder::bytes(scene.inbox.path(filetype::kText)).rfind("From DeleteZorvik\r\n", 0), 0U);
      break;
    }
    EXPECT_EQ(result, ReadResult::Deleted) << "the deleted bit is the first write; killed at step " << step;
    EXPECT_EQ(scene.stored({"Inbox"}), (std::multiset<std::string>{"m1", "m2"}));
  }
}

TEST(OperationInterruptionTest, RenameKilledAtEveryStepKeepsOneCompleteTray) {
  for (int step = 1;; ++step) {
    Scene scene(5);
    const bool completed = runUntilStep(step, [&] {
      TreeOperations(scene.store(), scene.settings, scene.messages).rename("Inbox", "Renamed");
    });
    const bool oldThere = scene.tray("Inbox").exists();
    const bool newThere = scene.tray("Renamed").exists();
    ASSERT_TRUE(oldThere || newThere) << "killed at step " << step;
    const auto stored = scene.stored({oldThere ? "Inbox" : "Renamed"});
    EXPECT_EQ(std::set<std::string>(stored.begin(), stored.end()), names(5)) << "killed at step " << step;
    scene.expectLinksReach({"m1", "m2"});
    if (completed) {
      EXPECT_FALSE(oldThere);
      // Running the same rename after a kill finishes it.
      break;
    }
    if (oldThere && newThere) {
      EXPECT_TRUE(TreeOperations(scene.store(), scene.settings, scene.messages).rename("Inbox", "Renamed"));
      EXPECT_FALSE(scene.tray("Inbox").exists());
      scene.expectLinksReach({"m1", "m2"});
    }
  }
}

// A cabinet of the store that lies on another file system (the store below
// /tmp, the cabinet in /dev/shm): no hard link reaches it, as on vfat,
// exFAT or a network share, so a tray moved there is copied. Empty when the
// two do not lie on different file systems here.
class FarCabinet {
public:
  explicit FarCabinet(const Scene& scene) {
    char pattern[] = "/dev/shm/zorvik-far-XXXXXX";
    if (!mkdtemp(pattern)) return;
    directory_ = pattern;
    std::error_code error;
    const auto link = std::filesystem::path(scene.topPath("Far"));
    std::filesystem::create_directory_symlink(directory_, link, error);
    struct stat far {};
    struct stat near {};
    if (!error && stat(directory_.c_str(), &far) == 0 && stat(scene.topPath("").c_str(), &near) == 0 &&
        far.st_dev != near.st_dev)
      usable_ = true;
  }
  ~FarCabinet() {
    std::error_code error;
    if (!directory_.empty()) std::filesystem::remove_all(directory_, error);
  }
  bool usable() const { return usable_; }

private:
  std::string directory_;
  bool usable_ = false;
};

// Moving a tray where no hard link reaches copies its files (text first,
// index last), moves the links while both copies are whole, and only then
// removes the old names: a kill at any step leaves at least one complete
// tray, and the same move run again finishes the work.
TEST(OperationInterruptionTest, MoveWithoutHardLinksKilledAtEveryStepKeepsOneCompleteTray) {
  for (int step = 1;; ++step) {
    Scene scene(5);
    const FarCabinet far(scene);
    if (!far.usable()) GTEST_SKIP() << "no second file system at /dev/shm";
    TreeOperations tree(scene.store(), scene.settings, scene.messages);
    const bool completed = runUntilStep(step, [&] { _exit(tree.move("Inbox", "Far") ? 3 : 5); });
    const bool oldThere = scene.tray("Inbox").exists();
    const bool newThere = scene.tray("Far/Inbox").exists();
    ASSERT_TRUE(oldThere || newThere) << "killed at step " << step;
    for (const char* name : {"Inbox", "Far/Inbox"}) {
      if (!scene.tray(name).exists()) continue;
      const auto stored = scene.stored({name});
      EXPECT_EQ(std::set<std::string>(stored.begin(), stored.end()), names(5)) << name << " killed at step " << step;
    }
    scene.expectLinksReach({"m1", "m2"});
    if (completed) {
      EXPECT_FALSE(oldThere);
      break;
    }
    ASSERT_LT(step, 40) << "the move never completes";
    if (oldThere) {
      EXPECT_TRUE(tree.move("Inbox", "Far")) << "killed at step " << step;
      EXPECT_FALSE(scene.tray("Inbox").exists());
      scene.expectLinksReach({"m1", "m2"});
    }
  }
}

// Deletes every mail whose number `deleted` picks (m0 among them, so the
// linked m1 and m2 change their record numbers in compaction) and returns
// the subjects of the mails that stay.
std::set<std::string> deleteSome(const Scene& scene, int mailCount, bool (*deleted)(int)) {
  std::set<std::string> kept;
  for (int i = 0; i < mailCount; ++i) {
    if (deleted(i)) EXPECT_TRUE(scene.inbox.deleteMail(static_cast<std::uint32_t>(i), false));
    else kept.insert("m" + std::to_string(i));
  }
  return kept;
}

bool everyThird(int i) { return i % 3 == 0; }

// The compacted tray is written beside the old one and put in its place by
// renames: whatever step the kill hits, the tray reads whole (every record
// over its own mail's text) and holds each mail that was not deleted once.
TEST(OperationInterruptionTest, CompactionKilledAtEveryStepLeavesTheOldOrTheNewTrayWhole) {
  constexpr int kMails = 20;
  int kills = 0;
  for (int step = 1;; ++step) {
    Scene scene(kMails);
    const std::set<std::string> kept = deleteSome(scene, kMails, everyThird);
    const std::uint32_t before = *scene.inbox.recordCount();
    const bool completed = runUntilStep(step, [&] {
      TreeOperations(scene.store(), scene.settings, scene.messages).compact("Inbox");
    });
    const auto stored = scene.stored({"Inbox"});
    EXPECT_EQ(std::set<std::string>(stored.begin(), stored.end()), kept) << "killed at step " << step;
    EXPECT_EQ(stored.size(), kept.size()) << "killed at step " << step;
    const bool switched = *scene.inbox.recordCount() < before;
    // The links follow once the new tray is in place; a kill before that
    // leaves the old tray, which they still reach.
    if (!switched || completed) scene.expectLinksReach({"m1", "m2"});
    // A second compaction after a kill finishes the work.
    EXPECT_TRUE(TreeOperations(scene.store(), scene.settings, scene.messages).compact("Inbox"));
    const auto after = scene.stored({"Inbox"});
    EXPECT_EQ(std::multiset<std::string>(kept.begin(), kept.end()), after) << "killed at step " << step;
    if (completed) {
      EXPECT_EQ(*scene.inbox.recordCount(), kept.size() + 0U);
      scene.expectLinksReach({"m1", "m2"});
      break;
    }
    ++kills;
  }
  EXPECT_GE(kills, 3) << "the kills reached every file step";
}

// A compaction of a large tray killed at any moment, not only between the
// steps: while the new text is written, between the renames. The kills are
// spread over the time one compaction takes here.
TEST(OperationInterruptionTest, CompactionKilledAtAnyMomentLeavesTheTrayWhole) {
  constexpr int kMails = 600;
  constexpr int kKills = 24;
  Scene scene(kMails, 300);
  const std::set<std::string> kept = deleteSome(scene, kMails, everyThird);
  const std::vector<std::string> files = {scene.inbox.path(filetype::kIndex), scene.inbox.path(filetype::kText),
                                          scene.links.path(filetype::kIndex)};
  std::vector<std::string> before;
  for (const std::string& file : files) before.push_back(test::TrayBuilder::bytes(file));
  const auto restore = [&] {
    for (std::size_t i = 0; i < files.size(); ++i) test::TrayBuilder::write(files[i], before[i]);
    // What the compaction before was killed leaving beside the tray.
    for (const char* extension : {".XMD", ".XMC"})
      platform::removeFile(scene.inbox.path(filetype::kPathOnly) + extension);
  };
  const auto compact = [&] { TreeOperations(scene.store(), scene.settings, scene.messages).compact("Inbox"); };
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(runUntilStep(-1, compact));
  const auto duration = std::chrono::steady_clock::now() - start;
  for (int kill = 0; kill < kKills; ++kill) {
    restore();
    test::killAfter(std::chrono::duration_cast<std::chrono::microseconds>(duration * kill / (kKills - 4)), compact);
    const auto stored = scene.stored({"Inbox"});
    ASSERT_EQ(std::set<std::string>(stored.begin(), stored.end()), kept) << "kill " << kill;
    ASSERT_EQ(stored.size(), kept.size()) << "kill " << kill;
  }
}

TEST(OperationInterruptionTest, MoveKilledAtAnyMomentLosesNoMail) {
  constexpr int kMails = 400;
  for (int delayMs = 2; delayMs <= 50; delayMs += 12) {
    Scene scene(kMails);
    std::vector<std::uint32_t> all;
    for (std::uint32_t i = 0; i < kMails; ++i) all.push_back(i);
    test::killAfter(std::chrono::milliseconds(delayMs), [&] { scene.mails.move("Inbox", all, "Work"); });
    const auto stored = scene.stored({"Inbox", "Work"});
    EXPECT_EQ(std::set<std::string>(stored.begin(), stored.end()), names(kMails)) << "killed after " << delayMs << " ms";
    // The next move of what is left must still work on the trays as left.
    const auto left = scene.mails.liveIndices("Inbox");
    scene.mails.move("Inbox", left, "Work");
    const auto after = scene.stored({"Work"});
    EXPECT_EQ(std::set<std::string>(after.begin(), after.end()), names(kMails));
  }
}

}  // namespace
}  // namespace zorvik::store
