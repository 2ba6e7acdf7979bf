#include "net/PopSettings.h"

#include "core/SettingsFile.h"

namespace zorvik::net {

PopSettings PopSettings::fromSettings(const core::SettingsFile& settings) {
  namespace item = core::item;
  PopSettings result;
  result.host = settings.text(item::kPopServer);
  const std::int32_t port = settings.number(item::kPopPort);
  result.port = port > 0 && port <= 65535 ? static_cast<std::uint16_t>(port) : 110;
  result.sendTimeoutSeconds = settings.number(item::kPopSendTimeout);
  result.receiveTimeoutSeconds = settings.number(item::kPopReceiveTimeout);
  result.account.user = settings.text(item::kPopUser);
  result.account.password = settings.plainPassword(item::kPopPassword);
  result.account.useApop = settings.flag(item::kUseApop);
  result.account.useUidl = settings.flag(item::kUseUidl);
  result.account.useAuthPlain = settings.flag(item::kPopAuthPlain);
  result.tls.mode = tlsModeOf(settings.number(item::kPopSecurity));
  result.tls.trustedFingerprints = TlsSettings::parseFingerprints(settings.text(item::kTrustedFingerprints));
  result.account.useStls = result.tls.mode == TlsMode::StartTls;
  return result;
}

}  // namespace zorvik::net
