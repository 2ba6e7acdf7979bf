/// \file
/// The first start of an account, when no usable personal settings file is
/// given: from a name, a mail address and a password it writes a new
/// settings file named after the account, builds the store beside it, reads
/// the tree structure file and leaves a desktop launcher.
///
/// The account name is the part of the address before "@"; it names the
/// settings file ("<account>.xm9" in the current directory) and the store
/// root ("<account>" in the program directory), so it must be a valid
/// cabinet name: an address like "../x@example.jp" would otherwise write
/// outside both directories.
#pragma once

#include <optional>
#include <string>

#include "core/Messages.h"
#include "core/SettingsFile.h"
#include "store/StartUpPlaces.h"

namespace zorvik::store {

/// What the account dialog asks for (Shift_JIS).
struct AccountSetup {
  std::string name;
  std::string address;
  std::string password;
  /// The dialog proposes encrypted connections: POP3 over TLS on port 995
  /// and SMTP over TLS on 465 with authentication chosen automatically.
  /// Declined, the account keeps the plain ports 110 and 25.
  bool secure = true;
};

class FirstRunFlow {
public:
  FirstRunFlow(core::SettingsFile& settings, core::Messages& messages, StartUpPlaces places);

  /// Runs the flow with the dialog's fields; no account means the dialog was
  /// cancelled. Errors shown: 43022 (no "@"), 43023 (no ".jp" or ".com"),
  /// 40201 (nothing before "@"), 40204 (an account name that is no valid
  /// name), 40186 (settings not written), 40802 (store not built) and 40806
  /// (no launcher; the flow goes on). False ends the start; nothing is
  /// written when the address is refused. On success `settings` holds the
  /// new file, loaded back, with its paths resolved.
  bool run(const std::optional<AccountSetup>& account);

  /// The account name of an address: the part before the first "@".
  static std::string accountNameOf(const std::string& address);

private:
  bool acceptAddress(const std::string& address);
  void fillSettings(const AccountSetup& account);
  bool writeSettings(const std::string& path);
  bool buildStore(const std::string& accountName);
  void readTreeStructureFile();

  core::SettingsFile& settings_;
  core::Messages& messages_;
  StartUpPlaces places_;
};

}  // namespace zorvik::store
