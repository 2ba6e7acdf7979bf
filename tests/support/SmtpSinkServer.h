/// \file
/// A real SMTP server for the tests: aiosmtpd (Debian's python3-aiosmtpd)
/// on a free port of 127.0.0.1, storing every message it accepts in a
/// maildir. Started in the constructor, stopped by its process id in the
/// destructor.
///
/// Options make it speak TLS (STARTTLS offered, or TLS from the first byte)
/// and accept one user through AUTH (PLAIN, LOGIN, CRAM-MD5), also without
/// TLS, so that a test sees a client refuse on its own. Every command line
/// it receives goes to commandLog() and every AUTH attempt, with the
/// password the client gave, to authAttempts().
///
///   if (const auto why = SmtpSinkServer::unavailableReason(); !why.empty()) GTEST_SKIP() << why;
///   SmtpSinkServer server(scratch.file("maildir"));
///   ... send to server.port() ...
///   server.messages()   // what arrived, oldest first
///
/// The server adds the header lines X-Peer, X-MailFrom and X-RcptTo to each
/// message and stores its lines with LF ends; withoutServerHeaders() and
/// crlfLines() undo that for comparisons.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace zorvik::test {

enum class SmtpSinkMode { Plain, StartTls, Implicit };

struct SmtpSinkOptions {
  SmtpSinkMode mode = SmtpSinkMode::Plain;
  std::string certificateFile;  // PEM, for StartTls and Implicit
  std::string keyFile;
  std::string user;             // AUTH accepts this user with this password;
  std::string password;         // without a user, AUTH is not offered in the clear
};

class SmtpSinkServer {
public:
  /// Empty when `/usr/bin/python3 -m aiosmtpd` can run here, else why not.
  static std::string unavailableReason();

  using Mode = SmtpSinkMode;
  using Options = SmtpSinkOptions;

  /// Starts the server with its maildir in `directory` (created). Throws
  /// std::runtime_error when it does not accept connections within 10 s.
  explicit SmtpSinkServer(const std::string& directory, Options options = {});
  ~SmtpSinkServer();
  SmtpSinkServer(const SmtpSinkServer&) = delete;
  SmtpSinkServer& operator=(const SmtpSinkServer&) = delete;

  std::uint16_t port() const { return port_; }

  /// Every stored message, in the order the server stored them.
  std::vector<std::string> messages() const;
  /// The command lines received so far, one a line (AUTH arguments hidden).
  std::string commandLog() const;
  /// "MECHANISM user password" for each AUTH attempt (CRAM-MD5: the digest).
  std::string authAttempts() const;

  /// A stored message without the header lines the server added.
  static std::string withoutServerHeaders(const std::string& message);
  /// LF line ends turned into CR LF.
  static std::string crlfLines(const std::string& text);
  /// The value of header line `name` in a stored message ("" when absent).
  static std::string headerValue(const std::string& message, const std::string& name);

private:
  bool start();
  void stop();

  std::string directory_;
  Options options_;
  std::uint16_t port_ = 0;
  pid_t pid_ = -1;
};

}  // namespace zorvik::test
