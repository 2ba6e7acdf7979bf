// A front end's check for new mail and its exit, on a real store (and a
// real POP3 server for the check).
#include <gtest/gtest.h>

#include <algorithm>

#include "mailflow/FlowScene.h"
#include "mailflow/NewMailCheck.h"
#include "mailflow/Shutdown.h"
#include "platform/TextEncoding.h"
#include "store/TrayFile.h"
#include "support/DovecotServer.h"
#include "support/TrayBuilder.h"

namespace zorvik::mailflow {
namespace {

TEST(NewMailCheck, ReportsTheCountersAndReceivesOnTheSameConnectionOnlyWhenMailWaits) {
  if (!test::DovecotServer::available()) GTEST_SKIP() << test::DovecotServer::missingReason();
  test::DovecotServer server;
  server.addUser("taro", "pw");
  ASSERT_TRUE(server.start()) << server.log();
  test::FlowScene scene;
  scene.usePopAccount(server.port(), "taro", "pw");
  EXPECT_TRUE(NewMailCheck::due(*scene.document, false));
  EXPECT_FALSE(NewMailCheck::due(*scene.document, true)) << "not while a connection is busy";

  const CheckReport empty = NewMailCheck::run(*scene.document, scene.front);
  ASSERT_TRUE(empty.counters.has_value()) << server.log();
  EXPECT_EQ(empty.counters->serverCount, 0);
  EXPECT_FALSE(empty.sendReceive.has_value()) << "nothing waits: it quits";

  for (const char* subject : {"a", "b"})
    server.deliver("taro", std::string("From: x@example.jp\r\nSubject: ") + subject + "\r\n\r\nbody\r\n");
  const CheckReport found = NewMailCheck::run(*scene.document, scene.front);
  ASSERT_TRUE(found.counters.has_value());
  EXPECT_EQ(found.counters->serverCount, 2);
  EXPECT_EQ(found.counters->newCount, 2);
  EXPECT_EQ(NewMailCheck::titleText(*found.counters), platform::utf8ToSjis("新着チェック： 件数 2, 既読 0, 未読 0, 新着 2"));
  ASSERT_TRUE(found.sendReceive.has_value());
  EXPECT_EQ(found.sendReceive->received, 2u);
  EXPECT_EQ(server.mailCount("taro"), 0);
  EXPECT_EQ(store::TrayFile(scene.document->store(), scene.tray(core::item::kNewMailTray)).count(false), 2u);
  EXPECT_TRUE(scene.shown().empty());
}

TEST(Shutdown, ClearsTheWorkFolderButNotTheWaitingMailsAndEmptiesTheTrashWhenAsked) {
  test::FlowScene scene;
  const std::string work = scene.topCabinet() + "/.tmp";
  for (const char* name : {"MIMECV.tmp", "save.TXT", "ed/Txm001", "RxMail.XM0", "TxTmpH"})
    ASSERT_TRUE(platform::writeFileAtomically(work + "/" + name, "x"));
  const store::TrayFile trash(scene.document->store(), scene.tray(core::item::kTrashTray));
  store::IndexRecord record;
  ASSERT_TRUE(trash.appendMail(test::TrayBuilder::mail("thrown away"), record).has_value());

  Shutdown::run(*scene.document);
  std::vector<std::string> left;
  for (const auto& entry : platform::listDirectory(work)) left.push_back(entry.name);
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"RxMail.XM0", "TxTmpH", "ed"}));
  EXPECT_TRUE(platform::listDirectory(work + "/ed").empty());
  EXPECT_EQ(trash.count(false), 1u) << "item 209 is off";

  scene.document->settings().setNumber(core::item::kEmptyTrashAtExit, 1);
  Shutdown::run(*scene.document);
  EXPECT_EQ(trash.count(false), 0u);
}

}  // namespace
}  // namespace zorvik::mailflow
