// check-server [--receive|--send]: connects to the receive and the send
// server as the settings say, shows each certificate and what each server
// announces, and logs in; nothing is fetched, deleted or sent. One record a
// line: the protocol ("pop3", "smtp"), what the line tells, its values:
//   pop3  server       HOST  PORT  none|starttls|tls
//   pop3  certificate  subject|issuer|valid-from|valid-until|sha256  VALUE
//   pop3  certificate  verified  yes|fingerprint|no
//   pop3  tls          PROTOCOL AND CIPHER      (or: refused  REASON)
//   pop3  capability   LINE
//   pop3  login        ok|failed|not-asked
#include "CliCommand.h"
#include "net/ServerCheck.h"

namespace zorvik::cli {
namespace {

std::string modeName(net::TlsMode mode) {
  switch (mode) {
    case net::TlsMode::StartTls: return "starttls";
    case net::TlsMode::Implicit: return "tls";
    case net::TlsMode::None: break;
  }
  return "none";
}

std::string loginName(net::ServerReport::Login login) {
  switch (login) {
    case net::ServerReport::Login::Accepted: return "ok";
    case net::ServerReport::Login::Failed: return "failed";
    case net::ServerReport::Login::NotAsked: break;
  }
  return "not-asked";
}

void printCertificate(CliContext& context, const std::string& protocol, const net::ServerReport& report) {
  if (!report.certificate) return;
  const net::TlsCertificate& certificate = *report.certificate;
  for (const auto& [name, value] : {std::pair<std::string, std::string>{"subject", certificate.subject},
                                    {"issuer", certificate.issuer},
                                    {"valid-from", certificate.validFrom},
                                    {"valid-until", certificate.validUntil},
                                    {"sha256", certificate.sha256}})
    context.printRow({protocol, "certificate", name, value});
  const std::string verified = !report.tlsRefusal.empty() ? "no" : report.trustedByFingerprint ? "fingerprint" : "yes";
  context.printRow({protocol, "certificate", "verified", verified});
}

// True when the server was reached and the login (if asked) was accepted.
bool printReport(CliContext& context, const std::string& protocol, const net::ServerReport& report) {
  context.printRow({protocol, "server", report.host, std::to_string(report.port), modeName(report.mode)});
  if (!report.configured) return true;
  printCertificate(context, protocol, report);
  if (!report.tlsRefusal.empty()) context.printRow({protocol, "tls", "refused", report.tlsRefusal});
  else if (!report.tlsProtocol.empty()) context.printRow({protocol, "tls", report.tlsProtocol});
  for (const std::string& line : report.capabilities) context.printRow({protocol, "capability", line});
  context.printRow({protocol, "login", loginName(report.login)});
  return report.login != net::ServerReport::Login::Failed;
}

int checkServer(CliContext& context) {
  const std::vector<std::string>& args = context.args();
  const bool receiveOnly = args.size() == 1 && args[0] == "--receive";
  const bool sendOnly = args.size() == 1 && args[0] == "--send";
  if (!args.empty() && !receiveOnly && !sendOnly) return context.usage("usage: check-server [--receive|--send]");
  core::SettingsFile* settings = context.rawSettings();
  if (!settings) return kFailed;
  net::ServerCheck check(*settings, context.messages());
  bool ok = true;
  if (!sendOnly) ok = printReport(context, "pop3", check.checkReceive()) && ok;
  if (!receiveOnly) ok = printReport(context, "smtp", check.checkSend()) && ok;
  return ok ? kDone : kFailed;
}

}  // namespace

ZORVIK_CLI_COMMAND("check-server", "[--receive|--send]", checkServer);

}  // namespace zorvik::cli
