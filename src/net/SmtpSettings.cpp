#include "net/SmtpSettings.h"

#include "core/ItemValues.h"
#include "core/PasswordScrambler.h"
#include "core/SettingsItemTable.h"

namespace zorvik::net {

SmtpSettings SmtpSettings::fromItems(const core::ItemValues& items) {
  SmtpSettings settings;
  settings.host = items.text(core::item::kSmtpServer);
  // A port outside the valid range would wrap around to some other port;
  // 0 makes the connect fail with its message instead.
  const std::int32_t port = items.number(core::item::kSmtpPort);
  settings.port = port > 0 && port <= 65535 ? static_cast<std::uint16_t>(port) : 0;
  settings.maxSizeKilobytes = items.number(core::item::kSmtpMaxSize);
  settings.sendTimeoutSeconds = items.number(core::item::kSmtpSendTimeout);
  settings.receiveTimeoutSeconds = items.number(core::item::kSmtpReceiveTimeout);
  settings.heloName = items.text(core::item::kSmtpHeloName);
  settings.tls.mode = tlsModeOf(items.number(core::item::kSmtpSecurity));
  settings.tls.trustedFingerprints = TlsSettings::parseFingerprints(items.text(core::item::kTrustedFingerprints));
  settings.authMethod = smtpAuthMethodOf(items.number(core::item::kSmtpAuthMethod));
  // Most providers take the same account for sending as for receiving.
  const std::string& user = items.text(core::item::kSmtpUser);
  settings.user = user.empty() ? items.text(core::item::kPopUser) : user;
  const std::string& password = items.text(core::item::kSmtpPassword);
  settings.password = core::unscramblePassword(password.empty() ? items.text(core::item::kPopPassword) : password);
  settings.allowPlainAuthInClear = items.flag(core::item::kAllowPlainAuthInClear);
  return settings;
}

bool SmtpSettings::usesEhlo() const {
  return alwaysEhlo || tls.mode != TlsMode::None || authMethod != SmtpAuthMethod::None;
}

}  // namespace zorvik::net
