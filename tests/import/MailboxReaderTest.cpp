// The readers of other programs' mailboxes, fed with mailboxes built here
// from the formats' descriptions: which mails come out, in which form, and
// where a damaged or hostile mailbox stops them.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "import/AlMailBox.h"
#include "import/ImportPeriod.h"
#include "import/MboxReader.h"
#include "import/MboxWriter.h"
#include "import/MsInternetMail.h"
#include "import/SingleMailFiles.h"
#include "import/WireMail.h"
#include "platform/FileSystem.h"
#include "support/ForeignMailboxes.h"
#include "support/TestEnvironment.h"

namespace zorvik::import {
namespace {

// Collects the mails a reader hands over.
struct Collected {
  std::vector<std::string> mails;
  MailHandler handler() {
    return [this](std::string_view mail) {
      mails.emplace_back(mail);
      return true;
    };
  }
};

std::string wire(std::initializer_list<const char*> lines) {
  std::string mail;
  for (const char* line : lines) mail += std::string(line) + "\r\n";
  return mail + ".\r\n";
}

void write(const std::string& path, const std::string& bytes) { ASSERT_TRUE(platform::writeFileAtomically(path, bytes)); }

TEST(MboxReader, SplitsAtSeparatorsOnlyAndHandsOverThePopForm) {
  struct Case {
    const char* what;
    std::string mailbox;
    std::vector<std::string> mails;
    ReadEnd end = ReadEnd::Done;
  };
  const std::string postmark = "From a@example.jp Mon Dec  7 09:30:00 2026\n";
  const std::vector<Case> cases{
      {"two mails, LF", postmark + "Subject: 1\n\nbody\n\n" + postmark + "Subject: 2\n\nbody 2\n",
       {wire({"Subject: 1", "", "body"}), wire({"Subject: 2", "", "body 2"})}},
      {"CR LF, no final line end, leading empty lines",
       "\r\n\r\n" + postmark.substr(0, postmark.size() - 1) + "\r\nSubject: 1\r\n\r\nlast",
       {wire({"Subject: 1", "", "last"})}},
      {"an unquoted From line in a paragraph, or one that is no postmark, stays in the body",
       postmark + "Subject: 1\n\ntext\nFrom here on 12:30 2026\n\nFrom the start\n>From quoted\n",
       {wire({"Subject: 1", "", "text", "From here on 12:30 2026", "", "From the start", ">From quoted"})}},
      {"the bare separator of the intermediate mailbox", "From \r\nSubject: 1\r\n\r\nx\r\n\r\nFrom \r\nSubject: 2\r\n\r\n",
       {wire({"Subject: 1", "", "x"}), wire({"Subject: 2"})}},
      {"dots are stuffed, a last lone dot included", postmark + "Subject: 1\n\n.hidden\n.\n",
       {wire({"Subject: 1", "", "..hidden", ".."})}},
      {"mails of empty lines are left out", postmark + "\n\n" + postmark + "Subject: 2\n", {wire({"Subject: 2"})}},
      {"empty file", "", {}},
      {"a mailbox cut short", postmark + "Subject: 1\n\nhalf a li", {wire({"Subject: 1", "", "half a li"})}},
      {"a binary file", std::string("\x7F" "ELF\x02\x01\x01\0\0\0", 10) + "\nFrom x Mon Dec  7 09:30:00 2026\n", {},
       ReadEnd::Damaged},
      {"text before the first separator", "Subject: stray\n" + postmark + "Subject: 1\n", {}, ReadEnd::Damaged},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Collected whole;
    MboxReader reader(whole.handler());
    reader.feed(c.mailbox);
    EXPECT_EQ(reader.finish(), c.end);
    EXPECT_EQ(whole.mails, c.mails);
    // Blocks of any size give the same mails.
    Collected bytewise;
    MboxReader slow(bytewise.handler());
    for (const char byte : c.mailbox) slow.feed(std::string_view(&byte, 1));
    EXPECT_EQ(slow.finish(), c.end);
    EXPECT_EQ(bytewise.mails, c.mails);
  }
}

TEST(MboxReader, TheIntermediateMailboxKeepsEveryMailWholeAndAStopEndsTheReading) {
  test::ScratchDir dir;
  const std::string path = dir.file("work.mbx");
  {
    MboxWriter writer(path);
    ASSERT_TRUE(writer.isOpen());
    EXPECT_TRUE(writer.write("Subject: 1\r\n\r\nFrom me, with love\r\n\r\nFrom x Mon Dec  7 09:30:00 2026\r\n"));
    EXPECT_TRUE(writer.write("Subject: 2\n\nno line end"));
    EXPECT_TRUE(writer.close());
  }
  Collected read;
  EXPECT_EQ(MboxReader::readFile(path, read.handler()), ReadEnd::Done);
  EXPECT_EQ(read.mails, (std::vector<std::string>{
                            wire({"Subject: 1", "", ">From me, with love", "", ">From x Mon Dec  7 09:30:00 2026"}),
                            wire({"Subject: 2", "", "no line end"})}));

  int handed = 0;
  EXPECT_EQ(MboxReader::readFile(path, [&handed](std::string_view) { return ++handed < 1; }), ReadEnd::Stopped);
  EXPECT_EQ(handed, 1);
  EXPECT_EQ(MboxReader::readFile(dir.file("missing"), read.handler()), ReadEnd::Unreadable);
}

TEST(MsInternetMail, ReadsTheLiveMailsAndStopsAtDamageWithoutLeavingTheFiles) {
  test::MsInternetMailPair pair;
  pair.add("Subject: 1\r\n\r\none\r\n");
  pair.add("Subject: deleted\r\n\r\n", 1);
  pair.add("Subject: 2\r\n\r\ntwo\r\n");
  const auto readAt = [&pair](std::uint64_t offset, std::uint64_t size) -> std::optional<std::string> {
    return pair.mailbox.substr(offset, size);
  };
  Collected read;
  EXPECT_EQ(MsInternetMail::read(pair.index, pair.mailbox.size(), readAt, read.handler()), ReadEnd::Done);
  EXPECT_EQ(read.mails, (std::vector<std::string>{"Subject: 1\r\n\r\none\r\n", "Subject: 2\r\n\r\ntwo\r\n"}));

  struct Damage {
    const char* what;
    std::string index;
    std::size_t mailsBefore;
  };
  std::string pastTheEnd = pair.index;
  test::MsInternetMailPair::put(pastTheEnd, 80 + 80 + 20, static_cast<std::uint32_t>(pair.mailbox.size()));
  std::string noLength = pair.index;
  test::MsInternetMailPair::put(noLength, 80 + 16, 0);
  std::string hugeCount = pair.index;
  test::MsInternetMailPair::put(hugeCount, 8, 0xFFFFFFFF);
  const std::vector<Damage> damages{
      {"bad magic", pair.indexWithMagic("JMF8"), 0},
      {"a mail past the end of the mailbox", pastTheEnd, 1},
      {"a record length that goes nowhere", noLength, 1},
      {"more records than the index holds", hugeCount, 2},
      {"an index cut inside its head", pair.index.substr(0, 60), 0},
  };
  for (const Damage& damage : damages) {
    SCOPED_TRACE(damage.what);
    Collected partial;
    EXPECT_EQ(MsInternetMail::read(damage.index, pair.mailbox.size(), readAt, partial.handler()), ReadEnd::Damaged);
    EXPECT_EQ(partial.mails.size(), damage.mailsBefore);
  }
}

TEST(MsInternetMail, EitherFileOfThePairFindsTheOtherInAnyCase) {
  test::ScratchDir dir;
  write(dir.file("Inbox.IDX"), "");
  write(dir.file("Inbox.mbx"), "");
  for (const char* chosen : {"Inbox.IDX", "Inbox.mbx"}) {
    const auto pair = MsInternetMail::pairOf(dir.file(chosen));
    ASSERT_TRUE(pair);
    EXPECT_EQ(pair->index, dir.file("Inbox.IDX"));
    EXPECT_EQ(pair->mailbox, dir.file("Inbox.mbx"));
  }
  EXPECT_FALSE(MsInternetMail::pairOf(dir.file("Inbox.box")));
  EXPECT_FALSE(MsInternetMail::pairOf(dir.file(".idx")));
}

TEST(AlMailBox, TakesTheMailsSectionAndSkipsWhatCannotBeRead) {
  const std::string box =
      "[Setting]\r\nName=x\r\n[MAILS]\r\n00000001=1\r\n\r\n00000002=0\r\n../../etc/passwd=1\r\n00000003\r\n"
      "[Other]\r\n00000009=1\r\n";
  EXPECT_EQ(AlMailBox::mailFiles(box), (std::vector<std::string>{"00000001.wml", "00000002.wml",
                                                                "../../etc/passwd.wml", "00000003.wml"}));
  EXPECT_TRUE(AlMailBox::mailFiles("[Setting]\nx=1\n").empty());

  test::ScratchDir dir;
  write(dir.file("inbox.box"), box);
  write(dir.file("00000001.wml"), "Subject: 1\r\n\r\none\r\n");
  write(dir.file("00000003.wml"), "Subject: 3\r\n\r\nthree\r\n");
  Collected read;
  std::size_t skipped = 0;
  EXPECT_EQ(AlMailBox::readFile(dir.file("inbox.box"), read.handler(), skipped), ReadEnd::Done);
  EXPECT_EQ(read.mails, (std::vector<std::string>{"Subject: 1\r\n\r\none\r\n", "Subject: 3\r\n\r\nthree\r\n"}));
  EXPECT_EQ(skipped, 2u) << "the missing file and the one outside the folder";
  EXPECT_EQ(AlMailBox::readFile(dir.file("none.box"), read.handler(), skipped), ReadEnd::Unreadable);
}

TEST(SingleMailFiles, MaildirInDeliveryOrderAndEmlFilesOfAFolder) {
  test::ScratchDir dir;
  const std::string maildir = dir.file("Maildir");
  for (const char* folder : {"cur", "new", "tmp"}) ASSERT_TRUE(platform::makeDirectories(maildir + "/" + folder));
  write(maildir + "/cur/1700000002.M1.host:2,S", "Subject: second\n\n");
  write(maildir + "/new/1700000001.M1.host", "Subject: first\n\n");
  write(maildir + "/new/1700000003.M1.host", "\n\n");
  write(maildir + "/tmp/1700000004.M1.host", "Subject: half delivered\n\n");
  write(maildir + "/cur/.hidden", "Subject: no\n\n");
  const auto files = SingleMailFiles::ofMaildir(maildir);
  ASSERT_TRUE(files);
  Collected read;
  std::size_t skipped = 0;
  EXPECT_EQ(SingleMailFiles::read(*files, read.handler(), skipped), ReadEnd::Done);
  EXPECT_EQ(read.mails, (std::vector<std::string>{wire({"Subject: first"}), wire({"Subject: second"})}));
  EXPECT_EQ(skipped, 1u) << "the empty file";
  EXPECT_FALSE(SingleMailFiles::ofMaildir(dir.path()));

  write(dir.file("b.EML"), "Subject: b\n");
  write(dir.file("a.eml"), "Subject: a\n");
  write(dir.file("c.txt"), "Subject: c\n");
  EXPECT_EQ(SingleMailFiles::ofEml(dir.path()), (std::vector<std::string>{dir.file("a.eml"), dir.file("b.EML")}));
  EXPECT_EQ(SingleMailFiles::ofEml(dir.file("c.txt")), std::vector<std::string>{dir.file("c.txt")});
  EXPECT_FALSE(SingleMailFiles::ofEml(dir.file("none")));
}

TEST(ImportPeriod, TakesRecentMailsAndMailsOfNoReadableDate) {
  const std::time_t now = 1796000000;  // 2026-11-29
  const auto month = ImportPeriod::limit(1, now, 9);
  const auto all = ImportPeriod::limit(ImportPeriod::kAll, now, 9);
  ASSERT_TRUE(month && all);
  EXPECT_FALSE(ImportPeriod::limit(5, now, 9));
  const auto date = [](const char* mail) { return ImportPeriod::dateOf(mail, 9); };
  EXPECT_TRUE(ImportPeriod::admits(*month, date("Subject: x\r\nDate: Fri, 20 Nov 2026 10:00:00 +0900\r\n\r\n")));
  EXPECT_FALSE(ImportPeriod::admits(*month, date("date:\r\n Tue, 1 Sep 2026\r\n 10:00:00 +0900\r\n\r\n")));
  EXPECT_TRUE(ImportPeriod::admits(*all, date("Date: Tue, 1 Sep 1998 10:00:00 +0900\r\n\r\n")));
  EXPECT_TRUE(ImportPeriod::admits(*month, date("Subject: x\r\n\r\nDate: Tue, 1 Sep 2026 10:00:00 +0900\r\n")))
      << "a Date in the body is no date";
  EXPECT_TRUE(ImportPeriod::admits(*month, date("Date: someday\r\n\r\n")));
}

}  // namespace
}  // namespace zorvik::import
