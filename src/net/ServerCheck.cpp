#include "net/ServerCheck.h"

#include <chrono>

#include "net/AsyncSocket.h"
#include "net/PollEventLoop.h"
#include "net/PopSession.h"
#include "net/PopSettings.h"
#include "net/ReceiveEventQueue.h"
#include "net/SmtpSession.h"
#include "net/SmtpSettings.h"

namespace zorvik::net {
namespace {

constexpr auto kEventWait = std::chrono::seconds(1);
// The sessions' own time-outs end every wait; this only guards against a
// server that trickles bytes for ever with the time-outs switched off.
constexpr auto kSendLimit = std::chrono::minutes(10);

// The login touches neither the mail-server tray nor the work file; these
// stand in for them so that nothing of the store is opened.
class NoTray final : public MailServerTray {
public:
  void beginListing() override {}
  std::string headerKey(std::string_view, int) override { return {}; }
  Match find(const std::string&, int) override { return {}; }
  int append(std::string_view, int) override { return -1; }
  CopyState stateAt(int) override { return CopyState::Missing; }
  void markPresent(int) override {}
  void markReceived(int) override {}
  bool hasUnsavedAttachment(int) override { return false; }
  void remove(int) override {}
  std::vector<int> compact() override { return {}; }
  std::string uidFilePath() const override { return {}; }
};

class NoSink final : public ReceivedMailSink {
public:
  bool beginMail(int, const ServerMailEntry&, bool) override { return false; }
  bool appendMail(std::string_view) override { return false; }
  bool endMail() override { return false; }
  bool makeDurable() override { return false; }
};

class EndWatch final : public SmtpSessionOwner {
public:
  void smtpProgress(const OutgoingMail&, int) override {}
  void smtpMailFinished(const OutgoingMail&, SmtpMailOutcome) override {}
  void smtpConnectionEnded(bool) override { ended = true; }
  bool ended = false;
};

ServerReport reportOf(const std::string& host, std::uint16_t port, TlsMode mode) {
  ServerReport report;
  report.host = host;
  report.port = port;
  report.mode = mode;
  report.configured = !host.empty();
  return report;
}

void describeTls(const TlsStream* tls, const std::optional<TlsFailure>& failure, ServerReport& report) {
  if (failure) {
    report.tlsRefusal = failure->reason(report.host);
    report.certificate = failure->certificate;
    return;
  }
  if (tls == nullptr || !tls->established()) return;
  report.certificate = tls->certificate();
  report.trustedByFingerprint = tls->trustedByFingerprint();
  report.tlsProtocol = tls->protocol();
}

// Waits for one of `codes` (or the end of the session).
PopNotification awaitPop(ReceiveEventQueue& events, core::Messages& messages,
                         std::initializer_list<PopNotification> codes) {
  for (;;) {
    const auto event = events.wait(messages, kEventWait);
    if (!event) continue;
    if (event->code == PopNotification::Ended) return event->code;
    for (const PopNotification code : codes)
      if (event->code == code) return code;
  }
}

}  // namespace

ServerCheck::ServerCheck(const core::SettingsFile& settings, core::Messages& messages)
    : settings_(settings), messages_(messages) {}

ServerReport ServerCheck::checkReceive() {
  PopSettings pop = PopSettings::fromSettings(settings_);
  pop.account.askCapabilities = true;
  ServerReport report = reportOf(pop.host, pop.port, pop.tls.mode);
  if (!report.configured) return report;

  NoTray tray;
  NoSink sink;
  ReceiveEventQueue events;
  PopSession session(messages_, tray, sink);
  if (!session.start(events, pop)) return report;
  const bool loggedIn = awaitPop(events, messages_, {PopNotification::LoggedIn}) == PopNotification::LoggedIn;
  report.login = loggedIn ? ServerReport::Login::Accepted : ServerReport::Login::Failed;
  report.capabilities = session.capabilities();
  describeTls(session.tls(), session.tlsFailure(), report);
  if (!loggedIn) return report;
  session.stop(false);
  awaitPop(events, messages_, {PopNotification::QuitFinished});
  return report;
}

ServerReport ServerCheck::checkSend() {
  SmtpSettings smtp = SmtpSettings::fromItems(settings_);
  smtp.alwaysEhlo = true;
  ServerReport report = reportOf(smtp.host, smtp.port, smtp.tls.mode);
  if (!report.configured) return report;

  PollEventLoop loop;
  AsyncSocket socket(loop);
  EndWatch watch;
  const bool authenticates = smtp.authMethod != SmtpAuthMethod::None;
  SmtpSession session(loop, socket, messages_, watch, smtp);
  session.open();
  session.quit();
  // What the connection showed is read before QUIT closes it.
  bool described = false;
  loop.runUntil(
      [&] {
        if (!described && (session.state() == SmtpState::Ready || session.state() == SmtpState::Quit)) {
          described = true;
          describeTls(socket.tls(), std::nullopt, report);
          report.capabilities = session.capabilities().lines;
          if (authenticates) report.login = session.authenticated() ? ServerReport::Login::Accepted
                                                                    : ServerReport::Login::Failed;
        }
        return watch.ended;
      },
      kSendLimit);
  if (!described) {
    describeTls(nullptr, session.tlsFailure(), report);
    report.capabilities = session.capabilities().lines;
    if (authenticates) report.login = ServerReport::Login::Failed;
  }
  return report;
}

}  // namespace zorvik::net
