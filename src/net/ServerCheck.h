/// \file
/// The server check (`zorvik-cli check-server`): connects to the receive
/// server and to the send server as the settings say, shows what a user
/// needs to judge each connection (the certificate when it is encrypted,
/// what the server announces) and logs in, without listing, fetching,
/// deleting or sending anything. POP3 asks CAPA before its login; SMTP greets
/// with EHLO and authenticates when an authentication method is set.
///
/// Runs on the calling thread until both checks have ended (each bounded by
/// the time-outs of the settings); failures show their numbered messages.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/Messages.h"
#include "core/SettingsFile.h"
#include "net/TlsCertificate.h"
#include "net/TlsSettings.h"

namespace zorvik::net {

struct ServerReport {
  enum class Login {
    NotAsked,  // no server configured, or no SMTP authentication set
    Accepted,
    Failed,    // refused, or the connection failed before (its message was shown)
  };

  std::string host;
  std::uint16_t port = 0;
  TlsMode mode = TlsMode::None;
  bool configured = false;
  /// The certificate the encrypted connection showed, refused or not.
  std::optional<TlsCertificate> certificate;
  /// Why TLS could not be established (Shift_JIS); empty when it was, or
  /// when it was not tried.
  std::string tlsRefusal;
  /// Accepted through a trusted fingerprint rather than the trust store.
  bool trustedByFingerprint = false;
  /// "TLSv1.3 TLS_AES_256_GCM_SHA384"; empty without TLS.
  std::string tlsProtocol;
  /// CAPA lines, or the EHLO lines after the first.
  std::vector<std::string> capabilities;
  Login login = Login::NotAsked;
};

class ServerCheck {
public:
  ServerCheck(const core::SettingsFile& settings, core::Messages& messages);

  /// POP3: connect, TLS as set, CAPA, login, QUIT.
  ServerReport checkReceive();
  /// SMTP: connect, TLS as set, EHLO, AUTH when set, QUIT.
  ServerReport checkSend();

private:
  const core::SettingsFile& settings_;
  core::Messages& messages_;
};

}  // namespace zorvik::net
