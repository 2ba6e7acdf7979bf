#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using namespace std::string_literals;

#include "platform/FileLock.h"
#include "store/IndexHead.h"
#include "store/RecordFlags.h"
#include "store/TrayCompactor.h"
#include "store/TrayFile.h"
#include "store/TrayName.h"
#include "support/TrayBuilder.h"

namespace zorvik::store {
namespace {

using test::TrayBuilder;

std::string le(std::uint32_t value) { return IndexHead::word(value); }
std::string str(const std::string& text) { return le(static_cast<std::uint32_t>(text.size())) + text; }

class TrayFileTest : public ::testing::Test {
protected:
  void SetUp() override { platform::FileLock::setRetry({3, std::chrono::milliseconds(1)}); }
  void TearDown() override { platform::FileLock::setRetry({}); }

  TrayBuilder builder;
};

TEST(TrayNameTest, PathsOfRelativeAndFullNames) {
  StoreLocation store{"/store", "Top", {}};
  EXPECT_EQ(TrayName::path(store, "Inbox", filetype::kText), "/store/Top/Inbox.XM0");
  EXPECT_EQ(TrayName::path(store, "Cab/Box.v2", filetype::kIndex), "/store/Top/Cab/Box.v2.XM1")
      << "a relative name keeps its dots";
  EXPECT_EQ(TrayName::path(store, "", filetype::kPathOnly), "/store/Top");
  EXPECT_EQ(TrayName::path(store, "/mail/old.box", filetype::kNewIndex), "/mail/old.tmp");
  EXPECT_EQ(TrayName::path(store, "/mail/old.box", filetype::kPathOnly), "/mail/old");
  EXPECT_EQ(TrayName::path(store, "/mail.d/old", filetype::kIndex), "/mail.d/old.XM1")
      << "a dot in a directory is no extension";
  EXPECT_EQ(TrayName::path(store, "/mail/Cab/.Default", filetype::kIndex), "/mail/Cab/.Default.XM1")
      << "the leading dot of a hidden tray is no extension";
}

TEST(TrayNameTest, NamesLeavingTheStoreAreNotUsable) {
  EXPECT_TRUE(TrayName::isUsable("Cab/Box"));
  EXPECT_TRUE(TrayName::isUsable("Cab/.Default"));
  EXPECT_FALSE(TrayName::isUsable("../Box"));
  EXPECT_FALSE(TrayName::isUsable("Cab/../../Box"));
  EXPECT_FALSE(TrayName::isUsable("Cab//Box"));
  EXPECT_FALSE(TrayName::isUsable(""));
}

TEST(TrayNameTest, ListingKinds) {
  EXPECT_EQ(TrayName::listingKind("Inbox.xm1", false), ListingKind::Tray);
  EXPECT_EQ(TrayName::listingKind("Cab.XM2", false), ListingKind::CabinetMark);
  EXPECT_EQ(TrayName::listingKind("Inbox.XM0", false), ListingKind::Hidden);
  EXPECT_EQ(TrayName::listingKind("srv.uid", false), ListingKind::Hidden);
  EXPECT_EQ(TrayName::listingKind(".Default.XM1", false), ListingKind::Hidden);
  EXPECT_EQ(TrayName::listingKind(".Xcut", false), ListingKind::Hidden);
  EXPECT_EQ(TrayName::listingKind(".Xcut", true), ListingKind::Plain);
  EXPECT_EQ(TrayName::listingKind("notes.txt", false), ListingKind::Plain);
  EXPECT_EQ(TrayName::listingKind("Cabinet", false), ListingKind::Plain);
}

TEST_F(TrayFileTest, NewTrayIsJustTheHeadInTheListedOrder) {
  TrayProperties p;
  p.flags = 0x11223344;
  p.sortWord = 5;
  p.displayPeriod = 6;
  p.userDisplayDays = 7;
  p.description = "d";
  p.sortKeyword = "kw";
  p.sendGroupBcc = "b";
  p.signatureKind = 2;
  p.newMailTemplate = "n";
  p.forwardTemplate = "f";
  p.tagSelection = 3;
  p.tagEndSymbol = ">";
  p.soundFile = "s";
  p.splitSizeKb = 64;
  p.replyTo = "r";
  p.signatureFile = "sig";
  const TrayFile tray(builder.store(), "Inbox");
  ASSERT_TRUE(tray.create(p));

  const std::string body = le(0x11223344) + le(5) + le(6) + le(7) + str("d") + str("") + str("kw") + str("") +
                           str("") + str("") + str("b") + le(2) + str("n") + str("") + str("f") + le(3) +
                           str(">") + str("") + str("s") + le(64) + str("") + str("") + str("r") + str("sig");
  const std::string expected = le(static_cast<std::uint32_t>(8 + body.size())) + "\x07\x10\x00\x01"s + body;
  EXPECT_EQ(TrayBuilder::bytes(tray.path(filetype::kIndex)), expected);
  EXPECT_EQ(TrayBuilder::bytes(tray.path(filetype::kText)), "");
  EXPECT_EQ(tray.recordCount(), 0U);
  EXPECT_EQ(tray.properties(), p);
}

TEST_F(TrayFileTest, NewTrayTakesTheCabinetsDefaultPropertiesWithoutTheDescription) {
  std::filesystem::create_directories(builder.store().topCabinetPath() + "/Cab");
  TrayProperties defaults;
  defaults.description = "defaults of Cab";
  defaults.sortKeyword = "ML";
  ASSERT_TRUE(builder.tray("Cab/.Default").create(defaults));
  const TrayFile tray = builder.tray("Cab/New");
  ASSERT_TRUE(tray.createInheriting());
  defaults.description.clear();
  EXPECT_EQ(tray.properties(), defaults);
}

TEST_F(TrayFileTest, OperationsOnAMissingTrayLeaveNoFileBehind) {
  const TrayFile missing = builder.tray("Missing");
  EXPECT_FALSE(missing.appendRecord(IndexRecord{}));
  EXPECT_FALSE(missing.changeFlags(0, 0x10, true));
  EXPECT_FALSE(missing.markDeleted(0));
  EXPECT_FALSE(missing.rewriteProperties(TrayProperties{}));
  EXPECT_FALSE(missing.restampFirstMail("Date: x"));
  EXPECT_FALSE(missing.empty());
  EXPECT_FALSE(TrayCompactor(builder.store()).compact("Missing"));
  EXPECT_FALSE(missing.writeLink(std::nullopt, "Other", 0));
  EXPECT_TRUE(std::filesystem::is_empty(builder.store().topCabinetPath()))
      << "a stray empty index would show as a tray in the tree";
}

TEST_F(TrayFileTest, WrongFormatMarkIsNotATray) {
  const TrayFile tray = builder.createTray("Inbox");
  std::string index = TrayBuilder::bytes(tray.path(filetype::kIndex));
  index[7] = 0x02;
  TrayBuilder::write(tray.path(filetype::kIndex), index);
  EXPECT_FALSE(tray.exists());
  EXPECT_FALSE(tray.reader());
  EXPECT_FALSE(tray.appendRecord(IndexRecord{}));
  EXPECT_EQ(TrayBuilder::bytes(tray.path(filetype::kIndex)), index) << "nothing written into a foreign file";
}

TEST_F(TrayFileTest, HeadLengthBeyondTheFileOrStringsOverrunningItAreRejected) {
  const TrayFile tray = builder.createTray("Inbox");
  const std::string good = TrayBuilder::bytes(tray.path(filetype::kIndex));
  TrayBuilder::write(tray.path(filetype::kIndex), le(0xFFFFFF00) + good.substr(4));
  EXPECT_FALSE(tray.exists());
  std::string overrun = good;
  overrun.replace(24, 4, le(0x7FFFFFFF));  // the description's byte count
  TrayBuilder::write(tray.path(filetype::kIndex), overrun);
  EXPECT_TRUE(tray.exists());
  EXPECT_FALSE(tray.properties());
}

TEST_F(TrayFileTest, TruncatedIndexHasNoRecordAndTheNextAppendIsRecordZero) {
  const TrayFile tray = builder.createTray("Inbox");
  const std::string head = TrayBuilder::bytes(tray.path(filetype::kIndex));
  TrayBuilder::write(tray.path(filetype::kIndex), head + std::string(169, 'x'));
  EXPECT_EQ(tray.recordCount(), 0U);
  TrayRecord out;
  EXPECT_EQ(tray.read(0, out), ReadResult::End);

  IndexRecord record;
  record.setSubject("first");
  EXPECT_EQ(tray.appendRecord(record), 0U);
  EXPECT_EQ(TrayBuilder::bytes(tray.path(filetype::kIndex)), head + std::string(record.bytes()));
}

TEST_F(TrayFileTest, AppendedMailIsStoredWithCrLfAndExactOffsets) {
  const TrayFile tray = builder.createTray("Inbox");
  builder.append(tray, "one", 1);
  builder.append(tray, "two", 2);

  const std::string first = "From sender@example.jp\r\nSubject: one\r\nMessage-Id: <one@example.jp>\r\n\r\nline 1\r\n";
  const std::string second =
      "From sender@example.jp\r\nSubject: two\r\nMessage-Id: <two@example.jp>\r\n\r\nline 1\r\nline 2\r\n";
  EXPECT_EQ(TrayBuilder::bytes(tray.path(filetype::kText)), first + second);

  TrayRecord out;
  ASSERT_EQ(tray.read(1, out), ReadResult::Live);
  EXPECT_EQ(out.record.textStart(), first.size());
  EXPECT_EQ(out.record.bodyStart(), first.size() + second.find("line 1"));
  EXPECT_EQ(out.record.headerLineCount(), 2U);
  EXPECT_EQ(out.record.bodyLineCount(), 2U);
  EXPECT_EQ(out.record.subject(), "two");

  EXPECT_EQ(tray.headerLines(1), "Subject: two\r\nMessage-Id: <two@example.jp>");
  auto body = tray.bodyReader(0);
  ASSERT_TRUE(body);
  std::string line;
  ASSERT_TRUE(body->next(line));
  EXPECT_EQ(line, "line 1");
  EXPECT_FALSE(body->next(line)) << "the body ends at its stored line count, not at the next mail";
}

TEST_F(TrayFileTest, AppendSessionKeepsTextAndRecordsInStepAcrossItsBlockWrites) {
  const TrayFile tray = builder.createTray("Inbox");
  {
    auto first = tray.appender();
    ASSERT_TRUE(first);
    auto session = std::move(*first);  // the moved-from session must write nothing twice
    for (std::uint32_t i = 0; i < 3000; ++i) {
      const MailText mail = TrayBuilder::mail("m" + std::to_string(i), 40);
      ASSERT_EQ(session.appendMail(mail, IndexRecord{}), i);
    }
    EXPECT_FALSE(TrayFile(builder.store(), "Inbox").reader()) << "the session holds the tray";
    ASSERT_TRUE(session.finish());
  }
  EXPECT_EQ(tray.recordCount(), 3000U);
  EXPECT_EQ(tray.headerLines(2999), "Subject: m2999\r\nMessage-Id: <m2999@example.jp>");
  TrayRecord last;
  ASSERT_EQ(tray.read(2999, last), ReadResult::Live);
  std::string text = TrayBuilder::bytes(tray.path(filetype::kText));
  EXPECT_EQ(text.substr(last.record.bodyStart()), [] {
    std::string body;
    for (int i = 1; i <= 40; ++i) body += "line " + std::to_string(i) + "\r\n";
    return body;
  }());
}

TEST_F(TrayFileTest, AbandonedAppendSessionTakesBackWhatItHadWritten) {
  const TrayFile tray = builder.createTray("Inbox");
  builder.append(tray, "kept");
  const std::string text = TrayBuilder::bytes(tray.path(filetype::kText));
  const std::string index = TrayBuilder::bytes(tray.path(filetype::kIndex));
  {
    auto session = tray.appender();
    ASSERT_TRUE(session);
    // Enough mails that earlier blocks are on disk before the session ends.
    for (int i = 0; i < 3000; ++i) ASSERT_TRUE(session->appendMail(TrayBuilder::mail("m", 40), IndexRecord{}));
    ASSERT_TRUE(session->flush());
    ASSERT_TRUE(session->appendMail(TrayBuilder::mail("gathered"), IndexRecord{}));
    EXPECT_TRUE(session->abandon());
    EXPECT_FALSE(session->appendMail(TrayBuilder::mail("late"), IndexRecord{})) << "the session has ended";
  }
  EXPECT_EQ(TrayBuilder::bytes(tray.path(filetype::kText)), text);
  EXPECT_EQ(TrayBuilder::bytes(tray.path(filetype::kIndex)), index);
  EXPECT_EQ(tray.appendMail(TrayBuilder::mail("next"), IndexRecord{}), 1U);
  EXPECT_EQ(tray.headerLines(1), "Subject: next\r\nMessage-Id: <next@example.jp>");
}

TEST_F(TrayFileTest, MailTextThatWouldBreakTheLayoutIsRefused) {
  const TrayFile tray = builder.createTray("Inbox");
  MailText mail = TrayBuilder::mail("x");
  mail.body.push_back("smuggled\r\nFrom evil");
  EXPECT_FALSE(tray.appendMail(mail, IndexRecord{}));
  mail = TrayBuilder::mail("x");
  mail.separator = "Subject: no separator";
  EXPECT_FALSE(tray.appendMail(mail, IndexRecord{}));
  EXPECT_EQ(tray.recordCount(), 0U);
  EXPECT_EQ(TrayBuilder::bytes(tray.path(filetype::kText)), "");
}

TEST_F(TrayFileTest, OffsetsPastTheTextGiveNoTextInsteadOfACrash) {
  const TrayFile tray = builder.createTray("Inbox");
  builder.append(tray, "real");
  const std::string text = TrayBuilder::bytes(tray.path(filetype::kText));
  IndexRecord record;
  record.setTextStart(5000);
  record.setBodyStart(6000);
  record.setHeaderLineCount(3);
  record.setBodyLineCount(3);
  ASSERT_EQ(tray.appendRecord(record), 1U);
  EXPECT_FALSE(tray.headerLines(1));
  EXPECT_FALSE(tray.bodyReader(1));
  EXPECT_TRUE(tray.deleteMail(1, true));
  EXPECT_EQ(TrayBuilder::bytes(tray.path(filetype::kText)), text) << "no marker written beyond the end";
  TrayRecord out;
  EXPECT_EQ(tray.read(1, out), ReadResult::Deleted);
}

TEST_F(TrayFileTest, TextFileWithoutSeparatorLineGivesNoHeader) {
  const TrayFile tray = builder.createTray("Inbox");
  TrayBuilder::write(tray.path(filetype::kText), "Subject: lost\r\n\r\nbody\r\n");
  IndexRecord record;
  record.setBodyStart(17);
  record.setHeaderLineCount(1);
  record.setBodyLineCount(1);
  ASSERT_EQ(tray.appendRecord(record), 0U);
  builder.append(tray, "keeps the tray from being emptied");
  EXPECT_FALSE(tray.headerLines(0));
  const std::string before = TrayBuilder::bytes(tray.path(filetype::kText));
  tray.deleteMail(0, false);
  EXPECT_EQ(TrayBuilder::bytes(tray.path(filetype::kText)).substr(0, 5), before.substr(0, 5))
      << "the marker only ever replaces a separator line";
}

TEST_F(TrayFileTest, FlagsMarksAndReferenceCountsChangeOnlyTheirBits) {
  const TrayFile tray = builder.createTray("Inbox");
  builder.append(tray, "one");
  ASSERT_TRUE(tray.changeFlags(0, recordflag::kOpened, true));
  ASSERT_TRUE(tray.setMark(0, 3));
  for (int i = 0; i < 15; ++i) ASSERT_EQ(tray.changeReferenceCount(0, +1), LinkResult::Done);
  EXPECT_EQ(tray.changeReferenceCount(0, +1), LinkResult::LimitReached);

  TrayRecord out;
  ASSERT_EQ(tray.read(0, out), ReadResult::Live);
  EXPECT_EQ(out.record.flags(), recordflag::kOpened | 0x30000U | recordflag::kReferenceMask);
  ASSERT_TRUE(tray.clearReferenceCount(0));
  ASSERT_TRUE(tray.changeFlags(0, recordflag::kOpened, false));
  ASSERT_EQ(tray.changeReferenceCount(0, -1), LinkResult::Done);
  ASSERT_EQ(tray.read(0, out), ReadResult::Live);
  EXPECT_EQ(out.record.flags(), 0x30000U) << "the count stays at 0";
  EXPECT_FALSE(tray.setMark(7, 1)) << "no record 7";
}

TEST_F(TrayFileTest, DeletingWritesTheMarkerAndTheLastLiveMailEmptiesTheTray) {
  const TrayFile tray = builder.createTray("Inbox");
  builder.append(tray, "one");
  builder.append(tray, "two");
  const std::string text = TrayBuilder::bytes(tray.path(filetype::kText));
  const std::string head = TrayBuilder::bytes(tray.path(filetype::kIndex)).substr(0, 8);

  ASSERT_TRUE(tray.deleteMail(0, false));
  std::string expected = text;
  expected.replace(0, 19, "From DeleteZorvik\r\n");
  EXPECT_EQ(TrayBuilder::bytes(tray.path(filetype::kText)), expected);
  TrayRecord out;
  EXPECT_EQ(tray.read(0, out), ReadResult::Deleted);
  EXPECT_EQ(tray.count(false), 1U);

  ASSERT_TRUE(tray.deleteMail(1, false));
  EXPECT_EQ(TrayBuilder::bytes(tray.path(filetype::kText)), "");
  EXPECT_EQ(TrayBuilder::bytes(tray.path(filetype::kIndex)).size(), IndexHead::readWord(head, 0));
  EXPECT_EQ(tray.properties(), TrayProperties{}) << "emptying keeps the properties";
}

TEST_F(TrayFileTest, DeletionThatCannotWriteTheIndexLeavesTheMailWhole) {
  const TrayFile tray = builder.createTray("Inbox");
  builder.append(tray, "one");
  const std::string text = TrayBuilder::bytes(tray.path(filetype::kText));
  StoreLocation indexRefused = builder.store();
  indexRefused.writeCheck = [](std::string_view path) { return path.substr(path.size() - 4) != ".XM1"; };
  EXPECT_FALSE(TrayFile(indexRefused, "Inbox").deleteMail(0, false));
  EXPECT_EQ(TrayBuilder::bytes(tray.path(filetype::kText)), text) << "a live mail must keep its separator";
  EXPECT_EQ(tray.headerLines(0), "Subject: one\r\nMessage-Id: <one@example.jp>");
}

TEST_F(TrayFileTest, MarkerNeverRunsIntoTheNextMail) {
  const TrayFile tray = builder.createTray("Inbox");
  MailText tiny;  // "From \r\n\r\n": 9 bytes, shorter than the marker
  ASSERT_EQ(tray.appendMail(tiny, IndexRecord{}), 0U);
  builder.append(tray, "next");
  const std::string text = TrayBuilder::bytes(tray.path(filetype::kText));
  ASSERT_TRUE(tray.deleteMail(0, false));
  EXPECT_EQ(TrayBuilder::bytes(tray.path(filetype::kText)), text);
  EXPECT_EQ(tray.headerLines(1), "Subject: next\r\nMessage-Id: <next@example.jp>");
}

TEST_F(TrayFileTest, AttachmentFolderIsRemovedOnlyInsideTheAttachmentRoot) {
  const TrayFile tray = builder.createTray("Inbox");
  const std::string root = builder.store().topCabinetPath() + "/.inc";
  std::filesystem::create_directories(root + "/261207.000");
  std::filesystem::create_directories(builder.store().root + "/victim");
  for (const std::string folder : {"261207.000", "../../victim"}) {
    MailText mail = TrayBuilder::mail("att");
    mail.header.push_back("X-Zorvik-AttachDir: " + folder);
    IndexRecord record;
    record.setFlags(recordflag::kAttachments);
    ASSERT_TRUE(tray.appendMail(mail, record));
  }
  builder.append(tray, "keeps the tray from being emptied");
  ASSERT_TRUE(tray.deleteMail(0, true));
  ASSERT_TRUE(tray.deleteMail(1, true));
  EXPECT_FALSE(std::filesystem::exists(root + "/261207.000"));
  EXPECT_TRUE(std::filesystem::exists(builder.store().root + "/victim"));
}

TEST_F(TrayFileTest, RewritingPropertiesKeepsEveryRecordByteForByte) {
  const TrayFile tray = builder.createTray("Inbox");
  builder.append(tray, "one");
  builder.append(tray, "two");
  const std::string before = TrayBuilder::bytes(tray.path(filetype::kIndex));
  const std::uint32_t oldHead = IndexHead::readWord(before, 0);
  TrayProperties changed;
  changed.description = "a much longer description than before";
  ASSERT_TRUE(tray.rewriteProperties(changed));
  const std::string after = TrayBuilder::bytes(tray.path(filetype::kIndex));
  EXPECT_EQ(after, IndexHead::encode(changed) + before.substr(oldHead));
  EXPECT_FALSE(std::filesystem::exists(tray.path(filetype::kNewIndex)));

  changed.flags = 0xABCD;
  changed.userDisplayDays = 30;
  ASSERT_TRUE(tray.writeHeadValues(changed));
  EXPECT_EQ(tray.properties(), changed);
}

TEST_F(TrayFileTest, RenameMovesBothFilesButNeverOverAnotherTray) {
  const TrayFile tray = builder.createTray("Old");
  builder.append(tray, "one");
  builder.createTray("Taken");
  EXPECT_FALSE(tray.rename("Taken"));
  EXPECT_EQ(builder.tray("Taken").recordCount(), 0U);
  ASSERT_TRUE(tray.rename("New"));
  EXPECT_FALSE(tray.exists());
  EXPECT_EQ(builder.tray("New").headerLines(0), "Subject: one\r\nMessage-Id: <one@example.jp>");
}

TEST_F(TrayFileTest, RestampChangesOnlyTheFirstMailInPlace) {
  const TrayFile tray = builder.createTray("Unsent");
  const std::string text =
      "From \r\nDate: Mon, 07 Dec 2026 09:30:00 +0900\r\nZorvik: 100,x,0,0,0\r\nZorvik: 1\r\n\r\n"
      "Zorvik: 100 in the body\r\nFrom \r\nZorvik: 100,y,0,0,0\r\n\r\n";
  TrayBuilder::write(tray.path(filetype::kText), text);
  ASSERT_TRUE(tray.restampFirstMail("Date: Tue, 08 Dec 2026 10:00:00 +0900"));
  std::string expected = text;
  expected.replace(7, 37, "Date: Tue, 08 Dec 2026 10:00:00 +0900");
  expected.replace(46, 11, "Zorvik: 101");
  EXPECT_EQ(TrayBuilder::bytes(tray.path(filetype::kText)), expected)
      << "a stamp line too short for the stamp and every line after the header stay";

  ASSERT_TRUE(tray.restampFirstMail("Date: short"));
  EXPECT_EQ(TrayBuilder::bytes(tray.path(filetype::kText)), expected) << "a Date of another length stays";

  TrayBuilder::write(tray.path(filetype::kText), "From \r\nX-Long: " + std::string(5000, 'a') + "\r\n\r\n");
  EXPECT_FALSE(tray.restampFirstMail("Date: x"));
}

}  // namespace
}  // namespace zorvik::store
