// zorvik-cli receive and the mail-server tray commands against a real POP3
// server (Dovecot): every mail ends up decoded in the new-mail tray, is
// deleted or kept on the server as item 807 says, is never fetched twice
// and never lost, not even when the receiving process is killed.
#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "support/CliRunner.h"
#include "support/CuttingProxy.h"
#include "support/DovecotServer.h"
#include "support/TestEnvironment.h"

namespace zorvik {
namespace {

constexpr int kUsers = 12;

std::string mail(const std::string& subject, std::size_t bodyBytes = 40) {
  return "From: a@example.jp\r\nTo: me@example.jp\r\nSubject: " + subject + "\r\nMessage-Id: <" + subject +
         "@zorvik.test>\r\nDate: Mon, 07 Dec 2026 09:30:00 +0900\r\n\r\n" + std::string(bodyBytes, 'b') + "\r\n";
}

class ReceiveCli : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    if (!test::DovecotServer::available()) return;
    server = new test::DovecotServer();
    for (int i = 0; i < kUsers; ++i) server->addUser("u" + std::to_string(i), "pw");
    started = server->start();
  }
  static void TearDownTestSuite() {
    delete server;
    server = nullptr;
  }

  void SetUp() override {
    if (!test::DovecotServer::available()) GTEST_SKIP() << test::DovecotServer::missingReason();
    ASSERT_TRUE(started) << server->log();
    ASSERT_LT(usersTaken, kUsers);
    user = "u" + std::to_string(usersTaken++);
    const auto made = test::runCli({"init", "--name", "T", "--address", "me@example.jp", "--dir", dir.path(), "--plain"},
                                   dir.path(), {"HOME=" + dir.path()});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    settings = made.out.substr(0, made.out.find('\n'));
    for (const auto& [item, value] : std::vector<std::pair<std::string, std::string>>{
             {"801", "127.0.0.1"}, {"809", std::to_string(server->port())}, {"803", user}, {"804", "pw"}})
      set(item, value);
  }

