#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include <map>

#include "platform/FileLock.h"
#include "store/MailOperations.h"
#include "store/OperationStep.h"
#include "store/TrayFile.h"
#include "support/TrayBuilder.h"

namespace zorvik::store {
namespace {

using platform::FileAccess;
using platform::FileLock;
using test::TrayBuilder;
using namespace std::chrono_literals;

constexpr int kPerWriter = 300;

class LockTest : public ::testing::Test {
protected:
  void TearDown() override { FileLock::setRetry({}); }
  TrayBuilder builder;
  std::string file = builder.store().root + "/f";
};

TEST_F(LockTest, ReadersShareAndAWriterExcludesEveryone) {
  FileLock::setRetry({2, 1ms});
  TrayBuilder::write(file, "content");
  auto reader1 = FileLock::open(file, FileAccess::Read);
  auto reader2 = FileLock::open(file, FileAccess::Read);
  ASSERT_TRUE(reader1 && reader2);
  EXPECT_FALSE(FileLock::open(file, FileAccess::Update));
  EXPECT_FALSE(FileLock::open(file, FileAccess::Truncate));
  EXPECT_EQ(TrayBuilder::bytes(file), "content") << "a refused truncation cuts nothing";
  reader1.reset();
  reader2.reset();
  auto writer = FileLock::open(file, FileAccess::Update);
  ASSERT_TRUE(writer);
  EXPECT_FALSE(FileLock::open(file, FileAccess::Read));
}

TEST_F(LockTest, OpenWaitsForALockReleasedWithinTheRetries) {
  FileLock::setRetry({50, 2ms});
  TrayBuilder::write(file, "x");
  auto writer = FileLock::open(file, FileAccess::Update);
  ASSERT_TRUE(writer);
  std::thread release([&] {
    std::this_thread::sleep_for(20ms);
    writer.reset();
  });
  const auto reader = FileLock::open(file, FileAccess::Read);
  release.join();
  EXPECT_TRUE(reader);
}

TEST_F(LockTest, FailuresOtherThanALockAreNotWaitedFor) {
  FileLock::setRetry({12, 100ms});
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(FileLock::open(file + "-missing", FileAccess::Read));
  EXPECT_FALSE(FileLock::open(builder.store().root + "/no/dir/f", FileAccess::Create));
  EXPECT_FALSE(FileLock::open(builder.store().root, FileAccess::Update)) << "a directory";
  EXPECT_LT(std::chrono::steady_clock::now() - start, 100ms);
}

// Every live record must point at its own mail: the subject in the record
// and in the text agree, and the count matches what the writers appended.
void expectIntact(const TrayFile& tray, std::uint32_t expected) {
  ASSERT_EQ(tray.recordCount(), expected);
  auto session = tray.reader();
  ASSERT_TRUE(session);
  TrayRecord record;
  while (session->nextMail(record) == ReadResult::Live) {
    const auto header = tray.headerLines(record.index);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->substr(0, header->find("\r\n")), "Subject: " + std::string(record.record.subject()));
  }
}

// Reads every record as the list does; a torn record has a subject that
// does not start with "w".
void readWhileWriting(const TrayFile& tray, const std::atomic<bool>& done, std::atomic<int>& torn) {
  while (!done) {
    auto session = tray.reader();
    if (!session) continue;
    TrayRecord record;
    while (session->nextMail(record) == ReadResult::Live) {
      if (record.record.subject().substr(0, 1) != "w" || record.record.bodyLineCount() != 3) ++torn;
    }
  }
}

TEST_F(LockTest, TwoThreadsAppendingAndOneReadingTearNothing) {
  FileLock::setRetry({400, 1ms});
  const TrayFile tray = builder.createTray("Shared");
  std::atomic<bool> done{false};
  std::atomic<int> torn{0};
  std::atomic<int> failed{0};
  std::thread reader([&] { readWhileWriting(tray, done, torn); });
  auto writer = [&](char id) {
    for (int i = 0; i < kPerWriter; ++i) {
      const std::string subject = std::string("w") + id + std::to_string(i);
      IndexRecord record;
      record.setSubject(subject);
      if (!tray.appendMail(TrayBuilder::mail(subject, 3), record)) ++failed;
    }
  };
  std::thread a(writer, 'a');
  std::thread b(writer, 'b');
  a.join();
  b.join();
  done = true;
  reader.join();
  EXPECT_EQ(torn, 0);
  EXPECT_EQ(failed, 0);
  expectIntact(tray, 2 * kPerWriter);
}

TEST_F(LockTest, TwoProcessesAppendingAndOneReadingTearNothing) {
  FileLock::setRetry({400, 1ms});
  const TrayFile tray = builder.createTray("Shared");
  pid_t children[2];
  for (int c = 0; c < 2; ++c) {
    children[c] = fork();
    ASSERT_GE(children[c], 0);
    if (children[c] == 0) {
      int failures = 0;
      for (int i = 0; i < kPerWriter; ++i) {
        IndexRecord record;
        const std::string subject = "w" + std::to_string(c) + "-" + std::to_string(i);
        record.setSubject(subject);
        if (!tray.appendMail(TrayBuilder::mail(subject, 3), record)) ++failures;
      }
      _exit(failures == 0 ? 0 : 1);
    }
  }
  std::atomic<bool> done{false};
  std::atomic<int> torn{0};
  std::thread reader([&] { readWhileWriting(tray, done, torn); });
  for (pid_t child : children) {
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  done = true;
  reader.join();
  EXPECT_EQ(torn, 0);
  expectIntact(tray, 2 * kPerWriter);
}

// The subjects of the live mails of `tray`, with how often each is there.
std::map<std::string, int> liveSubjects(const TrayFile& tray) {
  std::map<std::string, int> subjects;
  auto session = tray.reader();
  TrayRecord record;
  while (session && session->nextMail(record) == ReadResult::Live) ++subjects[std::string(record.record.subject())];
  return subjects;
}

// One process appends mails to a tray and moves each on to another tray; the
// other deletes mails of its own there, for good or through the trash, so
// the tray is emptied over and over while the first appends. A tray is only
// ever emptied when nothing in it is live under the same lock: every mail
// appended ends up in one of the trays, once.
TEST_F(LockTest, TwoProcessesAppendingAndEmptyingLoseNothing) {
  FileLock::setRetry({400, 1ms});
  const TrayFile shared = builder.createTray("Shared");
  const TrayFile kept = builder.createTray("Kept");
  builder.createTray("Trash");
  const auto appendOne = [&](const std::string& subject) {
    IndexRecord record;
    record.setSubject(subject);
    return shared.appendMail(TrayBuilder::mail(subject, 3), record);
  };
  const pid_t appender = fork();
  ASSERT_GE(appender, 0);
  if (appender == 0) {
    const MailOperations mails(builder.store(), "Trash");
    // A busy machine may make a lock wait outlast the retries: an append is
    // tried again, and an original the move could not mark deleted is
    // deleted afterwards, so that only a mail the emptying cut away counts.
    for (int i = 0; i < kPerWriter; ++i) {
      std::optional<std::uint32_t> at;
      while (!at) at = appendOne("a" + std::to_string(i));
      const auto left = mails.move("Shared", {*at}, "Kept").notRemoved;
      for (int tries = 0; !left.empty() && tries < 100; ++tries) {
        if (mails.remove("Shared", left, true) == left.size()) break;
      }
    }
    _exit(0);
  }
  const pid_t deleter = fork();
  ASSERT_GE(deleter, 0);
  if (deleter == 0) {
    // A short pause between the steps of a deletion, so the other process
    // gets to append exactly there.
    setOperationStepHook([] { std::this_thread::sleep_for(50us); });
    const MailOperations mails(builder.store(), "Trash");
    for (int i = 0; i < kPerWriter; ++i) {
      const auto at = appendOne("b" + std::to_string(i));
      if (!at) continue;
      if (i % 3 == 0) shared.deleteMail(*at, false);
      else mails.remove("Shared", {*at}, i % 3 == 1);
    }
    _exit(0);
  }
  for (const pid_t child : {appender, deleter}) {
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  std::map<std::string, int> found = liveSubjects(kept);
  for (const auto& [subject, count] : liveSubjects(shared)) found[subject] += count;
  int lost = 0;
  int doubled = 0;
  for (int i = 0; i < kPerWriter; ++i) {
    const int count = found["a" + std::to_string(i)];
    lost += count == 0 ? 1 : 0;
    doubled += count > 1 ? 1 : 0;
  }
  EXPECT_EQ(lost, 0) << "of " << kPerWriter << " mails appended";
  EXPECT_EQ(doubled, 0);
}

}  // namespace
}  // namespace zorvik::store
