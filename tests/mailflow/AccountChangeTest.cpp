// The account a send/receive dialog lets the user change for one run.
#include "mailflow/AccountChange.h"

#include <gtest/gtest.h>

#include "core/SettingsItemTable.h"
#include "mailflow/Document.h"
#include "support/RecordingReporter.h"
#include "support/TestEnvironment.h"

namespace zorvik::mailflow {
namespace {

namespace item = core::item;

TEST(AccountChange, OnlyAKeptChangeOutlivesTheRunAndTheFileKeepsItsRelativePaths) {
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
    ASSERT_TRUE(initial.save(messages, path));
  }
  const auto document = Document::load(path, messages);
  ASSERT_NE(document, nullptr);

  MailAccount edited = MailAccount::of(document->settings());
  edited.popUser = "hanako";
  edited.password = "new";
  edited.keepOnServer = false;
  {
    const AccountChange forOneRun(*document, edited);
    EXPECT_EQ(MailAccount::of(document->settings()), edited);
  }
  EXPECT_EQ(document->settings().text(item::kPopUser), "taro") << "put back after the run";
  EXPECT_EQ(document->settings().plainPassword(item::kPopPassword), "old");

  {
    AccountChange kept(*document, edited);
    EXPECT_TRUE(kept.keep());
  }
  EXPECT_EQ(MailAccount::of(document->settings()), edited);
  const auto onDisk = Document::readSettings(path, messages);
  ASSERT_TRUE(onDisk.has_value());
  EXPECT_EQ(MailAccount::of(*onDisk), edited);
  EXPECT_EQ(onDisk->text(item::kStoreRoot), "store");
  EXPECT_TRUE(reporter.boxes().empty());
}

}  // namespace
}  // namespace zorvik::mailflow
