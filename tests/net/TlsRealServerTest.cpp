// Secure connections against real servers: Dovecot serving POP3 only over
// TLS (POP3S, and STLS on its plain port) and aiosmtpd speaking STARTTLS or
// TLS from the first byte with one user for AUTH, all with certificates the
// openssl command made for this run. Every refused certificate and every
// refused login must end before a password reaches the server, which the
// servers' own logs show.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "net/SmtpSession.h"
#include "platform/TextEncoding.h"
#include "support/DovecotServer.h"
#include "support/ScriptedServer.h"
#include "support/SmtpSessionHarness.h"
#include "support/SmtpSinkServer.h"
#include "support/TestCertificates.h"
#include "PopTestFakes.h"

namespace zorvik::net {
namespace {

using core::MessageNumber;
using Kind = test::TestCertificates::Kind;
using Outcome = SmtpMailOutcome;
using test::SmtpSinkServer;

constexpr const char* kUser = "taro";
constexpr const char* kPassword = "Secret-77-pw";

std::string mail(int n) { return "Subject: mail " + std::to_string(n) + "\r\n\r\nbody " + std::to_string(n) + "\r\n"; }

// A refused certificate, how its reason reads, and which way of upgrading
// meets it (each kind goes through one of the two code paths).
struct BadCertificate {
  Kind kind;
  const char* reason;  // UTF-8 part of the reason in the refusal's message
  TlsMode mode;
};

const BadCertificate kBadCertificates[] = {
    {Kind::Expired, "有効期限が切れています", TlsMode::Implicit},
    {Kind::WrongHost, "「127.0.0.1」のものではありません", TlsMode::StartTls},
    {Kind::SelfSigned, "自己署名", TlsMode::Implicit},
    {Kind::UnknownIssuer, "信頼された認証局の署名がありません", TlsMode::StartTls},
};

std::string utf8(const std::string& sjis) { return platform::sjisToUtf8(sjis); }

class TlsRealServer : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    if (!test::TestCertificates::unavailableReason().empty()) return;
    // The test CA stands in for the system's trust store.
    ::setenv("SSL_CERT_FILE", test::TestCertificates::shared().caFile().c_str(), 1);
  }
  void SetUp() override {
    if (const std::string why = test::TestCertificates::unavailableReason(); !why.empty()) GTEST_SKIP() << why;
  }
  static const test::TestCertificates& certificates() { return test::TestCertificates::shared(); }

  static std::unique_ptr<test::DovecotServer> dovecot(Kind kind) {
    auto server = std::make_unique<test::DovecotServer>();
    server->addUser(kUser, kPassword);
    server->useTls(certificates().certificateFile(kind), certificates().keyFile(kind));
    EXPECT_TRUE(server->start()) << server->log();
    return server;
  }
  static PopSettings popSettings(const test::DovecotServer& server, TlsMode mode,
                                 std::vector<std::string> trusted = {}) {
    PopSettings settings{"127.0.0.1", mode == TlsMode::Implicit ? server.tlsPort() : server.port(), 5, 5,
                         {kUser, kPassword, false, false, mode == TlsMode::StartTls}};
    settings.tls = {mode, std::move(trusted)};
    return settings;
  }
  static SmtpSinkServer::Options smtpOptions(SmtpSinkServer::Mode mode, Kind kind) {
    return {mode, certificates().certificateFile(kind), certificates().keyFile(kind), kUser, kPassword};
  }
};

#define SKIP_WITHOUT_DOVECOT() \
  if (!test::DovecotServer::available()) GTEST_SKIP() << test::DovecotServer::missingReason()
#define SKIP_WITHOUT_AIOSMTPD() \
  if (const std::string why = SmtpSinkServer::unavailableReason(); !why.empty()) GTEST_SKIP() << why

