// What happens to mails waiting in the new-mail work file: at start-up
// (question 44111), before the next workflow that writes one, and when the
// disk is full. No answer and no failure throws a received mail away.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "mailflow/DeliverFlow.h"
#include "mailflow/FlowScene.h"
#include "mailflow/WorkFileIntake.h"
#include "mailflow/WorkFileSink.h"
#include "message/MimeDecoder.h"
#include "net/ServerMailEntry.h"
#include "platform/TextEncoding.h"
#include "store/TrayFile.h"
#include "store/TrayName.h"
#include "store/TrayReader.h"

namespace zorvik::mailflow {
namespace {

using core::MessageNumber;

struct FatalEnded : std::runtime_error {
  FatalEnded() : std::runtime_error("fatal") {}
};

std::string rawMail(const std::string& subject, const std::string& extra = {}) {
  return "From: a@example.jp\r\nSubject: " + subject + "\r\nMessage-Id: <" + subject + "@x>\r\n" + extra +
         "\r\nbody of " + subject + "\r\n";
}

class WorkFileIntakeTest : public ::testing::Test {
protected:
  WorkFileIntakeTest() { scene.messages.setTerminate([] { throw FatalEnded(); }); }

  // Decodes `mails` into the work file, as a receive killed before its
  // move would have left them.
  void leaveInWorkFile(const std::vector<std::string>& mails) {
    WorkFileSink sink(document().workFilePath(), message::MimeDecoderSettings::fromSettings(document().settings()),
                      scene.messages);
    for (const std::string& mail : mails)
      ASSERT_TRUE(sink.beginMail(-1, net::ServerMailEntry{}, false) &&
                  sink.appendMail(message::MimeDecoder::wireForm(mail)) && sink.endMail());
    sink.close();
  }
  std::vector<std::string> subjects(int trayItem = core::item::kNewMailTray) const {
    std::vector<std::string> found;
    const store::TrayFile tray(document().store(), scene.tray(trayItem));
    auto reader = tray.reader();
    store::TrayRecord row;
    while (reader && reader->nextMail(row) == store::ReadResult::Live) found.emplace_back(row.record.subject());
    return found;
  }
  bool workFileThere() const { return platform::pathExists(document().workFilePath()); }
  const Document& document() const { return *scene.document; }

  test::FlowScene scene;
};

TEST_F(WorkFileIntakeTest, StartUpAsksAndMovesJoiningSplitMailsOrSetsTheFileAside) {
  const std::string part = "MIME-Version: 1.0\r\nContent-Type: message/partial; id=\"s@x\"; number=%; total=2\r\n";
  auto fragment = [&](char number, const std::string& body) {
    std::string header = part;
    header[header.find('%')] = number;
    return rawMail("split", header) + body;
  };
  leaveInWorkFile({rawMail("one"), fragment('1', "Subject: whole\r\n\r\nfirst half\r\n"),
                   fragment('2', "second half\r\n")});
  scene.reporter.setAnswer(true);
  WorkFileIntake::recoverAtStart(document());
  EXPECT_EQ(scene.shown(), std::vector<MessageNumber>{MessageNumber::RecoverWorkFile});
  EXPECT_FALSE(workFileThere());
  EXPECT_EQ(subjects(), (std::vector<std::string>{"one", "whole"})) << "the fragments joined, gone to the trash";

  leaveInWorkFile({rawMail("two")});
  scene.reporter.setAnswer(false);
  WorkFileIntake::recoverAtStart(document());
  EXPECT_EQ(scene.shown(), (std::vector<MessageNumber>{MessageNumber::RecoverWorkFile, MessageNumber::RecoverWorkFile,
                                                       MessageNumber::WorkFileSetAside}));
  EXPECT_FALSE(workFileThere());
  int setAside = 0;
  const std::string folder = platform::directoryOf(document().workFilePath());
  for (const auto& entry : platform::listDirectory(folder)) setAside += entry.name.starts_with("RxMail-");
  EXPECT_EQ(setAside, 1) << "a no keeps the mails under a dated name";
  EXPECT_EQ(subjects().size(), 2u);
}

TEST_F(WorkFileIntakeTest, StartUpDeletesTenBytesWithoutAskingAndAFailedMoveIsFatalKeepingTheFile) {
  ASSERT_TRUE(platform::writeFileAtomically(document().workFilePath(), std::string(10, 'x')));
  WorkFileIntake::recoverAtStart(document());
  EXPECT_TRUE(scene.shown().empty());
  EXPECT_FALSE(workFileThere());

  leaveInWorkFile({rawMail("kept")});
  const std::string newMailText = store::TrayFile(document().store(), scene.tray(core::item::kNewMailTray)).path(store::filetype::kText);
  ASSERT_TRUE(platform::removeFile(newMailText) && platform::makeDirectory(newMailText));
  scene.reporter.setAnswer(true);
  EXPECT_THROW(WorkFileIntake::recoverAtStart(document()), FatalEnded);
  EXPECT_EQ(scene.shown(),
            (std::vector<MessageNumber>{MessageNumber::RecoverWorkFile, MessageNumber::WorkFileNotMoved}));
  EXPECT_TRUE(workFileThere());
}

TEST_F(WorkFileIntakeTest, TheNextDeliveryTakesALeftoverWorkFileInFirst) {
  leaveInWorkFile({rawMail("left")});
  const std::string file = scene.scratch.file("new.eml");
  ASSERT_TRUE(platform::writeFileAtomically(file, rawMail("new")));
  const auto report = DeliverFlow::run(document(), scene.front, {file}, {});
  ASSERT_TRUE(report.has_value());
  EXPECT_TRUE(report->ok);
  EXPECT_EQ(subjects(), (std::vector<std::string>{"left", "new"}));
  EXPECT_TRUE(scene.shown().empty());
}

TEST_F(WorkFileIntakeTest, AFullDiskAsksFirstAndAnsweredNoWritesNothing) {
  const std::string file = scene.scratch.file("new.eml");
  ASSERT_TRUE(platform::writeFileAtomically(file, rawMail("new")));
  scene.freeBytes = 100;
  EXPECT_FALSE(DeliverFlow::run(document(), scene.front, {file}, {}).has_value());
  EXPECT_EQ(scene.shown(), std::vector<MessageNumber>{MessageNumber::LowDiskSpace});
  EXPECT_FALSE(workFileThere());
  EXPECT_TRUE(subjects().empty());
}

}  // namespace
}  // namespace zorvik::mailflow
