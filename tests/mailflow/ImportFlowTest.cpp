// The import workflow on an open document: a stop request or a mail that
// cannot be decoded ends the import with the mails before it stored whole
// and its work files gone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/SettingsItemTable.h"
#include "mailflow/FlowScene.h"
#include "mailflow/ImportFlow.h"
#include "platform/FileSystem.h"
#include "store/TrayFile.h"
#include "store/TreeOperations.h"
#include "support/ForeignMailboxes.h"

namespace zorvik::mailflow {
namespace {

// Asks to stop as soon as the first mail is under way.
class StoppingProgress final : public core::Progress {
public:
  explicit StoppingProgress(StopRequest& stop) : stop_(stop) {}
  void step(const std::string&) override { stop_.request(); }

private:
  StopRequest& stop_;
};

const std::string kAttached =
    "Subject: attached\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\n"
    "Content-Type: application/octet-stream; name=a.bin\r\nContent-Transfer-Encoding: base64\r\n\r\nAAEC\r\n--b--\r\n";

class ImportFlowTest : public ::testing::Test {
protected:
  ImportFlowTest() {
    store::TreeOperations(document().store(), document().settings(), scene.messages).createTray("in");
    EXPECT_TRUE(platform::writeFileAtomically(
        scene.scratch.file("in.mbox"), test::unixMailbox({"Subject: 1\n\n", kAttached, "Subject: 3\n\n"})));
  }
  std::optional<ImportReport> import() {
    ImportRequest request;
    request.kind = import::MailerKind::UnixMail;
    request.source = scene.scratch.file("in.mbox");
    request.tray = "in";
    return ImportFlow::run(document(), scene.front, request);
  }
  std::uint32_t stored() const { return store::TrayFile(document().store(), "in").count(false).value_or(0); }
  bool workFilesGone() const {
    for (const auto& entry : platform::listDirectory(scene.topCabinet() + "/.tmp"))
      if (entry.name.starts_with("Import")) return false;
    return true;
  }
  const Document& document() const { return *scene.document; }

  test::FlowScene scene;
};

TEST_F(ImportFlowTest, AStopKeepsTheMailInHand) {
  StoppingProgress stopping(scene.stop);
  FrontEnd front{stopping, scene.sound, scene.front.clock, scene.stop};
  ImportRequest request;
  request.kind = import::MailerKind::UnixMail;
  request.source = scene.scratch.file("in.mbox");
  request.tray = "in";
  const auto report = ImportFlow::run(document(), front, request);
  ASSERT_TRUE(report);
  EXPECT_FALSE(report->ok);
  EXPECT_EQ(stored(), 1u);
  EXPECT_TRUE(workFilesGone());
}

TEST_F(ImportFlowTest, AMailThatCannotBeDecodedStopsTheImportAfterTheMailsBefore) {
  // The attachment folder cannot be made: a file stands where it goes.
  ASSERT_TRUE(platform::removeTree(scene.topCabinet() + "/.inc"));
  ASSERT_TRUE(platform::writeFileAtomically(scene.topCabinet() + "/.inc", "in the way"));
  const auto report = import();
  ASSERT_TRUE(report);
  EXPECT_FALSE(report->ok);
  EXPECT_EQ(report->files.at(0).stored, 1u);
  EXPECT_EQ(stored(), 1u);
  ASSERT_FALSE(scene.shown().empty());
  EXPECT_EQ(scene.shown().back(), core::MessageNumber::MimeConversionFailed);
  EXPECT_TRUE(workFilesGone());
}

}  // namespace
}  // namespace zorvik::mailflow
