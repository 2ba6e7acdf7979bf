#include "net/SmtpSettings.h"

#include "core/ItemValues.h"
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
  return settings;
}

}  // namespace zorvik::net
