#include "net/SmtpSettings.h"

#include <gtest/gtest.h>

#include "core/SettingsFile.h"
#include "core/SettingsItemTable.h"

namespace zorvik::net {
namespace {

TEST(SmtpSettings, ItemsReachTheSession) {
  core::SettingsFile items;
  items.setText(core::item::kSmtpServer, "smtp.example.jp");
  items.setNumber(core::item::kSmtpPort, 587);
  items.setNumber(core::item::kSmtpMaxSize, 2048);
  items.setNumber(core::item::kSmtpSendTimeout, 0);
  items.setNumber(core::item::kSmtpReceiveTimeout, 45);
  items.setText(core::item::kSmtpHeloName, "pc1.example.jp");
  const SmtpSettings s = SmtpSettings::fromItems(items);
  EXPECT_EQ(s.host, "smtp.example.jp");
  EXPECT_EQ(s.port, 587);
  EXPECT_EQ(s.maxSizeKilobytes, 2048);
  EXPECT_EQ(s.sendTimeoutSeconds, 0);
  EXPECT_EQ(s.receiveTimeoutSeconds, 45);
  EXPECT_EQ(s.heloName, "pc1.example.jp");
}

TEST(SmtpSettings, PortOutsideTheValidRangeNeverWrapsToAnotherPort) {
  core::SettingsFile items;
  EXPECT_EQ(SmtpSettings::fromItems(items).port, 25) << "default";
  for (const int bad : {0, -25, 65536 + 25, 70000}) {
    items.setNumber(core::item::kSmtpPort, bad);
    EXPECT_EQ(SmtpSettings::fromItems(items).port, 0) << bad;
  }
}

}  // namespace
}  // namespace zorvik::net
