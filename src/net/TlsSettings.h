/// \file
/// What the user chose about encrypting the connection to one mail server:
/// none, an upgrade inside the session (POP3 STLS, SMTP STARTTLS) or TLS
/// from the first byte (POP3S, SMTPS), and the certificates trusted by their
/// SHA-256 fingerprint beside the system's certificate authorities.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zorvik::net {

/// The numbers are the values of the settings items.
enum class TlsMode : int {
  None = 0,
  StartTls = 1,  // plain connection, upgraded before any password is sent
  Implicit = 2,  // TLS from the connect on (ports 995 and 465)
};

/// The mode an item value names; a value out of range is None, as a
/// settings file of an older version behaves.
TlsMode tlsModeOf(int value);

struct TlsSettings {
  TlsMode mode = TlsMode::None;
  /// Normalised fingerprints: 64 upper-case hex digits, no colons.
  std::vector<std::string> trustedFingerprints;

  /// Whether the certificate with `fingerprint` (any spelling: colons,
  /// case) was trusted by the user.
  bool trusts(std::string_view fingerprint) const;

  /// Reads the fingerprints of the settings item: any number of them,
  /// separated by line breaks, blanks, commas or semicolons, with or without
  /// colons; "SHA256 Fingerprint=AB:CD:..." as openssl prints it is taken
  /// too. Words that are no SHA-256 fingerprint are ignored.
  static std::vector<std::string> parseFingerprints(std::string_view text);
};

/// `fingerprint` without colons or blanks, in upper case; empty when it is
/// not 64 hex digits.
std::string normalizedFingerprint(std::string_view fingerprint);

}  // namespace zorvik::net
