/// \file
/// The mail account of a send/receive as its progress dialog shows it, and
/// the user's change of it for one run: the POP3 server, user and password,
/// the SMTP server, APOP, UIDL and whether mails stay on the server.
///
/// A change is in force from begin() until the object goes; then the
/// settings are as they were, unless keep() wrote the change into the
/// settings file. When the change names another mailbox (server or user)
/// while UIDL is in use, the mail-server tray and its ".uid" file are
/// cleared first: their copies belong to the other mailbox, and the UIDL
/// numbers of one server say nothing about another's mails.
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
  /// `document` must outlive the change.
  AccountChange(Document& document, MailAccount edited);
  /// Puts the settings back unless the change was kept.
  ~AccountChange();
  AccountChange(const AccountChange&) = delete;
  AccountChange& operator=(const AccountChange&) = delete;

  /// Puts the edited account in force, clearing the mail-server tray when
  /// it names another mailbox under UIDL. False when that clearing cannot
  /// take the store's lock (its message shown); nothing is changed then.
  bool begin();
  /// Makes the change last: writes the account into the settings file,
  /// leaving its other items as they are on disk (44200, 44201 or 40186
  /// when that fails; the change stays in force for this process all the
  /// same).
  bool keep();

private:
  void restore();

  Document& document_;
  MailAccount before_;
  MailAccount edited_;
  bool begun_ = false;
  bool kept_ = false;
};

}  // namespace zorvik::mailflow
