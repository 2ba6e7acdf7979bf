/// \file
/// The states of a POP3 session. The numbers are the values the user
/// interface reads to know whether a POP3 connection is busy (anything but
/// Idle is busy); they are stable and must not be renumbered.
#pragma once

#include <string_view>

namespace zorvik::net {

enum class PopState : int {
  Idle = 1,          // no connection
  Connecting = 2,    // connecting and logging in
  UserSent = 3,
  PassSent = 4,
  ApopSent = 5,
  Ready = 6,         // logged in, waiting for the owner's next command
  Quitting = 7,      // asked to quit
  StatSent = 8,
  ListSent = 9,
  ListReading = 10,  // reading the rest of the LIST answer
  RetrSent = 11,
  RetrReading = 12,  // reading the rest of a RETR or TOP answer
  TopPipeline = 13,  // TOP commands for headers sent back to back
  DeleSent = 16,
  UidlSent = 17,
  UidlReading = 18,  // reading the rest of the UIDL answer
  TopOversize = 19,  // TOP asked for one mail too large to fetch whole
  Stopping = 20,     // asked to stop without QUIT
  StlsSent = 21,     // STLS sent: the upgrade to TLS asked for
  TlsStarting = 22,  // the server agreed; the TLS handshake runs
  CapaSent = 23,
  CapaReading = 24,  // reading the rest of the CAPA answer
  AuthPlainSent = 25,
};

/// Whether the session is still connecting or logging in: stopping it then
/// means closing, there is nothing to QUIT yet.
bool isBeforeLogin(PopState state);

/// A short English name for logs ("Ready", "RetrReading", ...).
std::string_view popStateName(PopState state);

}  // namespace zorvik::net
