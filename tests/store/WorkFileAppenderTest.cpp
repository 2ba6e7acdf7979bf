// Mails moved from the new-mail work file into a tray, and composed mails
// stored in a tray: the text, the index records and what reads them back.
#include "store/WorkFileAppender.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

#include "platform/FileSystem.h"
#include "store/MailRecordIndex.h"
#include "store/OperationStep.h"
#include "support/TrayBuilder.h"

namespace zorvik::store {
namespace {

using test::TrayBuilder;
using message::mailflag::kAttachments;
using message::mailflag::kFragment;
using message::mailflag::kSentByUser;
using message::mailflag::kToUser;

constexpr std::time_t kNow = 1796603405;  // 2026-12-07 09:30:05 JST
const std::string kNihongoSjis = "\x93\xfa\x96{\x8c\xea";

const std::string kWorkFile =
    "From  \r\n"
    "Subject: =?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?=\r\n"
    "From: Taro <taro@example.jp>\r\n"
    "To: me@example.jp\r\n"
    "Message-Id: <m1@example.jp>\r\n"
    "Date: Mon, 7 Dec 2026 09:30:05 +0900\r\n"
    "Received: by pop\r\n"
    "\r\n"
    "\x1b$BF|K\\8l\x1b(B\r\n"
    "second line\r\n"
    "From  \r\n"
    "Subject: my own copy\r\n"
    "From: me@example.jp\r\n"
    "To: Hanako <hanako@example.jp>, jiro@example.jp\r\n"
    "Message-Id: <m2@example.jp>\r\n"
    "Content-Type: multipart/mixed; boundary=b\r\n"
    "X-Zorvik-AttachDir: 1261207.000\r\n"
    "\r\n"
    "@#MIME \"%:a.txt\"\r\n"
    "From  \r\n"
    "Subject: fragment one\r\n"
    "Message-Id: <m3@example.jp>\r\n"
    "In-Reply-To: <m1@example.jp>\r\n"
    "Content-Type: message/partial; number=1\r\n"
    "\r\n";

class WorkFileAppenderTest : public ::testing::Test {
protected:
  WorkFileAppenderTest() : tray(builder.createTray("Inbox")) {
    TrayBuilder::write(workFile, kWorkFile);
  }

  std::vector<std::string> bodyOf(std::uint32_t index) const {
    auto reader = tray.bodyReader(index);
    std::vector<std::string> lines;
    std::string line;
    while (reader && reader->next(line)) lines.push_back(line);
    return lines;
  }

