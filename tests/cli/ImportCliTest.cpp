// zorvik-cli import: the mailboxes of other mail programs, built here from
// their formats' descriptions, go into trays whose mails `list` and `show`
// read back as the sources held them, attachments byte for byte.
#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "support/CliAccount.h"
#include "support/ForeignMailboxes.h"
#include "support/TestEnvironment.h"

namespace zorvik {
namespace {

const std::string kJpeg("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x02\x00\x00\x01\x00\x01\x00\x00\xFF\xD9", 22);

// A Japanese mail whose body has a line beginning with "From " and one
// beginning with ".", and a mail with a JPEG attached.
const std::string kTextHeader =
    "From: a@example.jp\r\nSubject: =?ISO-2022-JP?B?GyRCRnxLXBsoQg==?=\r\nDate: Mon, 07 Dec 2026 09:30:00 +0900\r\n"
    "Content-Type: text/plain; charset=ISO-2022-JP\r\n";
const std::string kTextBody = "\x1B$B$3$s$K$A$O\x1B(B\r\nFrom the office\r\n.dot\r\n";
const std::string kTextMail = kTextHeader + "\r\n" + kTextBody;
const std::string kPhotoMail =
    "From: b@example.jp\r\nSubject: photo\r\nDate: Tue, 08 Dec 2026 10:00:00 +0900\r\nMIME-Version: 1.0\r\n"
    "Content-Type: multipart/mixed; boundary=\"b\"\r\n\r\n--b\r\nContent-Type: text/plain\r\n\r\nsee the photo\r\n"
    "--b\r\nContent-Type: image/jpeg; name=\"photo.jpg\"\r\nContent-Transfer-Encoding: base64\r\n\r\n"
    "/9j/4AAQSkZJRgABAgAAAQABAAD/2Q==\r\n--b--\r\n";

class ImportCli : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(account.ready()) << account.initError(); }

  test::CliResult cli(std::vector<std::string> args) { return account.run(std::move(args)); }
  void write(const std::string& path, const std::string& bytes) {
    ASSERT_TRUE(platform::makeDirectories(platform::directoryOf(path)));
    ASSERT_TRUE(platform::writeFileAtomically(path, bytes));
  }
  // The subjects `list` prints for `tray`.
  std::vector<std::string> subjects(const std::string& tray) {
    const auto listed = cli({"list", tray});
    std::vector<std::string> found;
    for (std::size_t at = 0; at < listed.out.size();) {
      const std::size_t end = listed.out.find('\n', at);
      const std::string line = listed.out.substr(at, end - at);
      found.push_back(line.substr(line.rfind('\t') + 1));
      at = end + 1;
    }
    return found;
  }

  test::CliAccount account;
};

