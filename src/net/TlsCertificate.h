/// \file
/// What a user needs to know about a server's certificate to judge it: who
/// it names, who signed it, when it is valid and its SHA-256 fingerprint,
/// the one value a user compares to trust a certificate of their own server.
/// Texts are Shift_JIS (names may hold Japanese organisation names).
#pragma once

#include <string>

struct x509_st;

namespace zorvik::net {

struct TlsCertificate {
  std::string subject;     // RFC 2253 form: "CN=mail.example.jp,O=..."
  std::string issuer;
  std::string validFrom;   // "2026-01-31T00:00:00Z"
  std::string validUntil;
  std::string sha256;      // "AB:CD:..." as openssl prints it

  /// The facts of an OpenSSL certificate.
  static TlsCertificate of(const x509_st* certificate);
};

}  // namespace zorvik::net
