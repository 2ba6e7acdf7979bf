/// \file
/// What a POP3 session needs to know about the account, read once when the
/// session starts so that a change in the settings dialog does not reach a
/// connection half-way.
#pragma once

#include <cstdint>
#include <string>

#include "net/TlsSettings.h"

namespace zorvik::core {
class SettingsFile;
}

namespace zorvik::net {

struct PopAccount {
  std::string user;      // item 803; Shift_JIS, sent as it is
  std::string password;  // item 804, plain
  bool useApop = false;  // item 814: log in with APOP instead of USER/PASS
  bool useUidl = false;  // item 815: tell mails apart by UIDL and keep the ".uid" file
  bool useStls = false;  // item 819 = 1: STLS before logging in; a server without it is left
  bool useAuthPlain = false;     // item 826: log in with AUTH PLAIN (APOP still comes first)
  bool askCapabilities = false;  // CAPA before logging in, for the server check
};

struct PopSettings {
  std::string host;               // item 801
  std::uint16_t port = 110;       // item 809
  int sendTimeoutSeconds = 60;    // item 810: waiting until a command can be written
  int receiveTimeoutSeconds = 60; // item 811: waiting for reply data, the greeting included
  PopAccount account;
  TlsSettings tls = {};           // items 819 and 821

  static PopSettings fromSettings(const core::SettingsFile& settings);
};

}  // namespace zorvik::net