TEST_F(ImportCli, EveryKindReadsBackAsTheSourceHeldIt) {
  const std::vector<std::string> mails{kTextMail, kPhotoMail};
  const std::string source = account.file("sources");
  write(source + "/unix.mbox", test::unixMailbox(mails));
  const test::MsInternetMailPair pair = test::msInternetMail(mails);
  write(source + "/Inbox.IDX", pair.index);
  write(source + "/Inbox.MBX", pair.mailbox);
  const std::string box = test::writeAlMailBox(source + "/almail", "inbox", mails);
  test::writeMaildir(source + "/Maildir", mails);
  write(source + "/eml/1.eml", kTextMail);
  write(source + "/eml/2.eml", kPhotoMail);
  // Becky! keeps the text as it came and the attachment in its own folder.
  test::writeBeckyMailbox(source + "/becky/Mailbox/Inbox/in.mbx", source + "/becky/Attach",
                          {{kTextHeader, kTextBody, {}},
                           {"From: b@example.jp\r\nSubject: photo\r\nDate: Tue, 08 Dec 2026 10:00:00 +0900\r\n",
                            "see the photo\r\n", {{"photo.jpg", kJpeg}}}});

  const std::vector<std::pair<std::string, std::string>> kinds{
      {"mbox", source + "/unix.mbox"},      {"1", source + "/Inbox.MBX"},
      {"almail16", box},                    {"maildir", source + "/Maildir"},
      {"eml", source + "/eml"},             {"becky", source + "/becky/Mailbox/Inbox/in.mbx"}};
  for (const auto& [kind, path] : kinds) {
    SCOPED_TRACE(kind);
    const std::string tray = "from-" + kind;
    ASSERT_EQ(cli({"mktray", tray}).exitCode, 0);
    const auto imported = cli({"import", "--kind", kind, path, tray});
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_EQ(imported.out, tray + "\t2\t0\t0\t" + path + "\n");
    EXPECT_EQ(subjects(tray), (std::vector<std::string>{"日本", "photo"}));

    const auto text = cli({"show", tray, "0"});
    EXPECT_NE(text.out.find("Subject: 日本\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("\n\nこんにちは\n>From the office\n.dot\n"), std::string::npos) << text.out;
    const auto photo = cli({"show", tray, "1"});
    EXPECT_NE(photo.out.find("X-Zorvik-AttachDir: 1261208.00"), std::string::npos) << photo.out;
    EXPECT_NE(photo.out.find("see the photo\n"), std::string::npos) << photo.out;
    EXPECT_NE(photo.out.find("@#MIME \"%:photo.jpg\"\n"), std::string::npos) << photo.out;
    const std::size_t folderAt = photo.out.find("X-Zorvik-AttachDir: ") + 20;
    const std::string folder = photo.out.substr(folderAt, photo.out.find('\n', folderAt) - folderAt);
    EXPECT_EQ(platform::readFile(platform::utf8ToSjis(account.topCabinet() + "/.inc/" + folder + "/photo.jpg")), kJpeg);
  }
}

TEST_F(ImportCli, ACabinetTakesEveryFileOfTheExtensionAndAFullTrayIsEmptiedOnlyWhenTheUserSays) {
  write(account.file("old/work.MBOX"), test::unixMailbox({"Subject: w1\n\n", "Subject: w2\n\n"}));
  write(account.file("old/home.mbox"), test::unixMailbox({"Subject: h1\n\n"}));
  write(account.file("old/.hidden.mbox"), test::unixMailbox({"Subject: no\n\n"}));
  write(account.file("old/notes.txt"), "Subject: no\n\n");
  ASSERT_TRUE(platform::makeDirectories(account.file("old/folder.mbox")));
  const auto imported = cli({"import", "--kind", "0", account.file("old/work.MBOX"), "--cabinet", "過去"});
  ASSERT_EQ(imported.exitCode, 0) << imported.err;
  EXPECT_EQ(imported.out, "過去/home\t1\t0\t0\t" + account.file("old/home.mbox") + "\n過去/work\t2\t0\t0\t" +
                              account.file("old/work.MBOX") + "\n");
  EXPECT_EQ(subjects("過去/work"), (std::vector<std::string>{"w1", "w2"}));

  // A Maildir with the folders of Maildir++ in it: a tray for each.
  test::writeMaildir(account.file("Maildir"), {"Subject: inbox\n\n"});
  test::writeMaildir(account.file("Maildir/.Sent"), {"Subject: sent 1\n\n", "Subject: sent 2\n\n"});
  const auto maildirs = cli({"import", "--kind", "maildir", account.file("Maildir"), "--cabinet", ""});
  EXPECT_EQ(maildirs.out, "Maildir\t1\t0\t0\t" + account.file("Maildir") + "\nSent\t2\t0\t0\t" +
                              account.file("Maildir/.Sent") + "\n")
      << maildirs.err;

  // The trays hold mail now: "no" keeps them, "yes" replaces what they hold.
  write(account.file("old/home.mbox"), test::unixMailbox({"Subject: h2\n\n"}));
  const auto kept = cli({"--no", "import", "--kind", "mbox", account.file("old/home.mbox"), "過去/home"});
  EXPECT_EQ(kept.exitCode, 1);
  EXPECT_NE(kept.err.find("No.688"), std::string::npos) << kept.err;
  EXPECT_EQ(subjects("過去/home"), std::vector<std::string>{"h1"});
  const auto replaced = cli({"--yes", "import", "--kind", "mbox", account.file("old/home.mbox"), "過去/home"});
  EXPECT_EQ(replaced.exitCode, 0) << replaced.err;
  EXPECT_EQ(subjects("過去/home"), std::vector<std::string>{"h2"});

  // The period leaves out what is older; a mail of no readable date is taken.
  char today[64];
  const std::time_t now = std::time(nullptr);
  std::strftime(today, sizeof today, "%a, %d %b %Y %H:%M:%S +0000", std::gmtime(&now));
  write(account.file("old/dated.mbox"), test::unixMailbox({"Subject: old\nDate: Tue, 01 Sep 1998 10:00:00 +0900\n\n",
                                                       std::string("Subject: new\nDate: ") + today + "\n\n",
                                                       "Subject: undated\n\n"}));
  const auto recent = cli({"--yes", "import", "--kind", "mbox", "--period", "1", account.file("old/dated.mbox"), "過去/home"});
  EXPECT_EQ(recent.out, "過去/home\t2\t1\t0\t" + account.file("old/dated.mbox") + "\n") << recent.err;
  EXPECT_EQ(subjects("過去/home"), (std::vector<std::string>{"new", "undated"}));
}

TEST_F(ImportCli, BadSourcesAreRefusedWithTheirMessagesAndLeaveNoHalfMail) {
  ASSERT_EQ(cli({"mktray", "in"}).exitCode, 0);
  std::string binary(4000, '\0');
  for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>((i * 7919 + 13) % 251);
  write(account.file("binary.mbox"), binary);
  test::MsInternetMailPair damaged = test::msInternetMail({"Subject: kept\r\n\r\n", "Subject: lost\r\n\r\n"});
  test::MsInternetMailPair::put(damaged.index, 80 + 40 + 20, 1u << 30);
  write(account.file("damaged.idx"), damaged.index);
  write(account.file("damaged.mbx"), damaged.mailbox);
  write(account.file("lonely.idx"), damaged.index);
  write(account.file("box.box"), "[Mails]\r\n1=1\r\n2=1\r\n");

  struct Case {
    std::vector<std::string> args;
    std::string message;
    std::vector<std::string> stored;
  };
  const std::vector<Case> cases{
      {{"--kind", "exchange", account.file("binary.mbox"), "in"}, "No.700", {}},
      {{"--kind", "almail32", account.file("binary.mbox"), "in"}, "No.685", {}},
      {{"--kind", "netscape", account.file("binary.mbox"), "in"}, "No.686", {}},
      {{"--kind", "denshin8", account.file("binary.mbox"), "in"}, "No.687", {}},
      {{account.file("binary.mbox"), "in"}, "No.689", {}},
      {{"--kind", "mbox", "", "in"}, "No.680", {}},
      {{"--kind", "mbox", account.file("absent.mbox"), "in"}, "No.681", {}},
      {{"--kind", "mbox", account.file("binary.mbox"), "in"}, "No.4221", {}},
      {{"--kind", "msmail", account.file("damaged.idx"), "in"}, "No.4221", {"kept"}},
      {{"--kind", "msmail", account.file("lonely.idx"), "in"}, "No.683", {}},
      {{"--kind", "maildir", account.folder(), "in"}, "No.4221", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[c.args.size() - 2]);
    std::vector<std::string> args{"--yes", "import"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const auto refused = cli(args);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find(c.message), std::string::npos) << refused.err;
    const auto stored = subjects("in");
    EXPECT_EQ(stored, c.stored);
  }
  // A Becky! mailbox with no "Attach" folder near it: the user is told, and
  // the attachment lines stay in the header.
  test::writeBeckyMailbox(account.file("lone/in.mbx"), account.file("lone/elsewhere"),
                          {{"From: a@example.jp\r\nSubject: becky\r\n", "text\r\n", {{"a.txt", "a"}}}});
  const auto alone = cli({"--yes", "import", "--kind", "becky", account.file("lone/in.mbx"), "in"});
  EXPECT_EQ(alone.exitCode, 0) << alone.err;
  EXPECT_NE(alone.err.find("No.3002"), std::string::npos) << alone.err;
  EXPECT_NE(cli({"show", "in", "0"}).out.find("X-Becky-Attachment-File: a.txt\n"), std::string::npos);

  // An AL-Mail box whose mail files are missing imports nothing, and says so.
  const auto missing = cli({"--yes", "import", "--kind", "almail16", account.file("box.box"), "in"});
  EXPECT_EQ(missing.exitCode, 0) << missing.err;
  EXPECT_EQ(missing.out, "in\t0\t0\t2\t" + account.file("box.box") + "\n");
  EXPECT_EQ(cli({"import", "--kind", "mbox", account.file("binary.mbox")}).exitCode, 2);
  EXPECT_EQ(cli({"import", "--kind", "nine", account.file("binary.mbox"), "in"}).exitCode, 2);
}

}  // namespace
}  // namespace zorvik
