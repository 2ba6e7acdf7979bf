// Receiving 5,000 mails of about 20 KB (Japanese text in ISO-2022-JP) from a
// local Dovecot: Zorvik's whole receive (POP3 session, MIME decoding into
// the new-mail work file, the mail-server tray bookkeeping with UIDL, and
// the move of every mail into the new-mail tray) against fetchmail fetching
// the same mailbox in the same run. Both keep the mails on the server and
// fetch all of them each time; fetchmail writes them to a BSMTP file, its
// cheapest local delivery (an MDA would cost a process per mail).
//
// The ratio fetchmail time / Zorvik time is printed at the end; fetchmail
// is skipped when it is missing, and everything when Dovecot is.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

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
constexpr const char* kDovecot = "/usr/sbin/dovecot";
constexpr const char* kFetchmail = "/usr/bin/fetchmail";
constexpr const char* kUser = "bench";
constexpr const char* kPassword = "pw";

double zorvikSeconds = 0;
double fetchmailSeconds = 0;

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
    writeConfiguration();
    pid_ = ::fork();
    if (pid_ == 0) {
      const std::string config = (dir_ / "dovecot.conf").string();
      ::execl(kDovecot, kDovecot, "-F", "-c", config.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    for (int i = 0; i < 500; ++i) {
      if (test::acceptsOnLoopback(port_)) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }

  std::uint16_t port() const { return port_; }
  const fs::path& dir() const { return dir_; }

private:
  void writeConfiguration() const {
    const bool root = ::geteuid() == 0;
    const std::string d = dir_.string();
    std::ostringstream c;
    c << "base_dir = " << d << "/run\nstate_dir = " << d << "/state\nlog_path = " << d << "/dovecot.log\n"
      << "ssl = no\ndisable_plaintext_auth = no\nauth_mechanisms = plain\nprotocols = pop3\n"
      << "listen = 127.0.0.1\npop3_uidl_format = %08Xu%08Xv\n"
      << "passdb {\n  driver = passwd-file\n  args = scheme=PLAIN " << d << "/passwd\n}\n"
      << "userdb {\n  driver = static\n  args = uid=" << (root ? 65534 : ::geteuid())
      << " gid=" << (root ? 65534 : ::getegid()) << " home=" << d << "/home/%u\n}\n"
      << "mail_location = maildir:~/Maildir\n"
      << "service pop3-login {\n  inet_listener pop3 {\n    address = 127.0.0.1\n    port = " << port_
      << "\n  }\n}\n";
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
int zorvikReceive(const fs::path& root) {
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
  settings.pop = {"127.0.0.1", server->port(), 30, 30, {kUser, kPassword, false, true}};
  mailflow::ReceivePhase phase(session, tray, sink, messages, settings, progress);
  const mailflow::ReceiveResult result = phase.run();
  sink.close();
  const message::MailRecordParser parser(message::ParseContext{});
  const auto stored = store::WorkFileAppender::append(workFile, store::TrayFile(store, "new"), parser);
  return result.failed || !stored ? -1 : static_cast<int>(stored->appended);
}

void BM_ZorvikReceive(benchmark::State& state) {
  const fs::path root = server->dir() / "zorvik";
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const int stored = zorvikReceive(root);
    zorvikSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (stored != kMails) state.SkipWithError(("stored " + std::to_string(stored)).c_str());
  }
  state.counters["mails"] = kMails;
}

int fetchmailRun(const fs::path& folder) {
  fs::create_directories(folder);
  const fs::path rc = folder / "fetchmailrc";
  std::ofstream(rc) << "poll 127.0.0.1 with proto POP3 port " << server->port() << "\n  user \"" << kUser
                    << "\" there with password \"" << kPassword << "\" is \"" << kUser << "\" here options keep fetchall sslproto \"\"\n";
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

void BM_Fetchmail(benchmark::State& state) {
  if (::access(kFetchmail, X_OK) != 0) {
    state.SkipWithError("fetchmail is not installed");
    return;
  }
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const int status = fetchmailRun(server->dir() / "fetchmail");
    fetchmailSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.PauseTiming();
    const int mails = bsmtpMails(server->dir() / "fetchmail" / "mails.bsmtp");
    state.ResumeTiming();
    if (status != 0 || mails != kMails)
      state.SkipWithError(("fetchmail exit status " + std::to_string(status) + ", mails " + std::to_string(mails)).c_str());
  }
  state.counters["mails"] = kMails;
}

BENCHMARK(BM_ZorvikReceive)->Iterations(1)->Repetitions(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Fetchmail)->Iterations(1)->Repetitions(2)->Unit(benchmark::kMillisecond)->UseRealTime();

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
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (zorvikSeconds > 0 && fetchmailSeconds > 0)
    std::printf("fetchmail / Zorvik (last runs): %.2f / %.2f s = ratio %.2f\n", fetchmailSeconds, zorvikSeconds,
                fetchmailSeconds / zorvikSeconds);
  server = nullptr;
  return 0;
}
