/// \file
/// The periodic new-mail check (the main window's timer 1, item 703
/// seconds): when it is due, and what it does. It logs in, lists every
/// server mail's header into the mail-server tray and reports the counters
/// ("新着チェック： 件数 %d, 既読 %d, 未読 %d, 新着 %d"); when new or unread
/// mails wait, a send/receive runs on the same connection, without a
/// second login; otherwise it quits.
///
/// It holds the store's lock throughout, as a send/receive does: a check
/// never runs beside a receive of another process.
#pragma once

#include <optional>
#include <string>

#include "mailflow/FrontEnd.h"
#include "mailflow/ServerTrayFlow.h"
#include "mailflow/SessionDriver.h"

namespace zorvik::mailflow {

class Document;

struct CheckReport {
  /// Empty when the check could not log in or list (its message shown).
  std::optional<ServerCounters> counters;
  /// The send/receive the check started on finding mail.
  std::optional<RunResult> sendReceive;
};

class NewMailCheck {
public:
  /// Whether the timer's firing starts a check: the POP3 account is
  /// complete, no POP3 connection is busy, and the dial-up connection is up
  /// when item 907 forbids dialling for a check (else the timer keeps
  /// running and tries again).
  static bool due(const Document& document, bool popConnectionActive);

  /// Runs the check; with `receiveNewMail` off it only reports the
  /// counters (zorvik-cli `poll`).
  static CheckReport run(const Document& document, FrontEnd& front, bool receiveNewMail = true);

  /// The counters as the main window's title shows them (Shift_JIS).
  static std::string titleText(const ServerCounters& counters);
};

}  // namespace zorvik::mailflow
