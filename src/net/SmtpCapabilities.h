/// \file
/// What an SMTP server announces in its answer to EHLO (RFC 5321): one
/// keyword per line after the greeting line, such as "STARTTLS", "AUTH PLAIN
/// LOGIN CRAM-MD5", "PIPELINING", "SIZE 10240000". Keywords are compared
/// without regard to case; the old form "AUTH=PLAIN LOGIN" of some servers
/// is read as well.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zorvik::net {

struct SmtpCapabilities {
  /// The announced lines after the first, without the reply code, as sent.
  std::vector<std::string> lines;
  bool startTls = false;
  /// The SASL mechanisms of every AUTH line, in upper case.
  std::vector<std::string> authMechanisms;

  /// Reads the text of a 250 reply to EHLO (lines joined with "\n").
  static SmtpCapabilities parse(std::string_view replyText);
  bool offersAuth(std::string_view mechanism) const;
  /// The mechanisms joined with blanks, for messages.
  std::string authText() const;
};

}  // namespace zorvik::net
