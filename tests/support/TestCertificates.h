/// \file
/// Certificates for the TLS tests, made with the openssl command at run time
/// in a scratch folder (none is kept in the repository): a test CA and
/// server certificates for 127.0.0.1 and localhost signed by it, one valid
/// and one expired; one it signed for another host name; a self-signed one;
/// and one signed by a CA nobody trusts. Made once per test program.
///
///   const TestCertificates& certs = TestCertificates::shared();
///   ::setenv("SSL_CERT_FILE", certs.caFile().c_str(), 1);   // trust the test CA
///   server.useTls(certs.certificateFile(Kind::Valid), certs.keyFile(Kind::Valid));
#pragma once

#include <string>

#include "support/TestEnvironment.h"

namespace zorvik::test {

class TestCertificates {
public:
  enum class Kind { Valid, Expired, WrongHost, SelfSigned, UnknownIssuer };

  /// Empty when the openssl command can run here, else why not.
  static std::string unavailableReason();
  /// The certificates of this test program, made on first use. Throws
  /// std::runtime_error when openssl fails.
  static const TestCertificates& shared();

  /// The test CA, to be trusted through SSL_CERT_FILE.
  std::string caFile() const { return dir_.file("ca.pem"); }
  std::string certificateFile(Kind kind) const { return dir_.file(name(kind) + ".pem"); }
  std::string keyFile(Kind kind) const { return dir_.file(name(kind) + ".key"); }
  /// "AB:CD:..." as `openssl x509 -fingerprint -sha256` prints it.
  std::string fingerprint(Kind kind) const;
  /// The host name the WrongHost certificate is made for.
  static constexpr const char* kOtherHost = "mail.other.example";

private:
  TestCertificates();
  static std::string name(Kind kind);

  ScratchDir dir_;
};

}  // namespace zorvik::test
