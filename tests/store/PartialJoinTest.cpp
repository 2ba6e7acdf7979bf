// Joining received message/partial fragments in the new-mail tray: a split
// mail taken through delivery comes back as the mail that was split,
// incomplete sets wait, sets with different ids are kept apart, and what the
// enclosed header lacks is filled in from the first fragment.
#include "store/PartialJoiner.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "core/Messages.h"
#include "core/SettingsFile.h"
#include "message/MimeComposer.h"
#include "message/PartialSplitter.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "store/TrayAttachments.h"
#include "store/TrayFile.h"
#include "support/CliRunner.h"
#include "support/RecordingReporter.h"
#include "support/TestEnvironment.h"

namespace zorvik::store {
namespace {

std::string sjis(const std::string& utf8) { return platform::utf8ToSjis(utf8); }

// A fresh account made by `zorvik-cli init`, loaded here as a command would.
class PartialJoinTest : public ::testing::Test {
protected:
  void SetUp() override {
    const auto made = test::runCli({"init", "--name", "T", "--address", "me@example.jp", "--dir", dir.path()},
                                   dir.path(), {"HOME=" + dir.path()});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    settingsPath = made.out.substr(0, made.out.find('\n'));
    ASSERT_TRUE(settings.load(platform::utf8ToSjis(settingsPath), messages));
    settings.resolveRelativePaths(platform::utf8ToSjis(dir.path()) + "/");
    location = StoreLocation::fromSettings(settings);
  }

  test::CliResult cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"--settings", settingsPath});
    return test::runCli(args, dir.path(), {"HOME=" + dir.path()});
  }

  // Delivers mails given in the form a server sends them.
  void deliver(const std::vector<std::string>& wireMails, const std::string& tray = {}) {
    std::vector<std::string> args{"deliver"};
    if (!tray.empty()) args.insert(args.end(), {"--tray", tray});
    for (const std::string& mail : wireMails) {
      const std::string path = dir.file("mail" + std::to_string(fileCount++) + ".eml");
      ASSERT_TRUE(platform::writeFileAtomically(path, mail));
      args.push_back(path);
    }
    const auto delivered = cli(args);
    ASSERT_EQ(delivered.exitCode, 0) << delivered.err;
  }

  JoinResult join() {
    const message::MailRecordParser parser(message::ParseContext::fromSettings(settings, std::time(nullptr)));
    const PartialJoiner joiner(location, JoinSettings::fromSettings(settings, location), parser, messages);
    return joiner.join();
  }

  TrayFile tray(const std::string& utf8Name) const { return TrayFile(location, sjis(utf8Name)); }
  std::uint32_t live(const std::string& utf8Name) const { return tray(utf8Name).count(false).value_or(999); }

  std::vector<std::string> bodyOf(const std::string& utf8Name, std::uint32_t index) const {
    std::vector<std::string> lines;
    auto reader = tray(utf8Name).bodyReader(index);
    std::string line;
    while (reader && reader->next(line)) lines.push_back(line);
    return lines;
  }
  std::string headerOf(const std::string& utf8Name, std::uint32_t index) const {
    return tray(utf8Name).headerLines(index).value_or("");
  }

  test::ScratchDir dir;
  std::string settingsPath;
  test::RecordingReporter reporter;
  core::Messages messages{reporter};
  core::SettingsFile settings;
  StoreLocation location;
  int fileCount = 0;
};

// A mail in the form a server sends it, from lines given without line ends.
std::string wire(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text + ".\r\n";
}

std::string fragment(const std::string& id, int number, int total, const std::vector<std::string>& body,
                     const std::string& subject = "parts") {
  std::vector<std::string> lines{"From: sender@example.jp", "To: me@example.jp",
                                 "Subject: " + subject + " [" + std::to_string(number) + "/" +
                                     std::to_string(total) + "]",
                                 "Date: Mon, 07 Dec 2026 09:30:00 +0900", "Mime-Version: 1.0",
                                 "Content-Type: message/partial; total=" + std::to_string(total) +
                                     "; number=" + std::to_string(number) + "; id=\"" + id + "\"",
                                 ""};
  lines.insert(lines.end(), body.begin(), body.end());
  return wire(lines);
}

