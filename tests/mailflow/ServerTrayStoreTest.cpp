// The mail-server tray over real tray files: how copies are found again by
// header and ordinal, what survives between sessions, and how positions
// move when removed and vanished copies are compacted away.
#include <gtest/gtest.h>

#include <string>

#include "message/MailRecordParser.h"
#include "mailflow/StoreMailServerTray.h"
#include "platform/FileSystem.h"
#include "store/TrayFile.h"
#include "support/TrayBuilder.h"

namespace zorvik::mailflow {
using namespace zorvik::net;
namespace {

using CopyState = MailServerTray::CopyState;

std::string header(const std::string& subject, const std::string& id = "1@x",
                   const std::string& date = "Mon, 07 Dec 2026 09:30:00 +0900") {
  return "Subject: " + subject + "\r\nMessage-Id: <" + id + ">\r\nDate: " + date + "\r\n";
}

class ServerTrayStoreTest : public ::testing::Test {
protected:
  ServerTrayStoreTest() { builder.createTray("server"); }
  StoreMailServerTray open() { return StoreMailServerTray(builder.store(), "server", message::ParseContext{}); }
  // Adds a copy the way a session does for a header it has not seen.
  int add(StoreMailServerTray& tray, const std::string& text) {
    const int index = tray.append(text, 100);
    tray.markPresent(index);
    return index;
  }

  test::TrayBuilder builder;
};

TEST_F(ServerTrayStoreTest, EqualHeadersAreToldApartByOrdinalAndStatesSurviveANewSession) {
  {
    StoreMailServerTray tray = open();
    tray.beginListing();
    EXPECT_EQ(add(tray, header("same")), 0);
    EXPECT_EQ(add(tray, header("other", "2@x")), 1);
    EXPECT_EQ(add(tray, header("same")), 2);
    tray.markReceived(2);
  }
  StoreMailServerTray tray = open();
  tray.beginListing();
  const std::string key = tray.headerKey(header("same"), 100);
  EXPECT_EQ(key, tray.headerKey(header("same"), 555)) << "the size is not part of the identity";
  const auto first = tray.find(key, 0);
  const auto second = tray.find(key, 1);
  EXPECT_EQ(first.index, 0);
  EXPECT_EQ(first.state, CopyState::Unread);
  EXPECT_EQ(second.index, 2);
  EXPECT_EQ(second.state, CopyState::Received);
  EXPECT_EQ(tray.find(key, 2).state, CopyState::Missing);
  EXPECT_EQ(tray.find(tray.headerKey(header("same", "1@x", "Tue, 08 Dec 2026 09:30:00 +0900"), 1), 0).state,
            CopyState::Missing)
      << "another date is another mail";
  EXPECT_EQ(tray.stateAt(2), CopyState::Received);
  EXPECT_EQ(tray.stateAt(3), CopyState::Missing) << "a stale position names nothing";
  EXPECT_EQ(tray.stateAt(-1), CopyState::Missing);
}

TEST_F(ServerTrayStoreTest, EncodedAndLongSubjectsMatchTheirStoredCopy) {
  StoreMailServerTray tray = open();
  tray.beginListing();
  // Stored decoded and cut at 80 bytes; the key of the same header still finds it.
  const std::string encoded = header("=?ISO-2022-JP?B?GyRCRnxLXBsoQg==?= " + std::string(120, 'x'));
  const int index = add(tray, encoded);
  const auto found = tray.find(tray.headerKey(encoded, 1), 0);
  EXPECT_EQ(found.index, index);
  EXPECT_EQ(found.state, CopyState::Unread);
  // A header without Date dates the same in every session.
  const std::string undated = "Subject: no date\r\n";
  const int plain = add(tray, undated);
  EXPECT_EQ(open().find(tray.headerKey(undated, 1), 0).index, plain);
}

TEST_F(ServerTrayStoreTest, CompactionReportsRemovedAndVanishedPositionsAndKeepsTheRest) {
  {
    StoreMailServerTray tray = open();
    tray.beginListing();
    for (int i = 0; i < 5; ++i) add(tray, header("m" + std::to_string(i), std::to_string(i) + "@x"));
    tray.markReceived(4);
    tray.markUnsavedAttachment(4);
  }
  StoreMailServerTray tray = open();
  tray.beginListing();
  // The next listing sees 0, 1, 3 and 4 on the server; 1 is then deleted there.
  for (const int i : {0, 1, 3, 4}) tray.markPresent(i);
  tray.remove(1);
  EXPECT_EQ(tray.stateAt(1), CopyState::Missing);
  EXPECT_EQ(tray.compact(), (std::vector<int>{1, 2})) << "removed 1, vanished 2";

  StoreMailServerTray again = open();
  again.beginListing();
  EXPECT_EQ(again.liveCount(), 3);
  const auto moved = again.find(again.headerKey(header("m4", "4@x"), 1), 0);
  EXPECT_EQ(moved.index, 2);
  EXPECT_EQ(moved.state, CopyState::Received);
  EXPECT_TRUE(again.hasUnsavedAttachment(2)) << "marks move with their copy";
  EXPECT_EQ(again.find(again.headerKey(header("m0", "0@x"), 1), 0).index, 0);
  EXPECT_EQ(again.find(again.headerKey(header("m2", "2@x"), 1), 0).state, CopyState::Missing);
  // A copy appended by a header is readable as a mail of the tray.
  const auto text = builder.tray("server").headerLines(0);
  ASSERT_TRUE(text);
  EXPECT_NE(text->find("Subject: m0"), std::string::npos);

  EXPECT_TRUE(again.clear());
  EXPECT_EQ(again.liveCount(), 0);
}

// The tray mirrors one mailbox: another server or user starts it afresh,
// so the old mailbox's identifiers can neither hide nor delete new mail.
TEST_F(ServerTrayStoreTest, AnotherAccountStartsTheTrayAfresh) {
  StoreMailServerTray tray = open();
  tray.beginListing();
  add(tray, header("kept"));
  ASSERT_TRUE(platform::writeFileAtomically(tray.uidFilePath(), "0 abc\r\n"));
  tray.followAccount("pop.example.jp\ntaro");
  tray.followAccount("pop.example.jp\ntaro");
  EXPECT_EQ(tray.liveCount(), 1) << "a tray kept before accounts were noted is taken as this account's";
  EXPECT_TRUE(platform::pathExists(tray.uidFilePath()));
  tray.followAccount("pop.example.jp\nhanako");
  EXPECT_EQ(tray.liveCount(), 0);
  EXPECT_FALSE(platform::pathExists(tray.uidFilePath()));
}

}  // namespace
}  // namespace zorvik::mailflow
