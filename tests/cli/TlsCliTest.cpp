// zorvik-cli against servers that speak only TLS, as a new account meets
// them: POP3S from Dovecot, SMTPS with AUTH from aiosmtpd, certificates from
// a test CA that SSL_CERT_FILE puts in place of the system's store.
// `check-server` shows both servers and logs in without touching any mail;
// `receive` and `send` do their work over TLS.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "support/CliRunner.h"
#include "support/DovecotServer.h"
#include "support/SmtpSinkServer.h"
#include "support/TestCertificates.h"
#include "support/TestEnvironment.h"

namespace zorvik {
namespace {

using test::SmtpSinkServer;
using Kind = test::TestCertificates::Kind;

constexpr const char* kUser = "taro";
constexpr const char* kPassword = "Secret-77-pw";

class TlsCli : public ::testing::Test {
protected:
  void SetUp() override {
    if (const auto why = test::TestCertificates::unavailableReason(); !why.empty()) GTEST_SKIP() << why;
    if (!test::DovecotServer::available()) GTEST_SKIP() << test::DovecotServer::missingReason();
    if (const auto why = SmtpSinkServer::unavailableReason(); !why.empty()) GTEST_SKIP() << why;
    const test::TestCertificates& certificates = test::TestCertificates::shared();
    environment = {"HOME=" + dir.path(), "SSL_CERT_FILE=" + certificates.caFile()};
    pop.addUser(kUser, kPassword);
    pop.useTls(certificates.certificateFile(Kind::Valid), certificates.keyFile(Kind::Valid));
    ASSERT_TRUE(pop.start()) << pop.log();
    smtp.emplace(dir.file("maildir"),
                 SmtpSinkServer::Options{SmtpSinkServer::Mode::Implicit, certificates.certificateFile(Kind::Valid),
                                         certificates.keyFile(Kind::Valid), kUser, kPassword});

    // A new account: TLS on 995 and 465 with automatic AUTH, as proposed;
    // only the servers and their ports are this test's.
    const auto made = test::runCli({"init", "--name", "T", "--address", "me@example.jp", "--dir", dir.path()},
                                   dir.path(), environment);
    ASSERT_EQ(made.exitCode, 0) << made.err;
    settings = made.out.substr(0, made.out.find('\n'));
    ASSERT_EQ(cli({"get", "809"}).out, "995\n");
    ASSERT_EQ(cli({"get", "603"}).out, "465\n");
    for (const auto& [item, value] : std::vector<std::pair<std::string, std::string>>{
             {"801", "127.0.0.1"}, {"809", std::to_string(pop.tlsPort())}, {"803", kUser}, {"804", kPassword},
             {"601", "127.0.0.1"}, {"603", std::to_string(smtp->port())}, {"605", "20"}, {"807", "0"}})
      ASSERT_EQ(cli({"set", item, value}).exitCode, 0);
  }

  test::CliResult cli(std::vector<std::string> args) const {
    args.insert(args.begin(), {"--settings", settings});
    return test::runCli(args, dir.path(), environment);
  }
  std::size_t lines(const std::string& text) const {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
  }

  test::ScratchDir dir;
  test::DovecotServer pop;
  std::optional<SmtpSinkServer> smtp;
  std::vector<std::string> environment;
  std::string settings;
};

bool hasLine(const std::string& output, const std::string& line) {
  return ("\n" + output).find("\n" + line + "\n") != std::string::npos;
}

TEST_F(TlsCli, CheckServerShowsCertificatesAndCapabilitiesAndLogsInWithoutTouchingMail) {
  pop.deliver(kUser, "Subject: waiting\r\n\r\nstays\r\n");
  const auto checked = cli({"check-server"});
  ASSERT_EQ(checked.exitCode, 0) << checked.err << checked.out;
  const std::string fingerprint = test::TestCertificates::shared().fingerprint(Kind::Valid);
  for (const std::string protocol : {"pop3", "smtp"}) {
    SCOPED_TRACE(protocol);
    const std::string port = std::to_string(protocol == "pop3" ? pop.tlsPort() : smtp->port());
    for (const std::string& line :
         {protocol + "\tserver\t127.0.0.1\t" + port + "\ttls", protocol + "\tcertificate\tsubject\tCN=127.0.0.1",
          protocol + "\tcertificate\tissuer\tCN=Zorvik Test CA,O=Zorvik Test",
          protocol + "\tcertificate\tvalid-until\t2099-12-31T00:00:00Z",
          protocol + "\tcertificate\tsha256\t" + fingerprint, protocol + "\tcertificate\tverified\tyes",
          protocol + "\tlogin\tok"})
      EXPECT_TRUE(hasLine(checked.out, line)) << line << "\n" << checked.out;
  }
  EXPECT_TRUE(hasLine(checked.out, "pop3\tcapability\tUSER")) << checked.out;
  EXPECT_TRUE(hasLine(checked.out, "smtp\tcapability\tAUTH CRAM-MD5 LOGIN PLAIN")) << checked.out;
  EXPECT_EQ(pop.mailCount(kUser), 1);
  EXPECT_EQ(lines(cli({"list", "新着受信"}).out), 0u) << "nothing fetched";
  EXPECT_TRUE(smtp->messages().empty()) << "nothing sent";

  ASSERT_EQ(cli({"set", "804", "wrong"}).exitCode, 0);
  const auto refused = cli({"check-server", "--receive"});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_TRUE(hasLine(refused.out, "pop3\tlogin\tfailed")) << refused.out;
  EXPECT_EQ(refused.out.find("smtp"), std::string::npos);
  EXPECT_NE(refused.err.find("No.1056"), std::string::npos) << refused.err;
}

TEST_F(TlsCli, ReceiveAndSendWorkOverTlsWithTheReceiveAccountForSmtpAuth) {
  // Mails of many TLS records each, fetched with pipelined RETR commands:
  // every byte must come through, in order.
  std::string body;
  for (int line = 0; body.size() < 30 * 1024; ++line) body += "line " + std::to_string(line) + " of a long mail\r\n";
  for (int n = 0; n < 30; ++n) pop.deliver(kUser, "Subject: over TLS " + std::to_string(n) + "\r\n\r\n" + body);
  const auto received = cli({"receive"});
  ASSERT_EQ(received.exitCode, 0) << received.err;
  EXPECT_EQ(lines(received.out), 30u);
  const auto count = [](const std::string& text) {
    std::size_t found = 0;
    for (std::size_t at = text.find(" of a long mail"); at != std::string::npos; at = text.find(" of a long mail", at + 1))
      ++found;
    return found;
  };
  const auto shown = cli({"show", "新着受信", "29", "--body"});
  EXPECT_EQ(count(shown.out), count(body));
  const std::size_t lastLine = body.rfind("line ", body.size() - 3);
  EXPECT_NE(shown.out.find(body.substr(lastLine, body.size() - lastLine - 2)), std::string::npos);

  ASSERT_EQ(cli({"compose", "--to", "hanako@example.jp", "--subject", "reply", "--body", "hello"}).exitCode, 0);
  const auto sent = cli({"send"});
  ASSERT_EQ(sent.exitCode, 0) << sent.err;
  EXPECT_EQ(sent.out, "sent\t1\nunsent\t0\n");
  ASSERT_EQ(smtp->messages().size(), 1u);
  // Item 822 is "automatic" and items 823/824 are empty: the POP3 account
  // logs in with the strongest mechanism offered.
  EXPECT_EQ(smtp->authAttempts().rfind(std::string("CRAM-MD5 ") + kUser, 0), 0u) << smtp->authAttempts();
}

}  // namespace
}  // namespace zorvik
