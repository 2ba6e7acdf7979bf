// Sending 2,000 mails of about 20 KB to a local SMTP sink: Zorvik's session
// (one connection, every mail after the other) against msmtp (one run per
// mail, as msmtp sends one message per invocation) in the same program run.
//
// The sink is a minimal SMTP server inside this program (a thread that reads
// and answers, counting the mails it takes), so the figures measure the
// clients and not a server. The ratio msmtp time / Zorvik time is printed at
// the end; msmtp is skipped when /usr/bin/msmtp is missing.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "core/Messages.h"
#include "net/AsyncSocket.h"
#include "net/PollEventLoop.h"
#include "net/SmtpSession.h"

extern char** environ;

namespace {

using namespace zorvik;
namespace fs = std::filesystem;

constexpr int kMails = 2000;
constexpr std::size_t kMailSize = 20 * 1024;
constexpr const char* kMsmtp = "/usr/bin/msmtp";

// Answers every command with the reply a server that takes everything gives,
// one connection after the other, and counts the mails whose data ended.
class SinkServer {
public:
  SinkServer() {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener_, 16);
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { run(); });
  }
  ~SinkServer() {
    ::shutdown(listener_, SHUT_RDWR);
    ::close(listener_);
    thread_.join();
  }
  std::uint16_t port() const { return port_; }
  int mails() const { return mails_.load(); }

private:
  void run() {
    for (;;) {
      const int client = ::accept(listener_, nullptr, nullptr);
      if (client < 0) return;
      const int on = 1;
      ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
      serve(client);
      ::close(client);
    }
  }

  static void reply(int client, const char* text) { ::send(client, text, std::strlen(text), MSG_NOSIGNAL); }

  void serve(int client) {
    reply(client, "220 sink ready\r\n");
    std::string buffer;
    std::size_t at = 0;
    bool inData = false;
    char chunk[65536];
    for (;;) {
      const std::size_t end = buffer.find("\r\n", at);
      if (end == std::string::npos) {
        buffer.erase(0, at);
        at = 0;
        const ssize_t n = ::recv(client, chunk, sizeof chunk, 0);
        if (n <= 0) return;
        buffer.append(chunk, static_cast<std::size_t>(n));
        continue;
      }
      const std::string_view line(buffer.data() + at, end - at);
      at = end + 2;
      if (inData) {
        if (line != ".") continue;
        inData = false;
        ++mails_;
        reply(client, "250 queued\r\n");
      } else if (line.starts_with("DATA")) {
        inData = true;
        reply(client, "354 go ahead\r\n");
      } else if (line.starts_with("QUIT")) {
        reply(client, "221 bye\r\n");
        return;
      } else {
        reply(client, "250 ok\r\n");
      }
    }
  }

  int listener_ = -1;
  std::uint16_t port_ = 0;
  std::thread thread_;
  std::atomic<int> mails_{0};
};

class SilentReporter final : public core::Reporter {
public:
  bool show(core::MessageKind, const std::string& caption, const std::string&) override {
    std::fprintf(stderr, "message box: %s\n", caption.c_str());
    return true;
  }
};

class CountingOwner final : public net::SmtpSessionOwner {
public:
  void smtpProgress(const net::OutgoingMail&, int) override {}
  void smtpMailFinished(const net::OutgoingMail&, net::SmtpMailOutcome outcome) override {
    accepted += outcome == net::SmtpMailOutcome::Accepted ? 1 : 0;
  }
  void smtpConnectionEnded(bool) override { ended = true; }
  int accepted = 0;
  bool ended = false;
};