TEST_F(PartialJoinTest, SplitMailDeliveredInPiecesIsJoinedIntoTheOriginal) {
  // A 250 KB mail with a Japanese subject and text, and a binary file.
  std::string data(185000, '\0');
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>((i * 2654435761u) >> 11);
  const std::string file = dir.file("data.bin");
  ASSERT_TRUE(platform::writeFileAtomically(file, data));
  const message::MailLines draft{"From ",
                                 {"From: me@example.jp", sjis("Subject: 大きな添付ファイル"), "To: you@example.jp",
                                  "Date: Mon, 07 Dec 2026 09:30:00 +0900", "Message-Id: <126.big@example.jp>"},
                                 {sjis("本文です。"), ".dot", "..two", "@#MIME " + file, sjis("以上")}};
  message::MimeComposer composer({}, messages);
  const std::string headerPath = dir.file("TxTmpH");
  const std::string bodyPath = dir.file("TxTmpB");
  ASSERT_TRUE(composer.composeFiles(draft, headerPath, bodyPath));
  const std::string whole = platform::readFile(headerPath).value() + platform::readFile(bodyPath).value();

  message::PartialSplitter splitter(headerPath, bodyPath, messages);
  ASSERT_EQ(splitter.start(100), 3);
  std::vector<std::string> fragments;
  while (!splitter.done()) {
    ASSERT_TRUE(splitter.makeFragment(splitter.fragmentHeaderPath(), splitter.fragmentBodyPath()));
    fragments.push_back(platform::readFile(splitter.fragmentHeaderPath()).value() +
                        platform::readFile(splitter.fragmentBodyPath()).value() + ".\r\n");
  }

  ASSERT_EQ(cli({"mktray", "Original"}).exitCode, 0);
  deliver({whole + ".\r\n"}, "Original");
  deliver({fragments[0], fragments[2]});
  EXPECT_EQ(join().joined, 0u) << "fragments 1 and 3 of 3 join nothing";
  EXPECT_EQ(live("新着受信"), 2u);

  // Delivering, like receiving, joins a set as soon as it is complete.
  deliver({fragments[1]});
  EXPECT_EQ(join().joined, 0u) << "nothing is left to join";
  EXPECT_EQ(live("新着受信"), 1u);
  EXPECT_EQ(live("ごみ箱"), 3u) << "the fragments go to the trash";

  const std::string header = headerOf("新着受信", 3);
  EXPECT_NE(header.find(sjis("Subject: 大きな添付ファイル\r\n")), std::string::npos) << header;
  EXPECT_NE(header.find("Received: (Partial mail)"), std::string::npos);
  EXPECT_EQ(bodyOf("新着受信", 3), bodyOf("Original", 0));
  EXPECT_EQ(bodyOf("Original", 0).size(), 5u) << "text, two dotted lines, the reference, the last line";
  const auto folderOf = [](const std::string& text) {
    const std::size_t at = text.find("X-Zorvik-AttachDir: ") + 20;
    return text.substr(at, text.find("\r\n", at) - at);
  };
  const std::string root = TrayAttachments::root(location, sjis("新着受信"));
  EXPECT_TRUE(platform::readFile(root + "/" + folderOf(header) + "/data.bin").value_or("none") == data)
      << "the joined mail's file is saved byte for byte";
  EXPECT_TRUE(platform::readFile(root + "/" + folderOf(headerOf("Original", 0)) + "/data.bin").value_or("none") == data);
  EXPECT_TRUE(reporter.boxes().empty());
}

TEST_F(PartialJoinTest, SetsWithDifferentIdsAreJoinedApartAndDuplicatesGoToo) {
  deliver({fragment("a@x", 2, 2, {"a2"}), fragment("b@x", 1, 2, {"Subject: b", "", "b1"}),
           fragment("a@x", 1, 2, {"Subject: a", "", "a1"}), fragment("b@x", 2, 2, {"b2"}),
           fragment("b@x", 2, 2, {"b2 again"})});
  EXPECT_EQ(live("新着受信"), 2u) << "both sets were joined on delivery";
  EXPECT_EQ(live("ごみ箱"), 5u);
  EXPECT_EQ(bodyOf("新着受信", 5), (std::vector<std::string>{"b1", "b2"}));
  EXPECT_EQ(bodyOf("新着受信", 6), (std::vector<std::string>{"a1", "a2"}));
}

TEST_F(PartialJoinTest, MissingHeaderLinesComeFromTheFirstFragmentAndDottedLinesSurvive) {
  deliver({fragment("<id@x>", 1, 2, {"X-Only: this", "", "...x", "first"}, "meeting"),
           fragment("<id@x>", 2, 2, {"...y", "last"}, "meeting")});
  ASSERT_EQ(live("新着受信"), 1u) << "the set was joined on delivery";
  const std::string header = headerOf("新着受信", 2);
  EXPECT_EQ(header,
            "X-Only: this\r\nFrom: sender@example.jp\r\nTo: me@example.jp\r\nSubject: meeting\r\n"
            "Date: Mon, 07 Dec 2026 09:30:00 +0900\r\nReceived: (Partial mail)\r\nMessage-ID: <id@x>");
  // The stored fragments hold "..x" and "..y"; read again as received mail
  // they would lose a dot each unless they are stuffed once more.
  EXPECT_EQ(bodyOf("新着受信", 2), (std::vector<std::string>{"..x", "first", "..y", "last"}));
}

// A joined mail whose move into the tray fails waits in the work file for
// the next start; its fragments go all the same, so it is stored once.
TEST_F(PartialJoinTest, AJoinWhoseMoveFailsIsStoredOnceByTheRecovery) {
  ASSERT_EQ(cli({"mktray", "Held"}).exitCode, 0);
  deliver({fragment("m@x", 1, 2, {"Subject: once", "", "m1"})});
  deliver({fragment("m@x", 2, 2, {"m2"})}, "Held");
  ASSERT_EQ(cli({"move", "Held", "0", "新着受信"}).exitCode, 0);
  int writes = 0;
  location.writeCheck = [&writes](std::string_view) { return ++writes != 1; };  // the first is the move
  EXPECT_EQ(join().joined, 0u);
  location.writeCheck = {};
  EXPECT_EQ(live("新着受信"), 0u) << "the fragments went to the trash";
  EXPECT_EQ(join().joined, 0u) << "nothing left to join twice";
  ASSERT_EQ(cli({"--yes", "check"}).exitCode, 0);
  ASSERT_EQ(live("新着受信"), 1u);
  // The tray was emptied when its last fragment left: the mail is the first.
  EXPECT_EQ(bodyOf("新着受信", 0), (std::vector<std::string>{"m1", "m2"}));
}

TEST_F(PartialJoinTest, BrokenParametersAreLeftAlone) {
  deliver({fragment("z", 1, 2, {"x"}),
           wire({"Subject: odd", "Content-Type: message/partial; total=two; number=2; id=\"z\"", "", "y"}),
           wire({"Subject: odd", "Content-Type: message/partial; total=2; number=3; id=\"z\"", "", "y"}),
           wire({"Subject: odd", "Content-Type: message/partial", "", "y"})});
  EXPECT_EQ(join().joined, 0u);
  EXPECT_EQ(live("新着受信"), 4u);
}

}  // namespace
}  // namespace zorvik::store
