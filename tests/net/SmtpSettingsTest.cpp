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

// The secure-connection items: an old settings file (none of them) keeps
// plain HELO without AUTH; the SMTP account defaults to the POP3 one, whose
// password is kept scrambled like its own.
TEST(SmtpSettings, SecurityAndAuthenticationItems) {
  core::SettingsFile items;
  items.setText(core::item::kPopUser, "taro");
  items.setPlainPassword(core::item::kPopPassword, "pop-pw");
  SmtpSettings s = SmtpSettings::fromItems(items);
  EXPECT_EQ(s.tls.mode, TlsMode::None);
  EXPECT_EQ(s.authMethod, SmtpAuthMethod::None);
  EXPECT_FALSE(s.usesEhlo());
  EXPECT_EQ(s.user, "taro");
  EXPECT_EQ(s.password, "pop-pw");

  items.setNumber(core::item::kSmtpSecurity, 1);
  items.setNumber(core::item::kSmtpAuthMethod, 4);
  items.setText(core::item::kSmtpUser, "sender");
  items.setPlainPassword(core::item::kSmtpPassword, "smtp-pw");
  items.setNumber(core::item::kAllowPlainAuthInClear, 1);
  items.setText(core::item::kTrustedFingerprints, "ab:CD\r\n" + std::string(64, 'e') + ", junk");
  s = SmtpSettings::fromItems(items);
  EXPECT_EQ(s.tls.mode, TlsMode::StartTls);
  EXPECT_EQ(s.authMethod, SmtpAuthMethod::CramMd5);
  EXPECT_TRUE(s.usesEhlo());
  EXPECT_EQ(s.user, "sender");
  EXPECT_EQ(s.password, "smtp-pw");
  EXPECT_TRUE(s.allowPlainAuthInClear);
  EXPECT_EQ(s.tls.trustedFingerprints, std::vector<std::string>{std::string(64, 'E')});

  for (const int outOfRange : {3, -1, 99}) {
    items.setNumber(core::item::kSmtpSecurity, outOfRange);
    items.setNumber(core::item::kSmtpAuthMethod, outOfRange * 7);
    s = SmtpSettings::fromItems(items);
    EXPECT_EQ(s.tls.mode, TlsMode::None) << outOfRange;
    EXPECT_EQ(s.authMethod, SmtpAuthMethod::None) << outOfRange;
  }
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
