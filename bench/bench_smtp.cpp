// Sending 2,000 mails of about 20 KB to a local SMTP sink: Zorvik's session
// (one connection, every mail after the other) over plain SMTP and over
// SMTPS, against Python's smtplib sending the same mails over one
// connection and Postfix's smtp-source (one connection, -d) sending as many
// mails of the same size, all in the same program run.
//
// The sink is a minimal SMTP server inside this program (a thread that reads
// and answers, counting the mails it takes), with a plain and a TLS port (a
// certificate the openssl command makes for the run, which Zorvik verifies),
// so the figures measure the clients and not a server. The medians of the
// runs and the ratios are printed at the end; a peer that is missing is
// skipped.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/ssl.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "Median.h"
#include "core/Messages.h"
#include "net/AsyncSocket.h"
#include "net/PollEventLoop.h"
#include "net/SmtpSession.h"

extern char** environ;

namespace {

using namespace zorvik;
namespace fs = std::filesystem;

constexpr int kMails = 2000;
constexpr int kRuns = 7;  // short runs on a shared machine: the median of several
constexpr std::size_t kMailSize = 20 * 1024;
constexpr const char* kPython = "/usr/bin/python3";
constexpr const char* kSmtpSource = "/usr/sbin/smtp-source";
constexpr const char* kOpenssl = "/usr/bin/openssl";

// Runs `argv` with its output thrown away and waits; true on exit status 0.
bool runQuietly(std::vector<std::string> argv) {
  std::vector<char*> args;
  for (std::string& arg : argv) args.push_back(arg.data());
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  const bool started = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ) == 0;
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  return started && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// 2,000 mails, each a header file and a body file as the composition writes
// them and the same mail as one file for the peers, and a certificate.
struct BenchFiles {
  BenchFiles() {
    char pattern[] = "/tmp/bench_smtp_XXXXXX";
    directory = ::mkdtemp(pattern);
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
    certified = runQuietly({kOpenssl, "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:P-256",
                            "-nodes", "-keyout", directory + "/key.pem", "-out", directory + "/cert.pem", "-days",
                            "2", "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1"});
  }
  ~BenchFiles() { fs::remove_all(directory); }
  std::string path(int i, const char* extension) const { return directory + "/" + std::to_string(i) + extension; }