  TrayBuilder builder;
  TrayFile tray;
  std::string workFile = builder.store().root + "/RxMail.XM0";
  message::MailRecordParser parser{message::ParseContext{{}, 9, kNow, "me@example.jp"}};
};

TEST_F(WorkFileAppenderTest, MailsAreStoredDecodedWithTheirRecords) {
  builder.append(tray, "already there");
  const auto result = WorkFileAppender::append(workFile, tray, parser);
  ASSERT_TRUE(result);
  EXPECT_EQ(result->firstIndex, 1U);
  EXPECT_EQ(result->appended, 3U);
  EXPECT_TRUE(result->fragment);
  EXPECT_FALSE(platform::pathExists(workFile)) << "the work file is gone once its mails are stored";

  TrayRecord first;
  ASSERT_EQ(tray.read(1, first), ReadResult::Live);
  EXPECT_EQ(first.record.subject(), kNihongoSjis);
  EXPECT_EQ(first.record.listAddress(), "taro@example.jp");
  EXPECT_EQ(first.record.listName(), "Taro");
  EXPECT_EQ(first.record.date(), kNow);
  EXPECT_EQ(first.record.ownKey(), message::threadKeyOf("m1@example.jp"));
  EXPECT_EQ(first.record.flags(), kToUser);
  EXPECT_EQ(first.record.headerLineCount(), 6U);
  EXPECT_EQ(tray.headerLines(1), "Subject: " + kNihongoSjis +
                                     "\r\nFrom: Taro <taro@example.jp>\r\nTo: me@example.jp\r\n"
                                     "Message-Id: <m1@example.jp>\r\nDate: Mon, 7 Dec 2026 09:30:05 +0900\r\n"
                                     "Received: by pop");
  EXPECT_EQ(bodyOf(1), (std::vector<std::string>{kNihongoSjis, "second line"}));

  TrayRecord second;
  ASSERT_EQ(tray.read(2, second), ReadResult::Live);
  EXPECT_EQ(second.record.flags(), kSentByUser | kAttachments);
  EXPECT_EQ(second.record.listAddress(), "hanako@example.jp...") << "the user's mail shows its recipient";
  EXPECT_EQ(bodyOf(2), std::vector<std::string>{"@#MIME \"%:a.txt\""});

  TrayRecord third;
  ASSERT_EQ(tray.read(3, third), ReadResult::Live);
  EXPECT_TRUE(third.record.hasFlag(kFragment));
  EXPECT_EQ(third.record.parentKey(), first.record.ownKey());
  EXPECT_TRUE(bodyOf(3).empty());
}

TEST_F(WorkFileAppenderTest, StoredHeaderParsesBackToTheSameRecord) {
  ASSERT_TRUE(WorkFileAppender::append(workFile, tray, parser));
  for (std::uint32_t index = 0; index < 3; ++index) {
    TrayRecord stored;
    ASSERT_EQ(tray.read(index, stored), ReadResult::Live);
    message::MailRecord mail = MailRecordIndex::fromIndex(stored);
    parser.reparse(mail, *tray.headerLines(index));
    EXPECT_EQ(MailRecordIndex::toIndex(mail), stored.record) << "mail " << index;
  }
}

TEST_F(WorkFileAppenderTest, FilterAndLearner) {
  std::vector<std::string> learned;
  const auto result = WorkFileAppender::append(
      workFile, tray, parser, [](const message::MailRecord& mail) { return mail.subject != "fragment one"; },
      [&](const message::MailRecord& mail) { learned.push_back(mail.to); });
  ASSERT_TRUE(result);
  EXPECT_EQ(result->appended, 2U);
  EXPECT_FALSE(result->fragment) << "the dropped mail was the fragment";
  EXPECT_EQ(learned, std::vector<std::string>{"Hanako <hanako@example.jp>\r\njiro@example.jp"});
  EXPECT_EQ(TrayBuilder::bytes(tray.path(filetype::kText)).find("fragment one"), std::string::npos);
}

TEST_F(WorkFileAppenderTest, NothingIsLostWhenTheTrayCannotTakeTheMails) {
  const TrayFile missing(builder.store(), "NoSuchTray");
  EXPECT_FALSE(WorkFileAppender::append(workFile, missing, parser));
  EXPECT_TRUE(platform::pathExists(workFile)) << "the received mails stay for the next try";
  EXPECT_FALSE(WorkFileAppender::append(builder.store().root + "/none", tray, parser));
  EXPECT_EQ(tray.recordCount(), 0U);
}

TEST_F(WorkFileAppenderTest, AMailThatCannotBeStoredLeavesTheTrayAsItWasAndTheWorkFileWhole) {
  builder.append(tray, "already there");
  const std::string textPath = tray.path(filetype::kText);
  const auto textLength = std::filesystem::file_size(textPath);
  const std::string index = TrayBuilder::bytes(tray.path(filetype::kIndex));
  // A text just short of the 4 GB that records can address (sparse, so it
  // costs no disk): the first mail fits, the second is refused after it.
  const std::uintmax_t nearlyFull = std::numeric_limits<std::uint32_t>::max() - 400;
  std::filesystem::resize_file(textPath, nearlyFull);
  EXPECT_FALSE(WorkFileAppender::append(workFile, tray, parser));
  EXPECT_EQ(std::filesystem::file_size(textPath), nearlyFull);
  EXPECT_EQ(TrayBuilder::bytes(tray.path(filetype::kIndex)), index) << "the first mail must not stay behind";
  EXPECT_EQ(TrayBuilder::bytes(workFile), kWorkFile);

  // With room again the next try stores every mail once.
  std::filesystem::resize_file(textPath, textLength);
  ASSERT_TRUE(WorkFileAppender::append(workFile, tray, parser));
  EXPECT_EQ(tray.recordCount(), 4U);
  EXPECT_EQ(*tray.headerLines(3), "Subject: fragment one\r\nMessage-Id: <m3@example.jp>\r\n"
                                  "In-Reply-To: <m1@example.jp>\r\nContent-Type: message/partial; number=1");
}

TEST_F(WorkFileAppenderTest, TheMailsAreInTheTrayBeforeTheWorkFileGoes) {
  int steps = 0;
  setOperationStepHook([&] {
    ++steps;
    EXPECT_TRUE(platform::pathExists(workFile));
    EXPECT_EQ(tray.recordCount(), 3U) << "the tray's files are closed and complete";
  });
  EXPECT_TRUE(WorkFileAppender::append(workFile, tray, parser));
  setOperationStepHook({});
  EXPECT_EQ(steps, 1);
  EXPECT_FALSE(platform::pathExists(workFile));
}

TEST_F(WorkFileAppenderTest, ComposedMailIsStoredWithItsDraftBody) {
  const std::string draft = builder.store().root + "/draft.txt";
  TrayBuilder::write(draft, "Hello,\r\n\r\nFrom here on\r\n");
  message::MailRecord mail;
  mail.subject = "Plan";
  mail.to = "hanako@example.jp";
  mail.inReplyTo = "<m1@example.jp>";
  const message::ComposeSettings settings{"Me", "me@example.jp", "", false, 9, kNow};
  const auto index = MailRecordIndex::appendComposed(tray, mail, draft, settings, parser);
  ASSERT_TRUE(index);

  TrayRecord stored;
  ASSERT_EQ(tray.read(*index, stored), ReadResult::Live);
  EXPECT_EQ(stored.record.flags(), kSentByUser);
  EXPECT_EQ(stored.record.subject(), "Plan");
  EXPECT_EQ(stored.record.listAddress(), "hanako@example.jp");
  EXPECT_EQ(stored.record.parentKey(), message::threadKeyOf("m1@example.jp"));
  EXPECT_EQ(mail.textStart, stored.record.textStart());
  EXPECT_EQ(mail.textEnd, stored.record.bodyStart());
  EXPECT_EQ(bodyOf(*index), (std::vector<std::string>{"Hello,", "", "From here on"}));

  message::MailRecord again = MailRecordIndex::fromIndex(stored);
  parser.reparse(again, *tray.headerLines(*index));
  EXPECT_EQ(again.ownKey, stored.record.ownKey()) << "the key belongs to the stored Message-Id";
  EXPECT_EQ(again.internalCode, 100);
  EXPECT_EQ(MailRecordIndex::toIndex(again), stored.record);

  EXPECT_FALSE(MailRecordIndex::appendComposed(tray, mail, draft + ".missing", settings, parser));
  EXPECT_EQ(tray.recordCount(), 1U) << "nothing is added without a draft body";
}

TEST(MailRecordIndex, DatesBeyondTheRecordAreHeldAtItsEnds) {
  message::MailRecord mail;
  mail.date = static_cast<std::time_t>(std::numeric_limits<std::int32_t>::max()) + 100;
  EXPECT_EQ(MailRecordIndex::toIndex(mail).date(), std::numeric_limits<std::int32_t>::max());
  mail.date = -(std::time_t{1} << 40);
  EXPECT_EQ(MailRecordIndex::toIndex(mail).date(), std::numeric_limits<std::int32_t>::min());
}

}  // namespace
}  // namespace zorvik::store
