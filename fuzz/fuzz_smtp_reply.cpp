// Feeds arbitrary server bytes to the SMTP reply reader and to a session in
// the middle of sending two mails. The first input byte chooses how the rest
// is cut into reads, what the user answers to the size question, and the
// authentication and STARTTLS settings (so EHLO and AUTH replies are fuzzed); the
// session must never crash, never send after the connection ended, and must
// report each mail exactly once and the connection's end exactly once.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

#include "core/Messages.h"
#include "net/PollEventLoop.h"
#include "net/SmtpReplyReader.h"
#include "net/SmtpSession.h"
#include "net/SmtpTransport.h"

namespace {

using namespace zorvik;

class SilentReporter final : public core::Reporter {
public:
  bool show(core::MessageKind, const std::string&, const std::string&) override { return answer; }
  bool answer = false;
};

// A socket that takes every byte at once and is closed only when told.
class FakeTransport final : public net::SmtpTransport {
public:
  void setListener(net::SmtpTransportListener* l) override { listener = l; }
  OpenResult open(const std::string&, std::uint16_t) override {
    open_ = true;
    return OpenResult::Connecting;
  }
  SendResult send(std::string_view) override {
    if (!open_) std::abort();  // the session wrote to a closed connection
    return SendResult::Sent;
  }
  bool hasPending() const override { return false; }
  void close() override { open_ = false; }
  std::string localHostName() const override { return "fuzz.test"; }

  net::SmtpTransportListener* listener = nullptr;
  bool isOpen() const { return open_; }

private:
  bool open_ = false;
};

class CountingOwner final : public net::SmtpSessionOwner {
public:
  void smtpProgress(const net::OutgoingMail&, int percent) override {
    if (percent < 0 || percent > 100) std::abort();
  }
  void smtpMailFinished(const net::OutgoingMail&, net::SmtpMailOutcome) override { ++finished; }
  void smtpConnectionEnded(bool) override { ++ended; }
  int finished = 0;
  int ended = 0;
};

// The two files every fuzzed mail sends, written once.
const std::string& mailFile(const char* name, const char* content) {
  static const std::string directory = [] {
    char pattern[] = "/tmp/fuzz_smtp_XXXXXX";
    const char* made = ::mkdtemp(pattern);
    return std::string(made ? made : "/tmp");
  }();
  static std::string paths[2];
  std::string& path = paths[name[0] == 'h' ? 0 : 1];
  if (path.empty()) {
    path = directory + "/" + name;
    std::ofstream(path, std::ios::binary) << content;
  }
  return path;
}

void fuzzReader(std::string_view input, std::size_t piece) {
  net::SmtpReplyReader reader;
  for (std::size_t at = 0; at < input.size(); at += piece) {
    reader.feed(input.substr(at, piece));
    while (const auto reply = reader.next()) {
      if (reply->text.size() > net::SmtpReplyReader::kTextLimit) std::abort();
    }
  }
}

void fuzzSession(std::string_view input, std::size_t piece, bool answer, std::uint8_t flags) {
  SilentReporter reporter;
  reporter.answer = answer;
  core::Messages messages(reporter);
  net::PollEventLoop loop;
  FakeTransport transport;
  CountingOwner owner;
  net::SmtpSettings settings;
  settings.host = "fuzz.test";
  settings.maxSizeKilobytes = 1;  // the body is larger: the size question is asked
  settings.receiveTimeoutSeconds = 30;
  // EHLO and AUTH (each method), STARTTLS asked for: the fake has no TLS,
  // so an agreeing server ends the connection there.
  settings.authMethod = net::smtpAuthMethodOf(flags % 5);
  settings.tls.mode = (flags & 0x40) != 0 ? net::TlsMode::StartTls : net::TlsMode::None;
  settings.allowPlainAuthInClear = (flags & 0x20) != 0;
  settings.user = "user";
  settings.password = "secret";
  net::SmtpSession session(loop, transport, messages, owner, settings);

  net::OutgoingMail mail;
  mail.sender = "a@example.jp";
  mail.recipients = {"b@example.jp", "c@example.jp"};
  mail.headerPath = mailFile("header", "Subject: x\r\n\r\n");
  static const std::string body(1500, 'x');
  mail.bodyPath = mailFile("body", body.c_str());
  session.send(mail);
  session.send(mail);
  session.quit();
  transport.listener->onConnected(0);
  for (std::size_t at = 0; at < input.size() && transport.isOpen(); at += piece) {
    transport.listener->onReceived(input.substr(at, piece));
    loop.runOnce(std::chrono::milliseconds(0));
  }
  if (transport.isOpen()) transport.listener->onPeerClosed();
  loop.runOnce(std::chrono::milliseconds(0));
  if (owner.finished != 2 || owner.ended != 1) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t piece = 1 + data[0] % 32;
  const bool answer = (data[0] & 0x80) != 0;
  const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
  fuzzReader(input, piece);
  fuzzSession(input, piece, answer, data[0]);
  return 0;
}