// 2,000 mails, each a header file and a body file as the composition writes
// them, and the same mail as one file for msmtp.
struct MailFiles {
  MailFiles() {
    char pattern[] = "/tmp/bench_smtp_XXXXXX";
    directory = ::mkdtemp(pattern);
    std::string line;
    for (int i = 0; i < kMails; ++i) {
      const std::string header = "From: taro@example.jp\r\nTo: hanako@example.jp\r\nSubject: bench " +
                                 std::to_string(i) +
                                 "\r\nMime-Version: 1.0\r\nContent-Type: text/plain; charset=\"ISO-2022-JP\"\r\n"
                                 "Content-Transfer-Encoding: 7bit\r\n\r\n";
      std::string body;
      for (int n = 0; header.size() + body.size() < kMailSize; ++n)
        body += "line " + std::to_string(n) + " of mail " + std::to_string(i) + std::string(56, 'x') + "\r\n";
      const std::string base = directory + "/" + std::to_string(i);
      std::ofstream(base + ".head", std::ios::binary) << header;
      std::ofstream(base + ".body", std::ios::binary) << body;
      std::ofstream(base + ".eml", std::ios::binary) << header << body;
    }
  }
  ~MailFiles() { fs::remove_all(directory); }
  std::string path(int i, const char* extension) const { return directory + "/" + std::to_string(i) + extension; }

  std::string directory;
};

const MailFiles& mailFiles() {
  static const MailFiles files;
  return files;
}

double zorvikSeconds = 0;
double msmtpSeconds = 0;

void BM_ZorvikSession(benchmark::State& state) {
  const MailFiles& files = mailFiles();
  for (auto _ : state) {
    SinkServer sink;
    SilentReporter reporter;
    core::Messages messages(reporter);
    net::PollEventLoop loop;
    net::AsyncSocket socket(loop);
    CountingOwner owner;
    net::SmtpSettings settings;
    settings.host = "127.0.0.1";
    settings.port = sink.port();
    settings.heloName = "bench.test";
    settings.sendTimeoutSeconds = 60;
    settings.receiveTimeoutSeconds = 60;
    net::SmtpSession session(loop, socket, messages, owner, settings);

    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kMails; ++i) {
      net::OutgoingMail mail;
      mail.id = i;
      mail.sender = "taro@example.jp";
      mail.recipients = {"hanako@example.jp"};
      mail.headerPath = files.path(i, ".head");
      mail.bodyPath = files.path(i, ".body");
      session.send(std::move(mail));
    }
    session.quit();
    loop.runUntil([&] { return owner.ended; }, std::chrono::minutes(5));
    zorvikSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (owner.accepted != kMails || sink.mails() != kMails) state.SkipWithError("not every mail was accepted");
  }
  state.counters["mails/s"] = benchmark::Counter(kMails, benchmark::Counter::kIsRate);
}

bool runMsmtp(std::uint16_t port, const std::string& mailPath) {
  std::vector<std::string> argv = {kMsmtp,       "--file=/dev/null", "--host=127.0.0.1",
                                   "--port=" + std::to_string(port), "--auth=off", "--tls=off", "--domain=bench.test",
                                   "--from=taro@example.jp", "--", "hanako@example.jp"};
  std::vector<char*> args;
  for (std::string& arg : argv) args.push_back(arg.data());
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, mailPath.c_str(), O_RDONLY, 0);
  pid_t pid = -1;
  const bool started = posix_spawn(&pid, kMsmtp, &actions, nullptr, args.data(), environ) == 0;
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  return started && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void BM_Msmtp(benchmark::State& state) {
  if (::access(kMsmtp, X_OK) != 0) {
    state.SkipWithError("msmtp is not installed");
    return;
  }
  const MailFiles& files = mailFiles();
  for (auto _ : state) {
    SinkServer sink;
    const auto start = std::chrono::steady_clock::now();
    bool ok = true;
    for (int i = 0; i < kMails && ok; ++i) ok = runMsmtp(sink.port(), files.path(i, ".eml"));
    msmtpSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!ok || sink.mails() != kMails) state.SkipWithError("msmtp did not send every mail");
  }
  state.counters["mails/s"] = benchmark::Counter(kMails, benchmark::Counter::kIsRate);
}

BENCHMARK(BM_ZorvikSession)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Msmtp)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (zorvikSeconds > 0 && msmtpSeconds > 0)
    std::printf("2000 mails of 20 KB: Zorvik %.3f s, msmtp %.3f s, ratio msmtp/Zorvik %.1f\n", zorvikSeconds,
                msmtpSeconds, msmtpSeconds / zorvikSeconds);
  return 0;
}
