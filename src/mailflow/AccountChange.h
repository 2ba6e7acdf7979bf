/// \file
/// The mail account of a send/receive as its progress dialog shows it, and
/// the user's change of it for one run: the POP3 server, user and password,
/// the SMTP server, APOP, UIDL and whether mails stay on the server.
///
/// A change is in force while the object lives; then the settings are as
/// they were, unless keep() wrote the change into the settings file. A run
/// with another mailbox (server or user) needs nothing more from here: the
/// receive itself starts the mail-server tray afresh for an account it was
/// not kept for (StoreMailServerTray::ofDocument).
#pragma once

#include <string>

#include "core/SettingsFile.h"

namespace zorvik::mailflow {

class Document;

/// An account's fields (Shift_JIS; the password in plain text).
struct MailAccount {
  std::string popServer;     // item 801
  std::string popUser;       // item 803
  std::string password;      // item 804
  std::string smtpServer;    // item 601
  bool useApop = false;      // item 814
  bool useUidl = false;      // item 815
  bool keepOnServer = true;  // item 807 off

  static MailAccount of(const core::SettingsFile& settings);
  void applyTo(core::SettingsFile& settings) const;
  bool operator==(const MailAccount&) const = default;
};

class AccountChange {
public:
  /// Puts `edited` in force on `document`, which must outlive the change.
  AccountChange(Document& document, MailAccount edited);
  /// Puts the settings back unless the change was kept.
  ~AccountChange();
  AccountChange(const AccountChange&) = delete;
  AccountChange& operator=(const AccountChange&) = delete;

  /// Makes the change last: writes the account into the settings file,
  /// leaving its other items as they are on disk (44200, 44201 or 40186
  /// when that fails; the change stays in force for this process all the
  /// same).
  bool keep();

private:
  void apply(const MailAccount& account);

  Document& document_;
  MailAccount before_;
  MailAccount edited_;
  bool kept_ = false;
};

}  // namespace zorvik::mailflow