  std::vector<std::string> withSettings(std::vector<std::string> args) const {
    args.insert(args.begin(), {"--settings", settings});
    return args;
  }
  test::CliResult cli(std::vector<std::string> args) const {
    return test::runCli(withSettings(std::move(args)), dir.path(), {"HOME=" + dir.path()});
  }
  void set(const std::string& item, const std::string& value) const {
    const auto result = cli({"set", item, value});
    ASSERT_EQ(result.exitCode, 0) << result.err;
  }
  // Runs `receive` and returns how many mails it stored.
  int receive() const {
    const auto result = cli({"receive"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return static_cast<int>(std::count(result.out.begin(), result.out.end(), '\n'));
  }
  // The subjects of the live mails of a tray, one per mail.
  std::multiset<std::string> subjects(const std::string& tray = "新着受信") const {
    std::multiset<std::string> found;
    const auto listed = cli({"list", tray});
    std::size_t at = 0;
    while (at < listed.out.size()) {
      const std::size_t end = listed.out.find('\n', at);
      const std::string line = listed.out.substr(at, end - at);
      found.insert(line.substr(line.rfind('\t') + 1));
      at = end == std::string::npos ? listed.out.size() : end + 1;
    }
    return found;
  }
  // The top cabinet of the store that init made (Shift_JIS path).
  std::string topCabinet() const {
    const std::string folder = platform::directoryOf(platform::utf8ToSjis(settings));
    for (const auto& entry : platform::listDirectory(folder)) {
      const std::string top = platform::joinPath(folder, entry.name + "/" + platform::utf8ToSjis("すべてのトレイ"));
      if (platform::isDirectory(top)) return top;
    }
    return {};
  }
  std::string workFile() const { return topCabinet() + "/.tmp/RxMail.XM0"; }
  // Waits (at most five seconds) until process `pid` holds the store's lock.
  bool waitForLockHolder(pid_t pid) const {
    const std::string holder = " " + std::to_string(pid);
    for (int i = 0; i < 500; ++i) {
      const auto text = platform::readFile(topCabinet() + "/.lock");
      if (text && text->find(holder) != std::string::npos) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }
  std::vector<std::string> deliver(const std::string& prefix, int count, std::size_t bodyBytes = 40) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) names.push_back(server->deliver(user, mail(prefix + std::to_string(i), bodyBytes)));
    return names;
  }

  static inline test::DovecotServer* server = nullptr;
  static inline bool started = false;
  static inline int usersTaken = 0;
  test::ScratchDir dir;
  std::string settings;
  std::string user;
};

TEST_F(ReceiveCli, DeletingReceiveStoresEveryMailDecodedAndEmptiesTheServer) {
  server->deliver(user,
                  "From: a@example.jp\r\nSubject: =?ISO-2022-JP?B?GyRCRnxLXBsoQg==?=\r\nMessage-Id: <j@x>\r\n"
                  "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=ISO-2022-JP\r\n\r\n"
                  "\x1B$B$3$s$K$A$O\x1B(B\r\n.dot\r\n");
  deliver("plain", 2);
  set("807", "1");
  EXPECT_EQ(receive(), 3);
  EXPECT_EQ(server->mailCount(user), 0);
  EXPECT_EQ(subjects(), (std::multiset<std::string>{"plain0", "plain1", "日本"}));
  const auto shown = cli({"show", "新着受信", "0"});
  EXPECT_NE(shown.out.find("\nこんにちは\n.dot\n"), std::string::npos) << "decoded, the dot as sent: " << shown.out;
  EXPECT_EQ(receive(), 0) << "nothing left to fetch";
}

TEST_F(ReceiveCli, KeptMailsAreNotFetchedAgainWithOrWithoutUidl) {
  set("807", "0");
  for (const std::string uidl : {"1", "0"}) {
    SCOPED_TRACE("UIDL " + uidl);
    set("815", uidl);
    const std::string prefix = "keep" + uidl + "-";
    const auto names = deliver(prefix, 4);
    EXPECT_EQ(receive(), 4);
    EXPECT_EQ(server->mailCount(user), uidl == "1" ? 4 : 8);
    EXPECT_EQ(receive(), 0);
    // Mails deleted behind our back, and new ones: only the new are fetched.
    ASSERT_TRUE(server->removeMail(user, names[0]));
    ASSERT_TRUE(server->removeMail(user, names[2]));
    deliver(prefix + "late", 2);
    EXPECT_EQ(receive(), 2);
    EXPECT_EQ(receive(), 0);
    const auto stored = subjects();
    EXPECT_EQ(stored.count(prefix + "late0") + stored.count(prefix + "late1"), 2u);
    EXPECT_EQ(stored.count(prefix + "1"), 1u) << "fetched once";
  }
  EXPECT_EQ(subjects().size(), 12u);
}

TEST_F(ReceiveCli, OversizeMailIsStoredAsHeaderWithNoticeAndStaysOnTheServer) {
  set("807", "1");
  set("806", "2");  // kilobytes
  deliver("small", 2);
  deliver("big", 1, 5000);
  EXPECT_EQ(receive(), 3);
  EXPECT_EQ(server->mailCount(user), 1) << "only the big mail stays";
  const auto list = cli({"list", "新着受信"});
  const std::size_t row = list.out.find("\tbig0");
  ASSERT_NE(row, std::string::npos) << list.out;
  const std::string index = list.out.substr(list.out.rfind('\n', row) + 1, 1);
  const auto shown = cli({"show", "新着受信", index});
  EXPECT_NE(shown.out.find("サイズ制限を越える"), std::string::npos) << shown.out;
  EXPECT_EQ(shown.out.find("bbbbbbbbbb"), std::string::npos) << "the body was not fetched";
  EXPECT_EQ(receive(), 0) << "the big mail is not fetched again";
  EXPECT_EQ(server->mailCount(user), 1);
}

TEST_F(ReceiveCli, FiveHundredMailsInOneRun) {
  set("807", "1");
  deliver("n", 500, 200);
  EXPECT_EQ(receive(), 500);
  EXPECT_EQ(server->mailCount(user), 0);
  const auto stored = subjects();
  EXPECT_EQ(std::set<std::string>(stored.begin(), stored.end()).size(), 500u);
}

TEST_F(ReceiveCli, ServerTrayHeadersFetchAndDelete) {
  set("807", "0");
  set("813", "0");
  deliver("s", 3);
  const auto listed = cli({"server-headers"});
  ASSERT_EQ(listed.exitCode, 0) << listed.err;
  EXPECT_EQ(listed.out, "3\t0\t0\t3\n") << "count, received, unread, new";
  EXPECT_EQ(subjects("メールサーバ"), (std::multiset<std::string>{"s0", "s1", "s2"}));
  EXPECT_EQ(cli({"poll"}).out, "3\t0\t3\t0\n") << "known now, none received";

  // Unread mails are not deleted while item 813 is off.
  EXPECT_EQ(cli({"server-delete", "0", "1"}).out, "0\n");
  const auto fetched = cli({"server-fetch", "1"});
  ASSERT_EQ(fetched.exitCode, 0) << fetched.err;
  EXPECT_EQ(subjects(), (std::multiset<std::string>{"s1"}));
  EXPECT_EQ(cli({"server-delete", "0", "1", "7"}).out, "1\n") << "only the received one; 7 is no copy";
  EXPECT_EQ(server->mailCount(user), 2);
  EXPECT_EQ(cli({"poll"}).out, "2\t0\t2\t0\n");
  EXPECT_EQ(receive(), 2) << "the rest, the received one not again";
  EXPECT_EQ(subjects().size(), 3u);
  // A clean-up deletes what was received, and only that.
  deliver("t", 1);
  EXPECT_EQ(cli({"server-headers", "--clean"}).out, "3\t2\t0\t1\t2\n");
  EXPECT_EQ(server->mailCount(user), 1);
}

TEST_F(ReceiveCli, SelectedMailsWithEqualHeadersAreBothFetchedAndVanishedOnesSkipped) {
  set("807", "0");
  set("813", "1");
  server->deliver(user, mail("twin") + "first\r\n");
  server->deliver(user, mail("twin") + "second\r\n");
  const std::string gone = deliver("gone", 1)[0];
  deliver("other", 1);
  ASSERT_EQ(cli({"server-headers"}).out, "4\t0\t0\t4\n");
  const auto fetched = cli({"server-fetch", "0", "1"});
  ASSERT_EQ(fetched.exitCode, 0) << fetched.err;
  EXPECT_EQ(fetched.out, "0\n1\n");
  const std::string both = cli({"show", "新着受信", "0"}).out + cli({"show", "新着受信", "1"}).out;
  EXPECT_NE(both.find("first"), std::string::npos) << both;
  EXPECT_NE(both.find("second"), std::string::npos) << "the second twin by its ordinal: " << both;

  ASSERT_TRUE(server->removeMail(user, gone));
  EXPECT_EQ(cli({"server-delete", "2", "3"}).out, "1\n") << "the vanished mail is skipped, the other deleted";
  EXPECT_EQ(server->mailCount(user), 2);
  EXPECT_EQ(subjects("メールサーバ"), (std::multiset<std::string>{"twin", "twin"})) << "copies of gone mails go";
}

// Kills `zorvik-cli receive` `delay` after its start.
void receiveAndKill(const std::vector<std::string>& args, const std::string& folder, std::chrono::milliseconds delay) {
  test::CliProcess child(args, folder);
  std::this_thread::sleep_for(delay);
  child.signal(SIGKILL);
  child.wait();
}

// A cron job's receive and the user's, started together: the second is
// refused while the first works, and every mail is stored exactly once.
TEST_F(ReceiveCli, TwoReceivesAtOnceStoreEveryMailOnce) {
  set("807", "1");
  deliver("twice", 400, 2000);
  test::CliProcess first(withSettings({"receive"}), dir.path());
  ASSERT_TRUE(waitForLockHolder(first.pid()));
  const auto second = cli({"receive"});
  ASSERT_TRUE(first.running()) << "400 mails take longer than a refused start";
  const auto firstDone = first.wait();
  EXPECT_EQ(firstDone.exitCode, 0) << firstDone.err;
  EXPECT_EQ(second.exitCode, 1);
  EXPECT_NE(second.err.find("No.3030"), std::string::npos) << second.err;
  EXPECT_EQ(receive(), 0);
  EXPECT_EQ(server->mailCount(user), 0);
  const auto stored = subjects();
  EXPECT_EQ(stored.size(), 400u);
  EXPECT_EQ(std::set<std::string>(stored.begin(), stored.end()).size(), 400u) << "no mail twice";
}

// A receive whose connection drops after some mails keeps them, marked as
// received: the next receive fetches only the rest, with UIDL on and off,
// deleting on the server or keeping.
TEST_F(ReceiveCli, AReceiveCutAfterSomeMailsIsFinishedByTheNextWithoutDoubles) {
  for (const std::string uidl : {"1", "0"}) {
    for (const std::string remove : {"1", "0"}) {
      SCOPED_TRACE("UIDL " + uidl + ", delete " + remove);
      set("815", uidl);
      set("807", remove);
      const std::string prefix = "cut" + uidl + remove + "-";
      const auto names = deliver(prefix, 12);
      {
        test::CuttingProxy proxy(server->port(), "RETR ", 5);
        set("809", std::to_string(proxy.port()));
        const auto cut = cli({"receive"});
        EXPECT_EQ(cut.exitCode, 1);
        EXPECT_EQ(std::count(cut.out.begin(), cut.out.end(), '\n'), 5) << cut.err;
        EXPECT_TRUE(proxy.cut());
      }
      set("809", std::to_string(server->port()));
      EXPECT_EQ(receive(), 7);
      EXPECT_EQ(receive(), 0);
      const auto stored = subjects();
      for (int i = 0; i < 12; ++i) EXPECT_EQ(stored.count(prefix + std::to_string(i)), 1u) << i;
      for (const auto& name : names) server->removeMail(user, name);
    }
  }
}

// Ctrl-C ends the receive after the mail in hand: what was fetched is
// stored (and deleted on the server), the rest waits for the next receive.
TEST_F(ReceiveCli, InterruptKeepsWhatWasFetched) {
  set("807", "1");
  deliver("stop", 300, 4000);
  test::CliProcess receiving(withSettings({"receive"}), dir.path());
  ASSERT_TRUE(waitForLockHolder(receiving.pid()));
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  receiving.signal(SIGINT);
  const auto stopped = receiving.wait();
  const int kept = static_cast<int>(std::count(stopped.out.begin(), stopped.out.end(), '\n'));
  EXPECT_EQ(kept + server->mailCount(user), 300) << stopped.err;
  EXPECT_EQ(receive() + kept, 300);
  const auto stored = subjects();
  EXPECT_EQ(std::set<std::string>(stored.begin(), stored.end()).size(), 300u);
  EXPECT_EQ(stored.size(), 300u);
}

TEST_F(ReceiveCli, KillingTheReceiveAnywhereLosesNoMailAndDoublesNone) {
  set("807", "1");
  const std::vector<std::string> args = withSettings({"receive"});
  int delivered = 0;
  int inWorkFile = 0;   // kills that left fetched mails in the work file
  int afterQuit = 0;    // kills that came after the server had deleted them
  // A receive of 60 mails takes about 150 ms here: the fixed delays cover
  // the login, the fetching, the deleting and the move into the tray, also
  // on a machine a few times slower. The window between the deletion on the
  // server and the move into the tray is narrow, so when the fixed delays
  // missed one of the two windows, a finer sweep goes on until both were hit.
  std::vector<int> delays{10, 30, 50, 65, 80, 95, 110, 125, 140, 160, 185, 210, 250, 320, 420, 550};
  for (int extra = 100; extra <= 900; extra += 12) delays.push_back(extra);
  for (std::size_t round = 0; round < delays.size(); ++round) {
    if (round >= 16 && inWorkFile > 0 && afterQuit > 0) break;
    const int delay = delays[round];
    SCOPED_TRACE("killed after " + std::to_string(delay) + " ms");
    deliver("k" + std::to_string(round) + "-", 60, 2000);
    delivered += 60;
    receiveAndKill(args, dir.path(), std::chrono::milliseconds(delay));
    const bool workFileLeft = platform::fileSize(workFile()).value_or(0) > 0;
    inWorkFile += workFileLeft;
    afterQuit += workFileLeft && server->mailCount(user) == 0;
    // The next start takes the work file up again.
    const auto checked = cli({"--yes", "check"});
    ASSERT_EQ(checked.exitCode, 0) << checked.err;
    auto stored = subjects();
    EXPECT_GE(static_cast<int>(std::set<std::string>(stored.begin(), stored.end()).size()) +
                  server->mailCount(user),
              delivered);
    receive();
    EXPECT_EQ(server->mailCount(user), 0);
    stored = subjects();
    EXPECT_EQ(std::set<std::string>(stored.begin(), stored.end()).size(), static_cast<std::size_t>(delivered))
        << "every mail";
    EXPECT_EQ(stored.size(), static_cast<std::size_t>(delivered)) << "and none twice";
  }
  EXPECT_GT(inWorkFile, 0) << "no kill came in the middle of a receive";
  EXPECT_GT(afterQuit, 0) << "no kill came between the deletion and the move";
}

}  // namespace
}  // namespace zorvik
