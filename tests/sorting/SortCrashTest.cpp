// A process killed anywhere in automatic sorting must not lose a mail or
// leave it twice: once the next run has finished what the journal notes,
// every mail is a stored record in exactly one tray (its own, or still the
// new-mail tray), and sorting again puts the rest where they belong.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <map>

#include "SortingScene.h"
#include "sorting/AutoSorter.h"
#include "sorting/SortJournal.h"
#include "store/MailOperations.h"
#include "store/OperationStep.h"

namespace zorvik::sorting {
namespace {

using store::trayflag::kAutoSort;
using store::trayflag::kLeaveLink;

constexpr int kCompleted = 3;
constexpr int kInterrupted = 4;

struct CrashScene : SortingScene {
  const std::vector<std::string> trays{newMail, "ML/rust", "ML/cpp", "Archive", "Trash"};

  CrashScene() {
    tray("ML/rust", "rust-jp");
    tray("ML/cpp", "cpp-ml", {}, {}, kAutoSort | kLeaveLink);
    tray("Archive", "archive", {}, {}, 0);
    for (int i = 0; i < 3; ++i) {
      deliver("[rust-jp:" + std::to_string(i) + "] r" + std::to_string(i));
      deliver("[cpp-ml:" + std::to_string(i) + "] c" + std::to_string(i));
    }
    deliver("no list");
    // A mail with a link pointing at it, so its links must follow it.
    EXPECT_EQ(store::MailOperations(builder.store(), "Trash").link(newMail, 0, "Archive"), store::LinkResult::Done);
  }

  void sortEverything() {
    AutoSorter sorter(environment, messages, sound, clock);
    ASSERT_TRUE(sorter.start(0, 100, {}));
    sorter.wait();
  }

  // Where each Subject is stored, as many times as it is.
  std::multimap<std::string, std::string> places() const {
    std::multimap<std::string, std::string> found;
    for (const std::string& name : trays)
      for (const std::string& subject : subjects(name)) found.emplace(subject, name);
    return found;
  }
};

// Sorts in a child that ends itself at store step `step`; true when the
// child got through without reaching it.
bool sortUntilStep(CrashScene& scene, int step) {
  const pid_t child = fork();
  if (child == 0) {
    int seen = 0;
    store::setOperationStepHook([&] {
      if (++seen == step) _exit(kInterrupted);
    });
    scene.sortEverything();
    _exit(kCompleted);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == kCompleted;
}

TEST(SortCrashTest, AKillAtAnyStepLosesNoMailAndTheNextRunLeavesEachMailOnce) {
  bool completed = false;
  int step = 1;
  for (; !completed && step < 400; ++step) {
    CrashScene scene;
    const auto before = scene.places();
    completed = sortUntilStep(scene, step);
    for (const auto& [subject, tray] : before)
      EXPECT_GE(scene.places().count(subject), 1u) << subject << " vanished at step " << step;

    SortJournal(scene.environment.journalPath, scene.environment.store).recover();
    const auto recovered = scene.places();
    for (const auto& [subject, tray] : before)
      EXPECT_EQ(recovered.count(subject), 1u) << subject << " is not stored exactly once after step " << step;

    scene.sortEverything();
    const auto sorted = scene.places();
    EXPECT_EQ(sorted.size(), before.size()) << "step " << step;
    for (const auto& [subject, tray] : sorted) {
      const std::string expected = subject.starts_with("[rust") ? "ML/rust"
                                   : subject.starts_with("[cpp") ? "ML/cpp"
                                                                 : scene.newMail;
      EXPECT_EQ(tray, expected) << subject << " after step " << step;
    }
    // The link that pointed at the first mail still reaches it.
    const auto archive = scene.links("Archive");
    ASSERT_EQ(archive.size(), 1u) << "step " << step;
    store::TrayRecord linked;
    EXPECT_EQ(scene.builder.tray("Archive").read(0, linked), store::ReadResult::Live) << "step " << step;
    EXPECT_EQ(std::string(linked.record.subject()), "[rust-jp:0] r0") << "step " << step;
  }
  EXPECT_TRUE(completed) << "the run never got to its end";
  EXPECT_GT(step, 10) << "the run passed too few steps to test anything";
}

}  // namespace
}  // namespace zorvik::sorting