  std::string directory;
  bool certified = false;
};

const BenchFiles& benchFiles() {
  static const BenchFiles files;
  return files;
}

// Answers every command with the reply a server that takes everything gives,
// one connection after the other, and counts the mails whose data ended.
// With a TLS context it speaks TLS from the first byte (SMTPS).
class SinkServer {
public:
  explicit SinkServer(SSL_CTX* tls = nullptr) : tls_(tls) {
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
  // Commands are words without regard to case (smtplib sends "data").
  static bool isCommand(std::string_view line, std::string_view word) {
    return line.size() >= word.size() && std::equal(word.begin(), word.end(), line.begin(), [](char a, char b) {
             return a == (b >= 'a' && b <= 'z' ? static_cast<char>(b - 'a' + 'A') : b);
           });
  }

  // One client: plain, or through TLS.
  struct Client {
    int fd;
    SSL* ssl;
    long read(char* buffer, int size) const {
      return ssl ? SSL_read(ssl, buffer, size) : ::recv(fd, buffer, static_cast<std::size_t>(size), 0);
    }
    void write(const char* text) const {
      if (ssl) SSL_write(ssl, text, static_cast<int>(std::strlen(text)));
      else ::send(fd, text, std::strlen(text), MSG_NOSIGNAL);
    }
  };

  void run() {
    for (;;) {
      const int fd = ::accept(listener_, nullptr, nullptr);
      if (fd < 0) return;
      const int on = 1;
      ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
      SSL* ssl = tls_ ? SSL_new(tls_) : nullptr;
      if (ssl) SSL_set_fd(ssl, fd);
      if (!ssl || SSL_accept(ssl) == 1) serve({fd, ssl});
      if (ssl) SSL_free(ssl);
      ::close(fd);
    }
  }

  void serve(const Client& client) {
    client.write("220 sink ready\r\n");
    std::string buffer;
    std::size_t at = 0;
    bool inData = false;
    static thread_local char chunk[65536];
    for (;;) {
      const std::size_t end = buffer.find("\r\n", at);
      if (end == std::string::npos) {
        buffer.erase(0, at);
        at = 0;
        const long n = client.read(chunk, sizeof chunk);
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
        client.write("250 queued\r\n");
      } else if (isCommand(line, "DATA")) {
        inData = true;
        client.write("354 go ahead\r\n");
      } else if (isCommand(line, "QUIT")) {
        client.write("221 bye\r\n");
        return;
      } else {
        client.write("250 ok\r\n");
      }
    }
  }

  SSL_CTX* tls_;
  int listener_ = -1;
  std::uint16_t port_ = 0;
  std::thread thread_;
  std::atomic<int> mails_{0};
};

// The server side of TLS for the sink, with the run's certificate.
SSL_CTX* sinkTls() {
  static SSL_CTX* const context = [] {
    SSL_CTX* made = SSL_CTX_new(TLS_server_method());
    const BenchFiles& files = benchFiles();
    if (made == nullptr || SSL_CTX_use_certificate_file(made, (files.directory + "/cert.pem").c_str(), SSL_FILETYPE_PEM) != 1 ||
        SSL_CTX_use_PrivateKey_file(made, (files.directory + "/key.pem").c_str(), SSL_FILETYPE_PEM) != 1)
      return static_cast<SSL_CTX*>(nullptr);
    return made;
  }();
  return context;
}

class SilentReporter final : public core::Reporter {
public:
  bool show(core::MessageKind, const std::string& caption, const std::string& text) override {
    std::fprintf(stderr, "message box: %s %s\n", caption.c_str(), text.c_str());
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

// Every run of each, in seconds; the summary takes their medians.
struct Figures {
  std::vector<double> zorvik, zorvikTls, smtplib, smtpSource;
} figures;

using bench::median;

template <typename Send>
void measure(benchmark::State& state, SinkServer& sink, std::vector<double>& runs, Send send) {
  const auto start = std::chrono::steady_clock::now();
  const bool ok = send();
  runs.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  if (!ok || sink.mails() != kMails)
    state.SkipWithError(("not every mail arrived: " + std::to_string(sink.mails())).c_str());
}

void zorvikBenchmark(benchmark::State& state, bool tls) {
  const BenchFiles& files = benchFiles();
  if (tls && sinkTls() == nullptr) {
    state.SkipWithError("no certificate for the TLS sink (openssl)");
    return;
  }
  for (auto _ : state) {
    SinkServer sink(tls ? sinkTls() : nullptr);
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
    if (tls) settings.tls.mode = net::TlsMode::Implicit;
    net::SmtpSession session(loop, socket, messages, owner, settings);
    measure(state, sink, tls ? figures.zorvikTls : figures.zorvik, [&] {
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
      return owner.accepted == kMails;
    });
  }
  state.counters["mails/s"] = benchmark::Counter(kMails, benchmark::Counter::kIsRate);
}

void BM_ZorvikSession(benchmark::State& state) { zorvikBenchmark(state, false); }
void BM_ZorvikSessionSmtps(benchmark::State& state) { zorvikBenchmark(state, true); }

void BM_PythonSmtplib(benchmark::State& state) {
  if (::access(kPython, X_OK) != 0) {
    state.SkipWithError("python3 is not installed");
    return;
  }
  const BenchFiles& files = benchFiles();
  const std::string script = files.directory + "/send.py";
  std::ofstream(script) << "import smtplib, sys\n"
                           "box = smtplib.SMTP('127.0.0.1', int(sys.argv[1]), local_hostname='bench.test')\n"
                           "for n in range(int(sys.argv[3])):\n"
                           "    with open(f'{sys.argv[2]}/{n}.eml', 'rb') as mail:\n"
                           "        box.sendmail('taro@example.jp', ['hanako@example.jp'], mail.read())\n"
                           "box.quit()\n";
  for (auto _ : state) {
    SinkServer sink;
    measure(state, sink, figures.smtplib, [&] {
      return runQuietly({kPython, script, std::to_string(sink.port()), files.directory, std::to_string(kMails)});
    });
  }
  state.counters["mails/s"] = benchmark::Counter(kMails, benchmark::Counter::kIsRate);
}

// smtp-source sends one prepared file (the first mail, as large as the
// others) as every message, all over one connection (-d).
void BM_SmtpSource(benchmark::State& state) {
  if (::access(kSmtpSource, X_OK) != 0) {
    state.SkipWithError("smtp-source is not installed (package postfix)");
    return;
  }
  const BenchFiles& files = benchFiles();
  for (auto _ : state) {
    SinkServer sink;
    measure(state, sink, figures.smtpSource, [&] {
      return runQuietly({kSmtpSource, "-d", "-s", "1", "-m", std::to_string(kMails), "-F", files.path(0, ".eml"),
                         "-M", "bench.test", "-f", "taro@example.jp", "-t", "hanako@example.jp",
                         "127.0.0.1:" + std::to_string(sink.port())});
    });
  }
  state.counters["mails/s"] = benchmark::Counter(kMails, benchmark::Counter::kIsRate);
}

BENCHMARK(BM_ZorvikSession)->Iterations(1)->Repetitions(kRuns)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PythonSmtplib)->Iterations(1)->Repetitions(kRuns)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmtpSource)->Iterations(1)->Repetitions(kRuns)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZorvikSessionSmtps)->Iterations(1)->Repetitions(kRuns)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // The run's own certificate stands in for the system's trust store.
  ::setenv("SSL_CERT_FILE", (benchFiles().directory + "/cert.pem").c_str(), 1);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  const double zorvik = median(figures.zorvik), zorvikTls = median(figures.zorvikTls);
  const double smtplib = median(figures.smtplib), smtpSource = median(figures.smtpSource);
  std::printf("2000 mails of 20 KB, medians of the runs:\n");
  if (zorvik > 0)
    std::printf("  plain SMTP: Zorvik %.3f s, smtplib %.3f s, smtp-source %.3f s\n"
                "    smtplib / Zorvik %.2f, Zorvik's rate / smtp-source's rate %.2f\n",
                zorvik, smtplib, smtpSource, smtplib / zorvik, smtpSource / zorvik);
  if (zorvikTls > 0) std::printf("  SMTPS: Zorvik %.3f s, SMTPS / plain %.2f\n", zorvikTls, zorvikTls / zorvik);
  return 0;
}
