#include <gtest/gtest.h>

#include <vector>

#include "platform/FileLock.h"
#include "store/IndexHead.h"
#include "store/TrayCompactor.h"
#include "store/TrayFile.h"
#include "support/TrayBuilder.h"

namespace zorvik::store {
namespace {

using test::TrayBuilder;

class RecordingListener : public CompactionListener {
public:
  void recordMoved(std::string_view tray, std::uint32_t oldIndex, std::uint32_t newIndex) override {
    moves.push_back(std::string(tray) + ":" + std::to_string(oldIndex) + "->" + std::to_string(newIndex));
  }
  std::vector<std::string> moves;
};

class CompactionTest : public ::testing::Test {
protected:
  void SetUp() override { platform::FileLock::setRetry({3, std::chrono::milliseconds(1)}); }
  void TearDown() override { platform::FileLock::setRetry({}); }

  std::string text() const { return TrayBuilder::bytes(tray.path(filetype::kText)); }
  std::string index() const { return TrayBuilder::bytes(tray.path(filetype::kIndex)); }
  std::uint32_t head() const { return IndexHead::readWord(index(), 0); }
  IndexRecord record(std::uint32_t i) const {
    return IndexRecord::fromBytes(index().data() + head() + i * IndexRecord::kSize);
  }
  bool compact(CompactionListener* listener = nullptr) const {
    return TrayCompactor(builder.store()).compact("Box", listener);
  }

  TrayBuilder builder;
  TrayFile tray = builder.createTray("Box");
  TrayFile other = builder.createTray("Other");
};

TEST_F(CompactionTest, AllDeletedLeavesTheHeadAndAnEmptyText) {
  for (const char* s : {"a", "b", "c"}) builder.append(tray, s);
  ASSERT_TRUE(other.writeLink(std::nullopt, "Box", 0));
  for (std::uint32_t i = 0; i < 3; ++i) ASSERT_TRUE(tray.changeFlags(i, 1, true));
  ASSERT_TRUE(compact());
  EXPECT_EQ(index().size(), head());
  EXPECT_EQ(text(), "");
}

TEST_F(CompactionTest, ATextOfManyBlocksKeepsEveryLiveMailByteForByte) {
  // Mails of uneven length over several megabytes, so that kept text and
  // gaps fall across the boundaries of the blocks the text is moved in.
  {
    auto session = tray.appender();
    ASSERT_TRUE(session);
    for (int i = 0; i < 6000; ++i)
      ASSERT_TRUE(session->appendMail(TrayBuilder::mail("m" + std::to_string(i), 20 + i % 37), IndexRecord{}));
  }
  const std::string before = text();
  const std::string records = index().substr(head());
  const auto startOf = [&](std::uint32_t i) -> std::uint64_t {
    if (i == 6000) return before.size();
    return IndexRecord::fromBytes(records.data() + i * IndexRecord::kSize).textStart();
  };
  std::string expected;
  for (std::uint32_t i = 0; i < 6000; ++i) {
    if (i % 3 == 1 || i % 7 == 0) {
      ASSERT_TRUE(tray.changeFlags(i, 1, true));
      continue;
    }
    expected += before.substr(startOf(i), startOf(i + 1) - startOf(i));
  }
  ASSERT_TRUE(compact());
  EXPECT_EQ(text(), expected);
  EXPECT_EQ(tray.headerLines(0), "Subject: m2\r\nMessage-Id: <m2@example.jp>");
  const std::uint32_t last = *tray.recordCount() - 1;
  EXPECT_EQ(tray.headerLines(last), "Subject: m5997\r\nMessage-Id: <m5997@example.jp>");
}

TEST_F(CompactionTest, DeletedMailsInTheMiddleMoveLaterOffsetsDown) {
  for (const char* s : {"a", "b", "c", "d", "e"}) builder.append(tray, s, 1);
  const std::string before = text();
  const IndexRecord a = record(0), b = record(1), d = record(3), e = record(4);
  ASSERT_TRUE(tray.changeFlags(1, 1, true));
  ASSERT_TRUE(tray.changeFlags(2, 1, true));
  ASSERT_TRUE(tray.changeReferenceCount(4, +1) == LinkResult::Done);
  const IndexRecord e2 = record(4);

  RecordingListener listener;
  ASSERT_TRUE(compact(&listener));
  const std::uint32_t removed = d.textStart() - b.textStart();
  EXPECT_EQ(text(), before.substr(0, b.textStart()) + before.substr(d.textStart()));
  ASSERT_EQ(index().size(), head() + 3 * IndexRecord::kSize);
  EXPECT_EQ(record(0), a);
  IndexRecord movedD = d;
  movedD.setTextStart(d.textStart() - removed);
  movedD.setBodyStart(d.bodyStart() - removed);
  EXPECT_EQ(record(1), movedD);
  IndexRecord movedE = e2;
  movedE.setTextStart(e.textStart() - removed);
  movedE.setBodyStart(e.bodyStart() - removed);
  EXPECT_EQ(record(2), movedE);
  EXPECT_EQ(listener.moves, std::vector<std::string>{"Box:4->2"}) << "only the referenced mail is reported";
  EXPECT_EQ(tray.headerLines(2), "Subject: e\r\nMessage-Id: <e@example.jp>");
}

TEST_F(CompactionTest, TrailingDeletedMailsAndLeadingBytesAreCut) {
  builder.append(tray, "a", 1);
  builder.append(tray, "b", 1);
  const std::string mails = text();
  TrayBuilder::write(tray.path(filetype::kText), "junk\r\n" + mails);
  for (std::uint32_t i = 0; i < 2; ++i) {
    IndexRecord r = record(i);
    r.setTextStart(r.textStart() + 6);
    r.setBodyStart(r.bodyStart() + 6);
    ASSERT_TRUE(tray.writeRecord(i, r));
  }
  ASSERT_TRUE(tray.changeFlags(1, 1, true));
  ASSERT_TRUE(compact());
  EXPECT_EQ(text(), mails.substr(0, record(0).bodyStart() + 8));
  EXPECT_EQ(record(0).textStart(), 0U);
}

TEST_F(CompactionTest, DeletedLinkRemovesNoText) {
  builder.append(tray, "a", 1);
  ASSERT_TRUE(tray.writeLink(std::nullopt, "Other", 0));
  builder.append(tray, "b", 1);
  const std::string before = text();
  const IndexRecord b = record(2);
  ASSERT_TRUE(tray.changeFlags(1, 1, true));
  ASSERT_TRUE(compact());
  EXPECT_EQ(text(), before);
  EXPECT_EQ(record(1), b);
}

TEST_F(CompactionTest, RecordsOutOfTextOrderLeaveTheTrayUntouched) {
  builder.append(tray, "a", 1);
  builder.append(tray, "b", 1);
  builder.append(tray, "c", 1);
  IndexRecord swapped = record(0);
  ASSERT_TRUE(tray.writeRecord(0, record(2)));
  ASSERT_TRUE(tray.writeRecord(2, swapped));
  ASSERT_TRUE(tray.changeFlags(1, 1, true));
  const std::string textBefore = text(), indexBefore = index();
  EXPECT_FALSE(compact());
  EXPECT_EQ(text(), textBefore);
  EXPECT_EQ(index(), indexBefore);

  IndexRecord pastEnd = record(1);
  pastEnd.setFlags(0);
  pastEnd.setBodyStart(100000);
  ASSERT_TRUE(tray.writeRecord(1, pastEnd));
  EXPECT_FALSE(compact());
}

}  // namespace
}  // namespace zorvik::store
