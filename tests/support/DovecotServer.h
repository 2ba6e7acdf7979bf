/// \file
/// A real POP3 server for tests: Dovecot started in the foreground on a free
/// port of 127.0.0.1, with its whole configuration, its users and their
/// maildirs in a private temporary folder. Plain (USER/PASS) and APOP logins
/// work; passwords are kept in plain text because APOP needs them.
///
///   DovecotServer server;
///   if (!server.available()) GTEST_SKIP() << DovecotServer::missingReason();
///   ASSERT_TRUE(server.start()) << server.log();
///   server.addUser("taro", "secret");
///   server.deliver("taro", "Subject: hi\r\n\r\nbody\r\n");
///
/// With useTls() before start() it serves TLS only: "ssl = required", STLS
/// on port() and POP3S on tlsPort(), and it logs every authentication
/// attempt with its password, so a test can tell that none reached it.
///
/// Dovecot will not serve mail as root: when the test runs as root the
/// mailboxes belong to nobody (65534) and the folders are opened up so that
/// its auth process (user "dovecot") can read the password file.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/TestEnvironment.h"

namespace zorvik::test {

class DovecotServer {
public:
  DovecotServer();
  /// Stops the server (by its process id) if it runs.
  ~DovecotServer();
  DovecotServer(const DovecotServer&) = delete;
  DovecotServer& operator=(const DovecotServer&) = delete;

  /// Whether the dovecot program is installed.
  static bool available();
  /// Why tests are skipped when it is not.
  static std::string missingReason();

  /// Writes the configuration, starts Dovecot and waits (at most ten
  /// seconds) until it accepts connections. False when it does not.
  bool start();
  /// Ends the server: SIGTERM, then SIGKILL when it lingers; bounded.
  void stop();

  /// Serves TLS with this certificate and key (PEM files); before start().
  void useTls(const std::string& certificateFile, const std::string& keyFile);

  std::uint16_t port() const { return port_; }
  /// The POP3S port (0 without useTls()).
  std::uint16_t tlsPort() const { return tlsPort_; }
  /// Dovecot's log, for failure messages.
  std::string log() const;
  /// Waits (at most five seconds) until the log holds `text`.
  bool waitForLog(const std::string& text) const;

  /// Adds a user with an empty maildir. Users can be added while it runs.
  void addUser(const std::string& name, const std::string& password);
  /// Puts a mail (CR LF lines) into the user's maildir; returns its file
  /// name, the handle for removeMail.
  std::string deliver(const std::string& user, const std::string& mail);
  /// Removes a mail behind the server's back (another client deleted it).
  bool removeMail(const std::string& user, const std::string& name);
  /// Mails the user's maildir holds now.
  int mailCount(const std::string& user) const;

private:
  std::string maildir(const std::string& user) const;
  void writeConfiguration() const;
  void giveToMailUser(const std::string& path) const;
  bool waitUntilListening() const;

  ScratchDir dir_;
  std::uint16_t port_ = 0;
  std::uint16_t tlsPort_ = 0;
  std::string certificateFile_;
  std::string keyFile_;
  pid_t pid_ = -1;
  std::vector<std::string> passwdLines_;
  int delivered_ = 0;
};

}  // namespace zorvik::test
