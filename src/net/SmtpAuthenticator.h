/// \file
/// The client side of SMTP AUTH (RFC 4954): which mechanism to use, and the
/// commands of the exchange. PLAIN and LOGIN send the password itself (in
/// base64), so they are used only over TLS unless the user allowed them in
/// the clear; CRAM-MD5 (RFC 2195) sends only a keyed digest of the server's
/// challenge. "Automatic" takes the strongest one the server offers:
/// CRAM-MD5, then PLAIN, then LOGIN (PLAIN and LOGIN are equally strong;
/// PLAIN needs one round trip less).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "net/SmtpCapabilities.h"

namespace zorvik::net {

/// The numbers are the values of the settings item.
enum class SmtpAuthMethod : int { None = 0, Automatic = 1, Plain = 2, Login = 3, CramMd5 = 4 };

/// The method an item value names; out of range is None.
SmtpAuthMethod smtpAuthMethodOf(int value);
/// "PLAIN", "LOGIN", "CRAM-MD5"; empty for None and Automatic.
std::string_view smtpAuthMechanismName(SmtpAuthMethod mechanism);

struct SmtpAuthChoice {
  enum class Outcome {
    Use,               // authenticate with `mechanism`
    NotOffered,        // the server offers nothing that may be used
    RefusedInClear,    // only a mechanism that would show the password in the clear
  };
  Outcome outcome = Outcome::NotOffered;
  SmtpAuthMethod mechanism = SmtpAuthMethod::None;
};

/// Chooses the mechanism for `wanted` among those the server offers.
/// `encrypted`: the connection runs over TLS.
SmtpAuthChoice chooseSmtpAuth(SmtpAuthMethod wanted, const SmtpCapabilities& offered, bool encrypted,
                              bool allowPlainInClear);

/// One AUTH exchange: the first command, then the answer to each 334
/// challenge the server sends.
class SmtpAuthenticator {
public:
  /// `mechanism` is Plain, Login or CramMd5.
  SmtpAuthenticator(SmtpAuthMethod mechanism, std::string user, std::string password);

  /// "AUTH PLAIN <credentials>", "AUTH LOGIN" or "AUTH CRAM-MD5", with CR LF.
  std::string firstCommand();
  /// The line (with CR LF) that answers the challenge of a 334 reply
  /// (`challenge`: the base64 text after the code). A challenge the
  /// mechanism has no answer for gets "*", which cancels the exchange.
  std::string answer(std::string_view challenge);

private:
  std::string plainCredentials() const;

  SmtpAuthMethod mechanism_;
  std::string user_;
  std::string password_;
  int answered_ = 0;
};

}  // namespace zorvik::net
