// Receiving 5,000 mails of about 20 KB (Japanese text in ISO-2022-JP) from a
// local Dovecot: Zorvik's whole receive (POP3 session, MIME decoding into
// the new-mail work file, the mail-server tray bookkeeping with UIDL, and
// the move of every mail into the new-mail tray) against fetchmail fetching
// the same mailbox and against a Python poplib loop that only fetches (RETR
// one mail after another), in the same run. Everything keeps the mails on
// the server and fetches all of them each time; fetchmail writes them to a
// BSMTP file, its cheapest local delivery (an MDA would cost a process per
// mail).
//
// The same receive runs over plain POP3 and over POP3S (Dovecot's second
// listener, with a certificate the openssl command makes for the run, which
// both clients verify). Zorvik's own CPU time (user + system of this
// process) is a counter. The ratios are printed at the end; a peer that is
// missing is skipped, and everything when Dovecot is.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "Median.h"
#include "core/Messages.h"
#include "core/Progress.h"
#include "core/Reporter.h"
#include "message/MailRecordParser.h"
#include "mailflow/ReceivePhase.h"
#include "store/SystemTrays.h"
#include "store/TrayFile.h"
#include "store/WorkFileAppender.h"
#include "support/LoopbackPort.h"

namespace {

using namespace zorvik;
namespace fs = std::filesystem;

constexpr int kMails = 5000;
constexpr int kRuns = 3;
constexpr const char* kDovecot = "/usr/sbin/dovecot";
constexpr const char* kFetchmail = "/usr/bin/fetchmail";
constexpr const char* kPython = "/usr/bin/python3";
constexpr const char* kOpenssl = "/usr/bin/openssl";
constexpr const char* kUser = "bench";
constexpr const char* kPassword = "pw";

// Every run of each, in seconds; the summary takes their medians, so one
// run that the machine's other work slowed down does not decide a ratio.
struct Figures {
  std::vector<double> zorvik, zorvikCpu, zorvikTls, zorvikTlsCpu, fetchmail, fetchmailTls, poplib;
} figures;

using bench::median;

// User + system time this process has used so far.
double cpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs `argv` and waits; its exit status, or -1.
int runProgram(std::vector<std::string> argv, const char* outputFile = "/dev/null") {
  const pid_t child = ::fork();
  if (child == 0) {
    const int out = ::open(outputFile, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(out, STDOUT_FILENO);
    ::dup2(out, STDERR_FILENO);
    std::vector<char*> args;
    for (std::string& arg : argv) args.push_back(arg.data());
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// About 20 KB: a Japanese text mail as mail programs send it.
std::string mailText(int n) {
  std::string text = "From: sender" + std::to_string(n % 37) + "@example.jp\r\nTo: user@example.jp\r\n"
                     "Subject: =?ISO-2022-JP?B?GyRCRnxLXDhsJE4lYSE8JWsbKEI=?= " + std::to_string(n) +
                     "\r\nDate: Mon, 07 Dec 2026 09:30:00 +0900\r\nMessage-Id: <" + std::to_string(n) +
                     ".bench@example.jp>\r\nMIME-Version: 1.0\r\nContent-Type: text/plain; charset=ISO-2022-JP\r\n"
                     "Content-Transfer-Encoding: 7bit\r\n\r\n";
  const std::string line = "\x1B$B$3$l$OF|K\\8l$N%F%9%H%a!<%k$G$9!#2?9T$bB3$-$^$9!#\x1B(B line " +
                           std::to_string(n) + " of the body text\r\n";
  while (text.size() < 20 * 1024) text += line;
  return text;
}

// Dovecot in the foreground with a configuration of its own in a private
// folder; one user whose maildir holds the mails.
class Dovecot {
public:
  Dovecot() : dir_(fs::temp_directory_path() / ("zorvik-bench-receive-" + std::to_string(::getpid()))) {
    fs::create_directories(dir_ / "run");
    fs::create_directories(dir_ / "state");
    for (const char* sub : {"new", "cur", "tmp"}) fs::create_directories(dir_ / "home" / kUser / "Maildir" / sub);
    ::chmod(dir_.c_str(), 0755);
    std::ofstream(dir_ / "passwd") << kUser << ":" << kPassword << "\n";
    ::chmod((dir_ / "passwd").c_str(), 0644);
  }
  ~Dovecot() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      int status = 0;
      ::waitpid(pid_, &status, 0);
    }
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  void fill() const {
    const fs::path maildir = dir_ / "home" / kUser / "Maildir";
    for (int i = 0; i < kMails; ++i) {
      const std::string name = std::to_string(1'700'000'000 + i) + ".M" + std::to_string(i) + ".bench";
      std::ofstream(maildir / "cur" / (name + ":2,"), std::ios::binary) << mailText(i);
    }
    if (::geteuid() == 0) {
      for (const auto& entry : fs::recursive_directory_iterator(dir_ / "home"))
        ::chown(entry.path().c_str(), 65534, 65534);
      ::chown((dir_ / "home").c_str(), 65534, 65534);
    }
  }

  bool start() {
    port_ = test::freeLoopbackPort();
    do {
      tlsPort_ = test::freeLoopbackPort();
    } while (tlsPort_ == port_);
    const std::string key = (dir_ / "key.pem").string();
    const std::string certificate = this->certificate().string();
    if (runProgram({kOpenssl, "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:P-256", "-nodes",
                    "-keyout", key, "-out", certificate, "-days", "2", "-subj", "/CN=127.0.0.1", "-addext",
                    "subjectAltName=IP:127.0.0.1"}) != 0)
      return false;
    ::chmod(key.c_str(), 0644);
    writeConfiguration();
    pid_ = ::fork();
    if (pid_ == 0) {
      const std::string config = (dir_ / "dovecot.conf").string();
      ::execl(kDovecot, kDovecot, "-F", "-c", config.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    for (int i = 0; i < 500; ++i) {
      if (test::acceptsOnLoopback(port_) && test::acceptsOnLoopback(tlsPort_)) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }

  std::uint16_t port() const { return port_; }
  std::uint16_t tlsPort() const { return tlsPort_; }
  const fs::path& dir() const { return dir_; }
  /// The server's self-signed certificate, which the clients trust.
  fs::path certificate() const { return dir_ / "cert.pem"; }

private:
  void writeConfiguration() const {
    const bool root = ::geteuid() == 0;
    const std::string d = dir_.string();
    std::ostringstream c;
    c << "base_dir = " << d << "/run\nstate_dir = " << d << "/state\nlog_path = " << d << "/dovecot.log\n"
      << "ssl = yes\nssl_cert = <" << d << "/cert.pem\nssl_key = <" << d << "/key.pem\n"
      << "disable_plaintext_auth = no\nauth_mechanisms = plain\nprotocols = pop3\n"
      << "listen = 127.0.0.1\npop3_uidl_format = %08Xu%08Xv\n"
      << "passdb {\n  driver = passwd-file\n  args = scheme=PLAIN " << d << "/passwd\n}\n"
      << "userdb {\n  driver = static\n  args = uid=" << (root ? 65534 : ::geteuid())
      << " gid=" << (root ? 65534 : ::getegid()) << " home=" << d << "/home/%u\n}\n"
      << "mail_location = maildir:~/Maildir\n"
      << "service pop3-login {\n  inet_listener pop3 {\n    address = 127.0.0.1\n    port = " << port_
      << "\n  }\n  inet_listener pop3s {\n    address = 127.0.0.1\n    port = " << tlsPort_
      << "\n    ssl = yes\n  }\n}\n";
    if (!root) {
      const passwd* me = ::getpwuid(::geteuid());
      const std::string name = me ? me->pw_name : "nobody";
      c << "default_internal_user = " << name << "\ndefault_login_user = " << name
        << "\nservice pop3-login {\n  chroot =\n}\nservice anvil {\n  chroot =\n}\n";
    }
    std::ofstream(dir_ / "dovecot.conf") << c.str();
  }

  fs::path dir_;
  std::uint16_t port_ = 0;
  std::uint16_t tlsPort_ = 0;
  pid_t pid_ = -1;
};

Dovecot* server = nullptr;

class QuietReporter final : public core::Reporter {
public:
  bool show(core::MessageKind, const std::string&, const std::string& text) override {
    std::fprintf(stderr, "message: %s\n", text.c_str());
    return false;
  }
};

// One whole receive into a fresh store: the store's trays are made anew so
// that every mail is new to it each time.
int zorvikReceive(const fs::path& root, bool tls) {
  fs::remove_all(root);
  fs::create_directories(root / "Top" / ".inc");
  const store::StoreLocation store{root.string(), "Top", {}};
  store::TrayFile(store, "new").create(store::systemTrayProperties(store::kNewMailTray));
  store::TrayFile(store, "server").create(store::systemTrayProperties(store::kMailServerTray));

  QuietReporter reporter;
  core::Messages messages(reporter);
  core::SilentProgress progress;
  message::MimeDecoderSettings decoding;
  decoding.attachmentRoot = (root / "Top" / ".inc").string();
  decoding.workDirectory = (root / "Top").string();
  mailflow::StoreMailServerTray tray(store, "server", message::ParseContext{});
  const std::string workFile = (root / "Top" / "RxMail.XM0").string();
  mailflow::WorkFileSink sink(workFile, decoding, messages);
  net::PopSession session(messages, tray, sink);
  mailflow::ReceiveSettings settings;
  settings.pop = {"127.0.0.1", tls ? server->tlsPort() : server->port(), 30, 30, {kUser, kPassword, false, true}};
  if (tls) settings.pop.tls.mode = net::TlsMode::Implicit;
  mailflow::ReceivePhase phase(session, tray, sink, messages, settings, progress);
  const mailflow::ReceiveResult result = phase.run();
  sink.close();
  const message::MailRecordParser parser(message::ParseContext{});
  const auto stored = store::WorkFileAppender::append(workFile, store::TrayFile(store, "new"), parser);
  return result.failed || !stored ? -1 : static_cast<int>(stored->appended);
}

void zorvikBenchmark(benchmark::State& state, bool tls) {
  const fs::path root = server->dir() / "zorvik";
  for (auto _ : state) {
    const double cpuBefore = cpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    const int stored = zorvikReceive(root, tls);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = cpuSeconds() - cpuBefore;
    (tls ? figures.zorvikTls : figures.zorvik).push_back(seconds);
    (tls ? figures.zorvikTlsCpu : figures.zorvikCpu).push_back(cpu);
    state.counters["cpu_s"] = cpu;
    if (stored != kMails) state.SkipWithError(("stored " + std::to_string(stored)).c_str());
  }
  state.counters["mails"] = kMails;
}

void BM_ZorvikReceive(benchmark::State& state) { zorvikBenchmark(state, false); }
void BM_ZorvikReceivePop3s(benchmark::State& state) { zorvikBenchmark(state, true); }

int fetchmailRun(const fs::path& folder, bool tls) {
  fs::create_directories(folder);
  const fs::path rc = folder / "fetchmailrc";
  std::ofstream(rc) << "poll 127.0.0.1 with proto POP3 port " << (tls ? server->tlsPort() : server->port())
                    << "\n  user \"" << kUser << "\" there with password \"" << kPassword << "\" is \"" << kUser
                    << "\" here options keep fetchall "
                    << (tls ? "ssl sslcertck sslcertfile \"" + server->certificate().string() + "\"" : "sslproto \"\"")
                    << "\n";
  ::chmod(rc.c_str(), 0600);
  const fs::path out = folder / "mails.bsmtp";
  fs::remove(out);
  const pid_t child = ::fork();
  if (child == 0) {
    ::setenv("HOME", folder.c_str(), 1);
    ::setenv("FETCHMAILHOME", folder.c_str(), 1);
    const std::string rcPath = rc.string(), ids = (folder / "ids").string(), pid = (folder / "pid").string(),
                      bsmtp = out.string();
    ::execl(kFetchmail, kFetchmail, "-N", "-s", "-f", rcPath.c_str(), "-i", ids.c_str(), "--pidfile", pid.c_str(),
            "--bsmtp", bsmtp.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The mails in fetchmail's BSMTP file: one "MAIL FROM:" line each.
int bsmtpMails(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  int count = 0;
  for (std::string line; std::getline(in, line);)
    if (line.starts_with("MAIL FROM:")) ++count;
  return count;
}

void fetchmailBenchmark(benchmark::State& state, bool tls) {
  if (::access(kFetchmail, X_OK) != 0) {
    state.SkipWithError("fetchmail is not installed");
    return;
  }
  const fs::path folder = server->dir() / (tls ? "fetchmail-ssl" : "fetchmail");
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const int status = fetchmailRun(folder, tls);
    (tls ? figures.fetchmailTls : figures.fetchmail)
        .push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    state.PauseTiming();
    const int mails = bsmtpMails(folder / "mails.bsmtp");
    state.ResumeTiming();
    if (status != 0 || mails != kMails)
      state.SkipWithError(("fetchmail exit status " + std::to_string(status) + ", mails " + std::to_string(mails)).c_str());
  }
  state.counters["mails"] = kMails;
}

void BM_Fetchmail(benchmark::State& state) { fetchmailBenchmark(state, false); }
void BM_FetchmailSsl(benchmark::State& state) { fetchmailBenchmark(state, true); }

// The plainest client there is: poplib's RETR, one mail after the other,
// nothing decoded or stored.
void BM_PoplibRetrLoop(benchmark::State& state) {
  const fs::path script = server->dir() / "retr.py";
  std::ofstream(script) << "import poplib, sys\n"
                           "box = poplib.POP3('127.0.0.1', int(sys.argv[1]))\n"
                           "box.user('" << kUser << "'); box.pass_('" << kPassword << "')\n"
                           "count = box.stat()[0]\n"
                           "for n in range(1, count + 1): box.retr(n)\n"
                           "box.quit()\n"
                           "sys.exit(0 if count == " << kMails << " else 1)\n";
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const int status = runProgram({kPython, script.string(), std::to_string(server->port())});
    figures.poplib.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    if (status != 0) state.SkipWithError("the poplib loop did not fetch every mail");
  }
  state.counters["mails"] = kMails;
}

BENCHMARK(BM_ZorvikReceive)->Iterations(1)->Repetitions(kRuns)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Fetchmail)->Iterations(1)->Repetitions(kRuns)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PoplibRetrLoop)->Iterations(1)->Repetitions(kRuns)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ZorvikReceivePop3s)->Iterations(1)->Repetitions(kRuns)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FetchmailSsl)->Iterations(1)->Repetitions(kRuns)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  if (::access(kDovecot, X_OK) != 0) {
    std::fprintf(stderr, "dovecot is not installed; nothing to measure\n");
    return 0;
  }
  Dovecot dovecot;
  dovecot.fill();
  if (!dovecot.start()) {
    std::fprintf(stderr, "dovecot did not start\n");
    return 1;
  }
  server = &dovecot;
  // The run's own certificate stands in for the system's trust store.
  ::setenv("SSL_CERT_FILE", dovecot.certificate().c_str(), 1);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  const double zorvik = median(figures.zorvik), zorvikTls = median(figures.zorvikTls);
  const double fetchmail = median(figures.fetchmail), fetchmailTls = median(figures.fetchmailTls);
  const double poplib = median(figures.poplib);
  std::printf("5000 mails of 20 KB, medians of the runs:\n");
  if (zorvik > 0)
    std::printf("  plain POP3: Zorvik %.2f s (own CPU %.2f s), fetchmail %.2f s, poplib RETR loop %.2f s\n"
                "    fetchmail / Zorvik %.2f, poplib / Zorvik %.2f\n",
                zorvik, median(figures.zorvikCpu), fetchmail, poplib, fetchmail / zorvik, poplib / zorvik);
  if (zorvikTls > 0)
    std::printf("  POP3S: Zorvik %.2f s (own CPU %.2f s), fetchmail --ssl %.2f s\n"
                "    fetchmail --ssl / Zorvik %.2f, Zorvik POP3S / plain %.2f\n",
                zorvikTls, median(figures.zorvikTlsCpu), fetchmailTls, fetchmailTls / zorvikTls, zorvikTls / zorvik);
  server = nullptr;
  return 0;
}
