/// \file
/// Why a TLS connection could not be established, and how the user is told:
/// a refused certificate names the reason (expired, wrong host name, unknown
/// issuer, ...) and shows the certificate's fingerprint so that the user can
/// compare it and trust that one certificate (message 41131); any other
/// failure of the handshake names what went wrong (41130). Both name the
/// server. Nothing of the mail dialogue has been sent when either is shown.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/Messages.h"
#include "net/TlsCertificate.h"

namespace zorvik::net {

struct TlsFailure {
  enum class Kind {
    Certificate,  // the server's certificate was refused
    Closed,       // the server closed the connection in the middle of the handshake
    Handshake,    // the handshake failed otherwise (no common version, garbage, ...)
    Setup,        // no TLS context could be made here
  };

  Kind kind = Kind::Handshake;
  /// Certificate: the OpenSSL verification error (X509_V_ERR_...).
  long verifyError = 0;
  /// Handshake and Setup: OpenSSL's own words, for the expert.
  std::string detail;
  /// The refused certificate (Certificate only).
  std::optional<TlsCertificate> certificate;

  /// Why, in a sentence for the user (Shift_JIS). `host` is the name the
  /// certificate was checked against.
  std::string reason(std::string_view host) const;
  /// Shows 41131 or 41130 for server `host`.
  void report(core::Messages& messages, std::string_view host) const;
};

}  // namespace zorvik::net
