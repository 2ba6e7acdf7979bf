#include <gtest/gtest.h>

#include <filesystem>

#include "core/Messages.h"
#include "platform/FileLock.h"
#include "store/LinkRecord.h"
#include "store/RecordFlags.h"
#include "store/TrayFile.h"
#include "support/RecordingReporter.h"
#include "support/TrayBuilder.h"

namespace zorvik::store {
namespace {

using core::MessageNumber;

using test::TrayBuilder;

class LinkTest : public ::testing::Test {
protected:
  void SetUp() override {
    platform::FileLock::setRetry({3, std::chrono::milliseconds(1)});
    builder.append(source, "zero");
    builder.append(source, "one");
  }
  void TearDown() override { platform::FileLock::setRetry({}); }

  TrayBuilder builder;
  TrayFile source = builder.createTray("Source");
  TrayFile dest = builder.createTray("Dest");
};

TEST_F(LinkTest, LinkReadsAsTheTargetMailAndCountsTheReference) {
  std::uint32_t at = 99;
  ASSERT_EQ(source.linkInto(1, dest, &at), LinkResult::Done);
  EXPECT_EQ(at, 0U);

  const std::string index = TrayBuilder::bytes(dest.path(filetype::kIndex));
  EXPECT_EQ(index.substr(index.size() - 170), std::string(LinkRecord::make("Source", 1)->bytes()));

  TrayRecord out;
  ASSERT_EQ(dest.read(0, out), ReadResult::Live);
  EXPECT_TRUE(out.isLink());
  EXPECT_EQ(out.record.subject(), "one");
  EXPECT_EQ(out.linkTarget, "Source");
  EXPECT_EQ(out.linkIndex, 1U);
  EXPECT_EQ(out.record.referenceCount(), 1);
  EXPECT_EQ(dest.headerLines(0), "Subject: one\r\nMessage-Id: <one@example.jp>");
  auto body = dest.bodyReader(0);
  std::string line;
  ASSERT_TRUE(body && body->next(line));
  EXPECT_EQ(line, "line 1") << "the body comes from the target tray's text";
}

TEST_F(LinkTest, SixteenthLinkFailsWithItsMessageAndLeavesBothTraysUnchanged) {
  test::RecordingReporter reporter;
  core::Messages messages(reporter);
  for (int i = 0; i < 15; ++i) ASSERT_EQ(source.linkInto(0, dest, messages), LinkResult::Done);
  EXPECT_TRUE(reporter.boxes().empty());
  const std::string sourceIndex = TrayBuilder::bytes(source.path(filetype::kIndex));
  const std::string destIndex = TrayBuilder::bytes(dest.path(filetype::kIndex));
  EXPECT_EQ(source.linkInto(0, dest, messages), LinkResult::LimitReached);
  ASSERT_EQ(reporter.boxes().size(), 1U);
  EXPECT_EQ(reporter.boxes()[0].text, core::Messages::text(MessageNumber::TooManyLinks, {"Source"}));
  EXPECT_EQ(TrayBuilder::bytes(source.path(filetype::kIndex)), sourceIndex);
  EXPECT_EQ(TrayBuilder::bytes(dest.path(filetype::kIndex)), destIndex);
}

TEST_F(LinkTest, ReleaseLowersTheCountAndDeletesTheLink) {
  ASSERT_EQ(source.linkInto(0, dest), LinkResult::Done);
  ASSERT_EQ(source.linkInto(0, dest), LinkResult::Done);
  EXPECT_EQ(dest.releaseLink(0), ReadResult::Live);
  TrayRecord out;
  ASSERT_EQ(source.read(0, out), ReadResult::Live);
  EXPECT_EQ(out.record.referenceCount(), 1);
  EXPECT_EQ(dest.read(0, out), ReadResult::Deleted);
  EXPECT_EQ(dest.releaseLink(5), ReadResult::End);
  EXPECT_EQ(source.releaseLink(1), ReadResult::Live) << "a stored mail is no link to release";
  ASSERT_EQ(source.read(1, out), ReadResult::Live);
}

TEST_F(LinkTest, LinkToRemovedTrayReadsAsDeletedAndBroken) {
  ASSERT_EQ(source.linkInto(1, dest), LinkResult::Done);
  std::filesystem::remove(source.path(filetype::kIndex));
  std::filesystem::remove(source.path(filetype::kText));
  TrayRecord out;
  EXPECT_EQ(dest.read(0, out), ReadResult::Deleted);
  EXPECT_TRUE(out.record.hasFlag(recordflag::kBrokenLink));
  EXPECT_EQ(out.linkTarget, "Source");
  EXPECT_EQ(dest.count(false), 0U);

  // Releasing a broken link only sets its deleted bit; the broken bit is
  // never written.
  EXPECT_EQ(dest.releaseLink(0), ReadResult::Deleted);
  const std::string index = TrayBuilder::bytes(dest.path(filetype::kIndex));
  EXPECT_EQ(index.substr(index.size() - 170, 4), std::string("\x03\0\0\0", 4));
}

TEST_F(LinkTest, LinkToDeletedMailOrToAnotherLinkIsBroken) {
  ASSERT_EQ(source.linkInto(0, dest), LinkResult::Done);
  ASSERT_TRUE(dest.writeLink(std::nullopt, "Dest", 0));  // a chain: link to a link
  ASSERT_TRUE(dest.writeLink(std::nullopt, "Dest", 1));  // a link to itself
  ASSERT_TRUE(dest.writeLink(std::nullopt, "Source", 77));
  ASSERT_TRUE(dest.writeLink(std::nullopt, "../../etc/passwd", 0));
  TrayRecord out;
  for (std::uint32_t i = 1; i <= 4; ++i) {
    EXPECT_EQ(dest.read(i, out), ReadResult::Deleted) << "record " << i;
    EXPECT_TRUE(out.record.hasFlag(recordflag::kBrokenLink)) << "record " << i;
  }
  EXPECT_EQ(source.linkInto(0, dest), LinkResult::Done);
  ASSERT_TRUE(source.deleteMail(1, false));
  ASSERT_TRUE(dest.writeLink(std::nullopt, "Source", 1));
  EXPECT_EQ(dest.read(6, out), ReadResult::Deleted);
  EXPECT_EQ(dest.count(false), 2U);
}

TEST_F(LinkTest, LinksNeverLinkAgainAndSameTrayLinksWork) {
  ASSERT_EQ(source.linkInto(0, dest), LinkResult::Done);
  EXPECT_EQ(dest.linkInto(0, source), LinkResult::Failed);
  std::uint32_t at = 0;
  ASSERT_EQ(source.linkInto(0, source, &at), LinkResult::Done);
  EXPECT_EQ(at, 2U);
  TrayRecord out;
  ASSERT_EQ(source.read(2, out), ReadResult::Live);
  EXPECT_EQ(out.record.subject(), "zero");
  EXPECT_EQ(out.record.referenceCount(), 2);
}

}  // namespace
}  // namespace zorvik::store