TEST_F(TlsRealServer, ReceivesOverPop3sAndOverStls) {
  SKIP_WITHOUT_DOVECOT();
  const auto server = dovecot(Kind::Valid);
  for (int n = 1; n <= 2; ++n) server->deliver(kUser, mail(n));
  for (const TlsMode mode : {TlsMode::Implicit, TlsMode::StartTls}) {
    SCOPED_TRACE(mode == TlsMode::Implicit ? "POP3S" : "STLS");
    test::PopRig rig;
    ASSERT_TRUE(rig.login(popSettings(*server, mode))) << server->log();
    ASSERT_NE(rig.session.tls(), nullptr);
    EXPECT_EQ(rig.session.tls()->certificate()->sha256, certificates().fingerprint(Kind::Valid));
    EXPECT_FALSE(rig.session.tls()->trustedByFingerprint());
    const auto result = rig.receive(ListMode::All, false);
    EXPECT_TRUE(result.completed);
    ASSERT_EQ(rig.sink.mails.size(), 2u);
    EXPECT_NE(rig.sink.mails[1].text.find("body 2"), std::string::npos);
    EXPECT_TRUE(rig.boxTexts().empty());
  }
}

TEST_F(TlsRealServer, RefusedCertificateStopsPop3BeforeThePasswordUntilItsFingerprintIsTrusted) {
  SKIP_WITHOUT_DOVECOT();
  for (const BadCertificate& bad : kBadCertificates) {
    const std::string fingerprint = certificates().fingerprint(bad.kind);
    SCOPED_TRACE(fingerprint);
    const auto server = dovecot(bad.kind);
    test::PopRig refused;
    EXPECT_FALSE(refused.login(popSettings(*server, bad.mode)));
    ASSERT_EQ(refused.reporter.numbers(), std::vector{MessageNumber::TlsCertificateRefused});
    const std::string text = utf8(refused.reporter.boxes()[0].text);
    EXPECT_NE(text.find("サーバ「127.0.0.1」"), std::string::npos) << text;
    EXPECT_NE(text.find(bad.reason), std::string::npos) << text;
    EXPECT_NE(text.find(fingerprint), std::string::npos) << text;
    EXPECT_TRUE(server->waitForLog("no auth attempts")) << server->log();
    EXPECT_EQ(server->log().find(kPassword), std::string::npos) << server->log();

    // Trusted by its fingerprint, as a user would paste it from openssl.
    test::PopRig trusted;
    const auto pasted = TlsSettings::parseFingerprints("SHA256 Fingerprint=" + fingerprint);
    ASSERT_TRUE(trusted.login(popSettings(*server, bad.mode, pasted))) << server->log();
    EXPECT_TRUE(trusted.session.tls()->trustedByFingerprint());
    trusted.session.stop(false);
    EXPECT_EQ(trusted.wait({PopNotification::QuitFinished}), 2);
    EXPECT_TRUE(trusted.boxTexts().empty());
  }
}

TEST_F(TlsRealServer, Pop3ServerWithoutStlsIsLeftBeforeTheLogin) {
  SKIP_WITHOUT_DOVECOT();
  test::DovecotServer server;  // plain POP3 only: no STLS
  server.addUser(kUser, kPassword);
  ASSERT_TRUE(server.start()) << server.log();
  test::PopRig rig;
  EXPECT_FALSE(rig.login(popSettings(server, TlsMode::StartTls)));
  EXPECT_EQ(rig.reporter.numbers(), std::vector{MessageNumber::PopNoStls});
  EXPECT_TRUE(server.waitForLog("no auth attempts")) << server.log();
}

