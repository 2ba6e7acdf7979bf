/// \file
/// The personal settings an SMTP session works with, read once when the
/// session is made so a change in the settings dialog does not reach a
/// connection half-way.
#pragma once

#include <cstdint>
#include <string>

#include "net/SmtpAuthenticator.h"
#include "net/TlsSettings.h"

namespace zorvik::core {
class ItemValues;
}

namespace zorvik::net {

struct SmtpSettings {
  std::string host;                // item 601
  std::uint16_t port = 25;         // item 603
  int maxSizeKilobytes = 0;        // item 602; 0 or less: any size
  int sendTimeoutSeconds = 0;      // item 604 (connect, blocked sends); 0 or less: none
  int receiveTimeoutSeconds = 0;   // item 605 (each reply); 0 or less: none
  std::string heloName;            // item 606; empty: this end's host name
  TlsSettings tls = {};            // items 820 and 821
  SmtpAuthMethod authMethod = SmtpAuthMethod::None;  // item 822
  std::string user;                // item 823, or the POP3 user name (803) when empty
  std::string password;            // item 824 (plain), or the POP3 password (804) when empty
  bool allowPlainAuthInClear = false;  // item 825: PLAIN and LOGIN without TLS
  /// Greet with EHLO even when neither TLS nor AUTH needs it, to learn what
  /// the server offers (the server check). Otherwise HELO, as always.
  bool alwaysEhlo = false;

  /// Whether the greeting is EHLO (TLS or AUTH asked for, or alwaysEhlo).
  bool usesEhlo() const;

  static SmtpSettings fromItems(const core::ItemValues& items);
};

}  // namespace zorvik::net
