// The account a send/receive dialog lets the user change for one run.
#include "mailflow/AccountChange.h"

#include <gtest/gtest.h>

#include "core/SettingsItemTable.h"
#include "mailflow/Document.h"
#include "platform/FileSystem.h"
#include "store/StoreLayout.h"
#include "store/TrayFile.h"
#include "support/RecordingReporter.h"
#include "support/TestEnvironment.h"
#include "support/TrayBuilder.h"

namespace zorvik::mailflow {
namespace {

namespace item = core::item;

TEST(AccountChange, AnotherMailboxUnderUidlClearsTheServerTrayAndOnlyAKeptChangeOutlivesTheRun) {
  test::ScratchDir dir;
  test::RecordingReporter reporter;
  core::Messages messages(reporter);
  const std::string path = dir.file("taro.xm9");
  {
    core::SettingsFile initial;
    initial.setText(item::kStoreRoot, "store");  // relative: it must stay so in the file
    initial.setText(item::kPopServer, "pop.example.jp");
    initial.setText(item::kPopUser, "taro");
    initial.setPlainPassword(item::kPopPassword, "old");
    initial.setNumber(item::kUseUidl, 1);
    ASSERT_TRUE(initial.save(messages, path));
  }
  const auto document = Document::load(path, messages);
  ASSERT_TRUE(document && store::createStore(document->settings()));
  const store::TrayFile serverTray(document->store(), document->settings().text(item::kMailServerTray));
  const std::string uidFile = store::TrayName::path(document->store(), serverTray.name(), 0) + ".uid";
  test::TrayBuilder().append(serverTray, "copy of a server mail");
  ASSERT_TRUE(platform::writeFileAtomically(uidFile, "0 abc\r\n"));

  MailAccount edited = MailAccount::of(document->settings());
  edited.password = "new";
  {
    AccountChange samebox(*document, edited);
    ASSERT_TRUE(samebox.begin());
    EXPECT_EQ(document->settings().plainPassword(item::kPopPassword), "new");
    EXPECT_EQ(serverTray.count(false), 1u) << "the same mailbox: its copies stay";
  }
  EXPECT_EQ(document->settings().plainPassword(item::kPopPassword), "old") << "put back after the run";

  edited.popUser = "hanako";
  {
    AccountChange otherbox(*document, edited);
    ASSERT_TRUE(otherbox.begin());
    EXPECT_EQ(serverTray.count(false), 0u);
    EXPECT_FALSE(platform::pathExists(uidFile));
  }
  EXPECT_EQ(document->settings().text(item::kPopUser), "taro");

  {
    AccountChange kept(*document, edited);
    ASSERT_TRUE(kept.begin());
    EXPECT_TRUE(kept.keep());
  }
  EXPECT_EQ(document->settings().text(item::kPopUser), "hanako");
  const auto onDisk = Document::readSettings(path, messages);
  ASSERT_TRUE(onDisk.has_value());
  EXPECT_EQ(onDisk->text(item::kPopUser), "hanako");
  EXPECT_EQ(onDisk->plainPassword(item::kPopPassword), "new");
  EXPECT_EQ(onDisk->text(item::kStoreRoot), "store");
  EXPECT_TRUE(reporter.boxes().empty());
}

}  // namespace
}  // namespace zorvik::mailflow