TEST_F(TlsRealServer, SendsOverSmtpsAndStartTlsWithEachAuthMechanism) {
  SKIP_WITHOUT_AIOSMTPD();
  struct Case {
    SmtpSinkServer::Mode server;
    TlsMode mode;
    SmtpAuthMethod method;
    const char* mechanism;
  };
  const Case cases[] = {
      {SmtpSinkServer::Mode::Implicit, TlsMode::Implicit, SmtpAuthMethod::Plain, "PLAIN"},
      {SmtpSinkServer::Mode::StartTls, TlsMode::StartTls, SmtpAuthMethod::Login, "LOGIN"},
      {SmtpSinkServer::Mode::StartTls, TlsMode::StartTls, SmtpAuthMethod::Automatic, "CRAM-MD5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mechanism);
    test::ScratchDir scratch;
    SmtpSinkServer server(scratch.file("maildir"), smtpOptions(c.server, Kind::Valid));
    test::SmtpSessionHarness h(server.port(), [&c](SmtpSettings& s) {
      s.tls.mode = c.mode;
      s.authMethod = c.method;
      s.user = kUser;
      s.password = kPassword;
    });
    ASSERT_TRUE(h.session().send(h.mail(1, {"hanako@example.jp"}, "Subject: a\r\n\r\n", "text\r\n")));
    h.session().quit();
    ASSERT_TRUE(h.runUntilEnded());
    EXPECT_EQ(h.outcomes(), std::vector{Outcome::Accepted});
    EXPECT_TRUE(h.shownMessages().empty());
    EXPECT_TRUE(h.session().encrypted());
    EXPECT_EQ(server.messages().size(), 1u);
    EXPECT_EQ(server.authAttempts().rfind(std::string(c.mechanism) + " " + kUser, 0), 0u) << server.authAttempts();
  }
}

TEST_F(TlsRealServer, RefusedCertificateStopsSmtpBeforeAuthUntilItsFingerprintIsTrusted) {
  SKIP_WITHOUT_AIOSMTPD();
  for (const BadCertificate& bad : kBadCertificates) {
    const std::string fingerprint = certificates().fingerprint(bad.kind);
    SCOPED_TRACE(fingerprint);
    test::ScratchDir scratch;
    const auto serverMode =
        bad.mode == TlsMode::Implicit ? SmtpSinkServer::Mode::Implicit : SmtpSinkServer::Mode::StartTls;
    SmtpSinkServer server(scratch.file("maildir"), smtpOptions(serverMode, bad.kind));
    for (const bool trust : {false, true}) {
      test::SmtpSessionHarness h(server.port(), [&](SmtpSettings& s) {
        s.tls.mode = bad.mode;
        // Lower case without colons is as good as openssl's spelling.
        if (trust) s.tls.trustedFingerprints = TlsSettings::parseFingerprints("xx, " + fingerprint + "\r\n");
        s.authMethod = SmtpAuthMethod::Plain;
        s.user = kUser;
        s.password = kPassword;
      });
      ASSERT_TRUE(h.session().send(h.mail(1, {"hanako@example.jp"}, "Subject: a\r\n\r\n", "text\r\n")));
      h.session().quit();
      ASSERT_TRUE(h.runUntilEnded());
      if (trust) {
        EXPECT_EQ(h.outcomes(), std::vector{Outcome::Accepted});
        EXPECT_TRUE(h.shownMessages().empty());
        continue;
      }
      EXPECT_EQ(h.outcomes(), std::vector{Outcome::NotSent});
      EXPECT_EQ(h.shownMessages(), std::vector{MessageNumber::TlsCertificateRefused});
      EXPECT_NE(utf8(h.reporter().boxes()[0].text).find(bad.reason), std::string::npos);
      EXPECT_EQ(server.authAttempts(), "");
      EXPECT_EQ(server.commandLog().find("b'AUTH"), std::string::npos) << server.commandLog();
      ASSERT_TRUE(h.session().tlsFailure());
      EXPECT_EQ(h.session().tlsFailure()->certificate->sha256, fingerprint);
    }
    EXPECT_EQ(server.messages().size(), 1u);
  }
}

// Against aiosmtpd offering AUTH without TLS: the client refuses what it
// must refuse on its own, and shows the server's word when the password is
// wrong.
TEST_F(TlsRealServer, SmtpAuthOutcomesAgainstARealServer) {
  SKIP_WITHOUT_AIOSMTPD();
  struct Case {
    const char* name;
    TlsMode mode;
    SmtpAuthMethod method;
    bool allowInClear;
    const char* password;
    std::vector<MessageNumber> messages;
    const char* attempt;  // what the server's AUTH log holds afterwards
  };
  const Case cases[] = {
      {"PLAIN allowed in the clear", TlsMode::None, SmtpAuthMethod::Plain, true, kPassword, {}, "PLAIN taro"},
      {"wrong password", TlsMode::None, SmtpAuthMethod::Automatic, false, "wrong", {MessageNumber::SmtpAuthRefused, MessageNumber::SendFailed}, "CRAM-MD5 taro"},
      {"PLAIN refused without TLS", TlsMode::None, SmtpAuthMethod::Plain, false, kPassword, {MessageNumber::SmtpPlainAuthInClear, MessageNumber::SendFailed}, ""},
      {"STARTTLS not offered", TlsMode::StartTls, SmtpAuthMethod::Plain, true, kPassword, {MessageNumber::SmtpNoStartTls, MessageNumber::SendFailed}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::ScratchDir scratch;
    SmtpSinkServer server(scratch.file("maildir"), {SmtpSinkServer::Mode::Plain, {}, {}, kUser, kPassword});
    test::SmtpSessionHarness h(server.port(), [&c](SmtpSettings& s) {
      s.tls.mode = c.mode;
      s.authMethod = c.method;
      s.allowPlainAuthInClear = c.allowInClear;
      s.user = kUser;
      s.password = c.password;
    });
    ASSERT_TRUE(h.session().send(h.mail(1, {"hanako@example.jp"}, "Subject: a\r\n\r\n", "text\r\n")));
    h.session().quit();
    ASSERT_TRUE(h.runUntilEnded());
    EXPECT_EQ(h.shownMessages(), c.messages);
    EXPECT_EQ(h.outcomes(), std::vector{c.messages.empty() ? Outcome::Accepted : Outcome::NotSent});
    EXPECT_EQ(server.authAttempts().rfind(c.attempt, 0), 0u) << server.authAttempts();
    if (!c.messages.empty() && c.messages[0] == MessageNumber::SmtpAuthRefused)
      EXPECT_NE(h.reporter().boxes()[0].text.find("535 5.7.8 Authentication credentials invalid"), std::string::npos);
    if (*c.attempt == '\0') EXPECT_EQ(server.commandLog().find("b'AUTH"), std::string::npos) << server.commandLog();
  }
}

// A server that breaks off in the middle of the handshake: part of a TLS
// record, then the connection closes.
TEST_F(TlsRealServer, HandshakeCutInTheMiddleIsReportedForBothProtocols) {
  const std::vector<test::ScriptStep> cut = {test::send(std::string("\x16\x03\x03\x00\x40\x02", 6)), test::close()};
  {
    test::ScriptedServer server(cut);
    test::PopRig rig;
    PopSettings settings{"127.0.0.1", server.port(), 5, 5, {kUser, kPassword, false, false}};
    settings.tls.mode = TlsMode::Implicit;
    EXPECT_FALSE(rig.login(settings));
    ASSERT_EQ(rig.reporter.numbers(), std::vector{MessageNumber::TlsFailed});
    EXPECT_NE(utf8(rig.reporter.boxes()[0].text).find("途中でサーバが接続を切りました"), std::string::npos)
        << utf8(rig.reporter.boxes()[0].text);
  }
  {
    test::ScriptedServer server(cut);
    test::SmtpSessionHarness h(server.port(), [](SmtpSettings& s) { s.tls.mode = TlsMode::Implicit; });
    ASSERT_TRUE(h.session().send(h.mail(1, {"hanako@example.jp"}, "Subject: a\r\n\r\n", "text\r\n")));
    ASSERT_TRUE(h.runUntilEnded());
    EXPECT_EQ(h.outcomes(), std::vector{Outcome::NotSent});
    EXPECT_EQ(h.shownMessages(), std::vector{MessageNumber::TlsFailed});
    EXPECT_NE(utf8(h.reporter().boxes()[0].text).find("途中でサーバが接続を切りました"), std::string::npos);
  }
}

}  // namespace
}  // namespace zorvik::net
