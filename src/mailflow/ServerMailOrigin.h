/// \file
/// Which server mail a mail of the new-mail work file came from. The work
/// file's separator line carries it ("From  uid:<identifier>" with UIDL,
/// "From  key:<hex of the header key>" without), written in the same write
/// as the mail itself. When a receive dies between storing mails there and
/// marking them received in the mail-server tray (the process was killed),
/// the recovery that moves the work file's mails into the store marks their
/// copies received, so the next receive does not fetch them a second time.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "net/ServerMailEntry.h"

namespace zorvik::mailflow {

class StoreMailServerTray;

class ServerMailOrigin {
public:
  /// The separator line (with CR LF) of a mail fetched as `entry`; a mail
  /// of no server (a delivery) gets the plain "From  ".
  static std::string separator(const net::ServerMailEntry& entry);

  /// The origins named by the separators of the work file at `path`, in order.
  static std::vector<std::string> inWorkFile(std::string_view path);

  /// Marks the copies of `origins` received. An origin whose copy is gone
  /// (the mail was deleted on the server) is passed by.
  static void markReceived(StoreMailServerTray& tray, const std::vector<std::string>& origins);
};

}  // namespace zorvik::mailflow
