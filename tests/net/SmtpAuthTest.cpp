// SMTP authentication against a scripted server: the exact exchange of each
// mechanism, the choice among those the server offers, and every refusal,
// which must end the connection before a password or a mail goes out.

#include <gtest/gtest.h>

#include "net/SmtpAuthenticator.h"
#include "net/SmtpCapabilities.h"
#include "net/SmtpSession.h"
#include "support/ScriptedServer.h"
#include "support/SmtpSessionHarness.h"

namespace zorvik::net {
namespace {

using core::MessageNumber;
using Outcome = SmtpMailOutcome;
using test::expect;
using test::ScriptedServer;
using test::ScriptStep;
using test::send;
using test::SmtpSessionHarness;
using Script = std::vector<ScriptStep>;

// The credentials of the example exchange of RFC 2195.
constexpr const char* kUser = "tim";
constexpr const char* kPassword = "tanstaaftanstaaf";
constexpr const char* kPlainCredentials = "AHRpbQB0YW5zdGFhZnRhbnN0YWFm";

Script operator+(Script a, const Script& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Script sendsOneMail() {
  return {expect("MAIL From:<taro@example.jp>"), send("250 ok\r\n"), expect("RCPT To:<b@example.jp>"),
          send("250 ok\r\n"), expect("DATA"), send("354 go\r\n"), expect("Subject: a"), expect(""),
          expect("text"), expect("."), send("250 queued\r\n")};
}

Script quits() { return {expect("QUIT"), send("221 bye\r\n")}; }

TEST(SmtpAuth, EachMechanismAndEachRefusal) {
  struct Case {
    const char* name;
    SmtpAuthMethod method;
    TlsMode tls;
    bool allowInClear;
    std::string announced;  // the EHLO lines after the first
    Script exchange;        // AUTH and its answers
    std::optional<MessageNumber> message;  // none: the mail is accepted
  };
  const std::vector<Case> cases = {
      {"automatic takes CRAM-MD5", SmtpAuthMethod::Automatic, TlsMode::None, false,
       "250-AUTH LOGIN PLAIN CRAM-MD5\r\n250 8BITMIME\r\n",
       {expect("AUTH CRAM-MD5"), send("334 PDE4OTYuNjk3MTcwOTUyQHBvc3RvZmZpY2UucmVzdG9uLm1jaS5uZXQ+\r\n"),
        expect("dGltIGI5MTNhNjAyYzdlZGE3YTQ5NWI0ZTZlNzMzNGQzODkw"), send("235 2.7.0 ok\r\n")},
       std::nullopt},
      {"LOGIN answers both prompts (old AUTH= form)", SmtpAuthMethod::Login, TlsMode::None, true,
       "250 AUTH=LOGIN\r\n",
       {expect("AUTH LOGIN"), send("334 VXNlcm5hbWU6\r\n"), expect("dGlt"), send("334 UGFzc3dvcmQ6\r\n"),
        expect("dGFuc3RhYWZ0YW5zdGFhZg=="), send("235 ok\r\n")},
       std::nullopt},
      {"PLAIN sent again when the initial response is ignored", SmtpAuthMethod::Plain, TlsMode::None, true,
       "250 AUTH PLAIN\r\n",
       {expect(std::string("AUTH PLAIN ") + kPlainCredentials), send("334 \r\n"), expect(kPlainCredentials),
        send("235 ok\r\n")},
       std::nullopt},
      {"wrong password shows the server's reply", SmtpAuthMethod::Automatic, TlsMode::None, true,
       "250 AUTH PLAIN\r\n",
       {expect(std::string("AUTH PLAIN ") + kPlainCredentials),
        send("535 5.7.8 Authentication credentials invalid\r\n")},
       MessageNumber::SmtpAuthRefused},
      {"PLAIN and LOGIN never in the clear unless allowed", SmtpAuthMethod::Automatic, TlsMode::None, false,
       "250 AUTH PLAIN LOGIN\r\n", {}, MessageNumber::SmtpPlainAuthInClear},
      {"a mechanism the server lacks", SmtpAuthMethod::Plain, TlsMode::None, true, "250 AUTH CRAM-MD5\r\n", {},
       MessageNumber::SmtpNoAuthMechanism},
      {"STARTTLS required but not offered", SmtpAuthMethod::Plain, TlsMode::StartTls, true, "250 AUTH PLAIN\r\n",
       {}, MessageNumber::SmtpNoStartTls},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Script opening = {send("220 ready\r\n"), expect("EHLO client.test"), send("250-test\r\n" + c.announced)};
    ScriptedServer server(opening + c.exchange + (c.message ? Script{} : sendsOneMail()) + quits());
    SmtpSessionHarness h(server.port(), [&c](SmtpSettings& s) {
      s.authMethod = c.method;
      s.tls.mode = c.tls;
      s.allowPlainAuthInClear = c.allowInClear;
      s.user = kUser;
      s.password = kPassword;
    });
    ASSERT_TRUE(h.session().send(h.mail(1, {"b@example.jp"}, "Subject: a\r\n\r\n", "text\r\n")));
    h.session().quit();
    ASSERT_TRUE(h.runUntilEnded());
    server.wait();
    EXPECT_TRUE(server.succeeded()) << server.failure();
    EXPECT_EQ(h.outcomes(), std::vector{c.message ? Outcome::NotSent : Outcome::Accepted});
    if (!c.message) {
      EXPECT_TRUE(h.shownMessages().empty());
      EXPECT_TRUE(h.session().capabilities().offersAuth(smtpAuthMechanismName(c.method == SmtpAuthMethod::Automatic
                                                                                   ? SmtpAuthMethod::CramMd5
                                                                                   : c.method)));
      continue;
    }
    // The failed connection ends with QUIT and its closing message.
    EXPECT_EQ(h.shownMessages(), (std::vector{*c.message, MessageNumber::SendFailed}));
    if (c.message == MessageNumber::SmtpAuthRefused) EXPECT_NE(h.reporter().boxes()[0].text.find("535 5.7.8"), std::string::npos);
    if (c.exchange.empty())
      for (const std::string& line : server.received()) EXPECT_FALSE(line.starts_with("AUTH")) << line;
  }
}

// Which mechanism "automatic" and each fixed choice take, with and without
// TLS and the permission to show the password in the clear.
TEST(SmtpAuth, ChoiceOfMechanism) {
  using O = SmtpAuthChoice::Outcome;
  using M = SmtpAuthMethod;
  struct Case {
    M wanted;
    const char* offered;
    bool encrypted;
    bool allowInClear;
    O outcome;
    M mechanism;
  };
  const Case cases[] = {
      {M::Automatic, "250 AUTH PLAIN LOGIN CRAM-MD5", false, false, O::Use, M::CramMd5},
      {M::Automatic, "250 AUTH LOGIN PLAIN", true, false, O::Use, M::Plain},
      {M::Automatic, "250 AUTH LOGIN", true, false, O::Use, M::Login},
      {M::Automatic, "250 AUTH LOGIN", false, true, O::Use, M::Login},
      {M::Automatic, "250 AUTH LOGIN PLAIN", false, false, O::RefusedInClear, M::Plain},
      {M::Automatic, "250 SIZE 100", true, false, O::NotOffered, M::None},
      {M::Login, "250 auth login plain", true, false, O::Use, M::Login},
      {M::Login, "250 AUTH PLAIN", true, false, O::NotOffered, M::Login},
      {M::Plain, "250 AUTH PLAIN", false, false, O::RefusedInClear, M::Plain},
      {M::CramMd5, "250 AUTH CRAM-MD5", false, false, O::Use, M::CramMd5},
  };
  for (const Case& c : cases) {
    const SmtpCapabilities offered = SmtpCapabilities::parse(std::string("250-host\n") + c.offered);
    const SmtpAuthChoice choice = chooseSmtpAuth(c.wanted, offered, c.encrypted, c.allowInClear);
    EXPECT_EQ(choice.outcome, c.outcome) << c.offered << " encrypted " << c.encrypted;
    EXPECT_EQ(choice.mechanism, c.mechanism) << c.offered << " encrypted " << c.encrypted;
  }
}

}  // namespace
}  // namespace zorvik::net
