/// \file
/// What a POP3 session knows about one mail on the server during a
/// connection: its number and size from LIST, its UIDL identifier, whether it
/// is to be fetched, and where its copy sits in the mail-server tray.
#pragma once

#include <string>

namespace zorvik::net {

struct ServerMailEntry {
  int number = -1;       // message number on the server; -1 when LIST gave no line for it
  int size = -1;         // octets from LIST; -1 when unknown
  bool fetch = false;    // to be received
  bool isNew = false;    // not yet in the mail-server tray
  std::string headerKey; // equality key of the parsed header; empty until a header was seen
  std::string uid;       // UIDL identifier; empty when unknown
  int trayIndex = -1;    // position of the copy in the mail-server tray; -1 when none

  /// A mail the server did not list cannot be addressed by any command.
  bool addressable() const { return number > 0; }
};

}  // namespace zorvik::net
