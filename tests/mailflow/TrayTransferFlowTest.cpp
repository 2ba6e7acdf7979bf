// Backup, import and export as the desktop's dialogs run them: under the
// store's lock, and stopped by the user part way without losing a mail.
#include <gtest/gtest.h>

#include <set>

#include "mailflow/FlowScene.h"
#include "mailflow/StoreLock.h"
#include "mailflow/TrayTransferFlow.h"
#include "store/TrayReader.h"
#include "store/TreeOperations.h"
#include "support/TrayBuilder.h"

namespace zorvik::mailflow {
namespace {

using core::MessageNumber;

// Requests a stop as soon as the work reports a line about `tray`.
class StopAtTray final : public core::Progress {
public:
  StopAtTray(StopRequest& stop, std::string tray) : stop_(stop), tray_(std::move(tray)) {}
  void step(const std::string& text) override {
    if (text.find("..." + tray_ + " : ") != std::string::npos) stop_.request();
  }

private:
  StopRequest& stop_;
  std::string tray_;
};

class TrayTransferFlowTest : public ::testing::Test {
protected:
  TrayTransferFlowTest() {
    store::TreeOperations tree(scene.document->store(), scene.document->settings(), scene.messages);
    for (const char* name : {"first", "second"}) {
      EXPECT_TRUE(tree.createTray(name));
      for (const char* mail : {"alpha", "beta", "gamma"})
        builder.append(store::TrayFile(scene.document->store(), name), std::string(name) + "-" + mail);
    }
  }

  // The subjects of the live mails of a tray.
  static std::set<std::string> subjects(const store::StoreLocation& store, const std::string& tray) {
    std::set<std::string> found;
    auto reader = store::TrayReader::open(store, tray);
    store::TrayRecord stored;
    while (reader && reader->nextMail(stored) == store::ReadResult::Live) found.emplace(stored.record.subject());
    return found;
  }

  store::BackupRequest deletingBackup() const {
    store::BackupRequest request;
    request.directory = outside.path();
    request.deleteCopied = true;
    return request;
  }

  test::FlowScene scene;
  test::TrayBuilder builder;
  test::ScratchDir outside;
};

TEST_F(TrayTransferFlowTest, StopEndsTheBackupAtTheNextWriteAndEveryMailIsStillSomewhere) {
  const store::StoreLocation& store = scene.document->store();
  const std::string backupTop = outside.path() + "/" + store.topCabinet + "/";

  scene.stop.request();  // before the first write: nothing at all is written
  const auto nothing = TrayTransferFlow::backup(*scene.document, scene.front, deletingBackup());
  ASSERT_TRUE(nothing.has_value());
  EXPECT_TRUE(nothing->stopped);
  EXPECT_FALSE(nothing->ok);
  EXPECT_EQ(nothing->copied, 0);
  EXPECT_EQ(subjects(store, "first").size(), 3u);
  scene.stop.clear();

  // Trays are walked in byte order of their names: "first" is done whole
  // when the stop comes on reading "second".
  StopAtTray stopper(scene.stop, "second");
  FrontEnd front{stopper, scene.sound, platform::SystemClock::instance(), scene.stop};
  const auto outcome = TrayTransferFlow::backup(*scene.document, front, deletingBackup());
  ASSERT_TRUE(outcome.has_value());
  EXPECT_TRUE(outcome->stopped);
  EXPECT_FALSE(outcome->ok);
  EXPECT_EQ(outcome->copied, 3);
  EXPECT_TRUE(subjects(store, "first").empty()) << "backed up, then deleted as asked";
  EXPECT_EQ(subjects(store, backupTop + "first").size(), 3u);
  EXPECT_EQ(subjects(store, "second").size(), 3u) << "the stop came before its copy was written";
  EXPECT_TRUE(subjects(store, backupTop + "second").empty());
  EXPECT_TRUE(scene.shown().empty());
}

TEST_F(TrayTransferFlowTest, AnotherWriterKeepsTheStoreAndExportRemovesOnlyWhatItWroteWhole) {
  {
    const auto receiving = StoreLock::take(*scene.document, StoreWork::Receive);
    ASSERT_TRUE(receiving.has_value());
    EXPECT_FALSE(TrayTransferFlow::merge(*scene.document, scene.front, {outside.path(), "", {}}).has_value());
    EXPECT_EQ(scene.shown(), std::vector<MessageNumber>{MessageNumber::OtherWorkRunning});
  }

  scene.stop.request();
  const auto stopped =
      TrayTransferFlow::exportTrays(*scene.document, scene.front, {"first", outside.file("first"), {}, true});
  ASSERT_TRUE(stopped.has_value());
  EXPECT_FALSE(stopped->ok);
  EXPECT_EQ(subjects(scene.document->store(), "first").size(), 3u) << "nothing written, so nothing removed";
  scene.stop.clear();

  const auto exported =
      TrayTransferFlow::exportTrays(*scene.document, scene.front, {"first", outside.file("first"), {}, true});
  ASSERT_TRUE(exported.has_value());
  EXPECT_TRUE(exported->ok);
  EXPECT_EQ(exported->copied, 3);
  EXPECT_EQ(subjects(scene.document->store(), outside.file("first")).size(), 3u);
  EXPECT_FALSE(store::TreeOperations(scene.document->store(), scene.document->settings(), scene.messages)
                   .isTray("first"));
}

}  // namespace
}  // namespace zorvik::mailflow
