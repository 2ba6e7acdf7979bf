// The receive phase against Dovecot with the real mail-server tray and work
// file: what happens to the mails on the server when the disk runs full,
// and when a mail's attachments could not be saved.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <string>

#include "core/Messages.h"
#include "core/Progress.h"
#include "message/MailRecordParser.h"
#include "mailflow/ReceivePhase.h"
#include "platform/FileSystem.h"
#include "support/DovecotServer.h"
#include "support/RecordingReporter.h"
#include "support/TrayBuilder.h"

namespace zorvik::mailflow {
using namespace zorvik::net;
namespace {

constexpr int kUsers = 4;

std::string mail(const std::string& subject, std::size_t bodyBytes) {
  return "Subject: " + subject + "\r\nMessage-Id: <" + subject + "@x>\r\n\r\n" + std::string(bodyBytes, 'm') + "\r\n";
}

const std::string kWithAttachment =
    "Subject: attached\r\nMessage-Id: <att@x>\r\nMIME-Version: 1.0\r\n"
    "Content-Type: multipart/mixed; boundary=\"b\"\r\n\r\n--b\r\nContent-Type: text/plain\r\n\r\ntext\r\n"
    "--b\r\nContent-Type: application/octet-stream; name=\"a.bin\"\r\nContent-Transfer-Encoding: base64\r\n\r\n"
    "AAEC\r\n--b--\r\n";

// Separator lines ("From  ", naming the server mail after the blanks).
int separators(const std::string& text) {
  int count = text.starts_with("From  ") ? 1 : 0;
  for (std::size_t at = text.find("\nFrom  "); at != std::string::npos; at = text.find("\nFrom  ", at + 1)) ++count;
  return count;
}

// The file-size limit of this process for the duration of a scope: writes
// past it fail as on a full disk.
class FileSizeLimit {
public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &old_); }

private:
  rlimit old_{};
};

class ReceivePhaseTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    if (!test::DovecotServer::available()) return;
    server = new test::DovecotServer();
    for (int i = 0; i < kUsers; ++i) server->addUser("r" + std::to_string(i), "pw");
    started = server->start();
  }
  static void TearDownTestSuite() {
    delete server;
    server = nullptr;
  }
  void SetUp() override {
    if (!test::DovecotServer::available()) GTEST_SKIP() << test::DovecotServer::missingReason();
    ASSERT_TRUE(started) << server->log();
    user = "r" + std::to_string(usersTaken++);
    builder.createTray("server");
    platform::makeDirectories(builder.store().topCabinetPath() + "/.inc");
  }

  ReceiveResult receive(ReceiveSettings settings, bool dropAttachments = false) {
    settings.pop = {"127.0.0.1", server->port(), 5, 5, {user, "pw", false, false}};
    message::MimeDecoderSettings decoding;
    decoding.attachmentRoot = builder.store().topCabinetPath() + "/.inc";
    decoding.workDirectory = builder.store().topCabinetPath();
    decoding.dropAttachments = dropAttachments;
    StoreMailServerTray tray(builder.store(), "server", message::ParseContext{});
    WorkFileSink sink(workFile(), decoding, messages);
    PopSession session(messages, tray, sink);
    ReceivePhase phase(session, tray, sink, messages, settings, progress);
    return phase.run();
  }
  std::string workFile() const { return builder.store().topCabinetPath() + "/RxMail.XM0"; }
  std::string workText() const { return platform::readFile(workFile()).value_or(""); }
  bool shown(core::MessageNumber number) const { return std::ranges::count(reporter.numbers(), number) > 0; }

  static inline test::DovecotServer* server = nullptr;
  static inline bool started = false;
  static inline int usersTaken = 0;
  std::string user;
  test::TrayBuilder builder;
  test::RecordingReporter reporter;
  core::Messages messages{reporter};
  core::SilentProgress progress;
};

TEST_F(ReceivePhaseTest, AFullDiskKeepsTheMailsWrittenAndDeletesNothing) {
  for (int i = 0; i < 5; ++i) server->deliver(user, mail("m" + std::to_string(i), 1000));
  ReceiveSettings settings;
  settings.deleteFromServer = true;
  ReceiveResult result;
  {
    const FileSizeLimit limit(2600);  // room for two mails of the five
    result = receive(settings);
  }
  EXPECT_TRUE(result.diskFull);
  EXPECT_TRUE(result.failed);
  EXPECT_TRUE(shown(core::MessageNumber::ReceiveDiskFull));
  EXPECT_EQ(result.received, 2);
  EXPECT_EQ(result.deleted, 0);
  EXPECT_EQ(server->mailCount(user), 5) << "nothing deleted after a refused mail";
  const std::string text = workText();
  EXPECT_EQ(separators(text), 2) << "the two mails stay, whole";
  EXPECT_TRUE(text.ends_with(std::string(1000, 'm') + "\r\n")) << "no half mail at the end";
}

TEST_F(ReceivePhaseTest, AMailWithAnUnsavedAttachmentStaysOnTheServerWhenAsked) {
  server->deliver(user, kWithAttachment);
  server->deliver(user, mail("plain", 10));
  ReceiveSettings settings;
  settings.deleteFromServer = true;
  settings.keepIncompleteOnServer = true;
  const ReceiveResult first = receive(settings, true);
  EXPECT_EQ(first.received, 2);
  EXPECT_EQ(first.deleted, 1);
  EXPECT_EQ(server->mailCount(user), 1);
  // The next receive neither fetches it again nor deletes it.
  const ReceiveResult second = receive(settings, true);
  EXPECT_FALSE(second.failed);
  EXPECT_EQ(second.received, 0);
  EXPECT_EQ(second.deleted, 0);
  EXPECT_EQ(server->mailCount(user), 1);
  EXPECT_EQ(separators(workText()), 2);
  // Without item 816 it goes.
  settings.keepIncompleteOnServer = false;
  EXPECT_EQ(receive(settings, true).deleted, 1);
  EXPECT_EQ(server->mailCount(user), 0);
}

}  // namespace
}  // namespace zorvik::mailflow
