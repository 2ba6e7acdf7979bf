// The whole send command on 2,000 unsent mails of about 20 KB: reading each
// mail from the unsent tray, composing its header and body files, sending it
// over one connection, and moving every sent mail into the sent tray;
// against msmtp sending the same number of ready-made mails (one run per
// mail, as msmtp sends one message per invocation).
//
// Both send to the same real local server, aiosmtpd with its Sink handler
// (it takes every mail and keeps none), started by this program. The SMTP
// session alone against an in-process sink is bench_smtp's; this one adds
// what the user waits for around it. The ratio msmtp time / Zorvik time is
// printed at the end; msmtp is skipped when /usr/bin/msmtp is missing.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/Messages.h"
#include "core/SettingsFile.h"
#include "core/SettingsItemTable.h"
#include "message/ComposedHeaderWriter.h"
#include "message/MailRecordParser.h"
#include "net/AsyncSocket.h"
#include "net/PollEventLoop.h"
#include "mailflow/SendPhase.h"
#include "mailflow/SentMailPlacement.h"
#include "store/MailRecordIndex.h"
#include "store/StoreLayout.h"
#include "store/TrayFile.h"
#include "support/LoopbackPort.h"

extern char** environ;

namespace {

using namespace zorvik;
namespace fs = std::filesystem;

constexpr int kMails = 2000;
constexpr std::size_t kMailSize = 20 * 1024;
constexpr const char* kMsmtp = "/usr/bin/msmtp";
constexpr const char* kPython = "/usr/bin/python3";

class SilentReporter final : public core::Reporter {
public:
  bool show(core::MessageKind, const std::string&, const std::string&) override { return false; }
};

bool spawn(const std::vector<std::string>& argv, const char* input, pid_t& pid) {
  std::vector<char*> args;
  std::vector<std::string> copy = argv;
  for (std::string& arg : copy) args.push_back(arg.data());
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (input) posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, input, O_RDONLY, 0);
  const bool started = posix_spawn(&pid, copy[0].c_str(), &actions, nullptr, args.data(), environ) == 0;
  posix_spawn_file_actions_destroy(&actions);
  return started;
}

// aiosmtpd taking and dropping every mail, stopped by its process id.
class SinkServer {
public:
  SinkServer() : port_(test::freeLoopbackPort()) {
    const std::string listen = "127.0.0.1:" + std::to_string(port_);
    if (!spawn({kPython, "-m", "aiosmtpd", "-n", "-l", listen, "-c", "aiosmtpd.handlers.Sink"}, nullptr, pid_))
      return;
    for (int i = 0; i < 100 && !test::acceptsOnLoopback(port_); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ~SinkServer() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
  }
  std::uint16_t port() const { return port_; }
  bool running() const { return pid_ > 0 && test::acceptsOnLoopback(port_); }

private:
  std::uint16_t port_;
  pid_t pid_ = -1;
};

std::string bodyText(int mail) {
  std::string body;
  for (int n = 0; body.size() < kMailSize; ++n)
    body += "line " + std::to_string(n) + " of mail " + std::to_string(mail) + std::string(56, 'x') + "\n";
  return body;
}

// A store whose unsent tray holds kMails mails, stored as the compose
// window stores them.
struct UnsentStore {
  UnsentStore() {
    char pattern[] = "/tmp/bench_send_XXXXXX";
    directory = ::mkdtemp(pattern);
    settings.setText(core::item::kStoreRoot, directory + "/store");
    settings.setText(core::item::kSenderAddress, "taro@example.jp");
    settings.setText(core::item::kSmtpServer, "127.0.0.1");
    settings.setText(core::item::kSmtpHeloName, "bench.test");
    settings.setNumber(core::item::kSmtpReceiveTimeout, 60);
    settings.updateDerivedValues();
    store::createStore(settings);
    location = store::StoreLocation::fromSettings(settings);
    parser.emplace(message::ParseContext::fromSettings(settings, 1'765'000'000));
    const store::TrayFile unsent(location, settings.text(core::item::kUnsentTray));
    const std::string draft = directory + "/draft";
    for (int i = 0; i < kMails; ++i) {
      std::ofstream(draft, std::ios::binary) << bodyText(i);
      message::MailRecord record;
      record.date = 1'765'000'000;
      record.subject = "bench " + std::to_string(i);
      record.to = "hanako@example.jp";
      store::MailRecordIndex::appendComposed(unsent, record, draft,
                                             message::ComposeSettings::fromSettings(settings, record.date), *parser);
    }
  }
  ~UnsentStore() { fs::remove_all(directory); }

  std::string directory;
  core::SettingsFile settings;
  store::StoreLocation location;
  std::optional<message::MailRecordParser> parser;
};

double zorvikSeconds = 0;
double msmtpSeconds = 0;

void BM_ZorvikSendCommand(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    SinkServer sink;
    UnsentStore store;
    store.settings.setNumber(core::item::kSmtpPort, sink.port());
    SilentReporter reporter;
    core::Messages messages(reporter);
    net::PollEventLoop loop;
    net::AsyncSocket socket(loop);
    mailflow::SendPhase phase(loop, socket, store.location, *store.parser, messages,
                         mailflow::SendSettings::fromSettings(store.settings, store.location));
    const mailflow::SentMailPlacement placement(store.location, mailflow::PlacementSettings::fromSettings(store.settings),
                                           *store.parser, messages);
    if (!sink.running()) state.SkipWithError("aiosmtpd did not start");
    state.ResumeTiming();

    const auto start = std::chrono::steady_clock::now();
    std::optional<mailflow::SendResult> result;
    phase.start([&result](const mailflow::SendResult& r) { result = r; });
    loop.runUntil([&result] { return result.has_value(); }, std::chrono::minutes(10));
    const auto sent = std::chrono::steady_clock::now();
    const auto placed = placement.place(result ? result->sent : std::vector<std::uint32_t>{});
    zorvikSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.counters["placing_s"] = std::chrono::duration<double>(std::chrono::steady_clock::now() - sent).count();
    if (!result || result->sent.size() != kMails || placed.toSentTray != kMails)
      state.SkipWithError("not every mail was sent and placed");
  }
  state.counters["mails/s"] = benchmark::Counter(kMails, benchmark::Counter::kIsRate);
}

bool runMsmtp(std::uint16_t port, const std::string& mailPath) {
  pid_t pid = -1;
  if (!spawn({kMsmtp, "--file=/dev/null", "--host=127.0.0.1", "--port=" + std::to_string(port), "--auth=off",
              "--tls=off", "--domain=bench.test", "--from=taro@example.jp", "--", "hanako@example.jp"},
             mailPath.c_str(), pid))
    return false;
  int status = 0;
  return ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void BM_Msmtp(benchmark::State& state) {
  if (::access(kMsmtp, X_OK) != 0) {
    state.SkipWithError("msmtp is not installed");
    return;
  }
  for (auto _ : state) {
    state.PauseTiming();
    SinkServer sink;
    char pattern[] = "/tmp/bench_send_msmtp_XXXXXX";
    const std::string directory = ::mkdtemp(pattern);
    for (int i = 0; i < kMails; ++i) {
      std::ofstream(directory + "/" + std::to_string(i) + ".eml", std::ios::binary)
          << "From: taro@example.jp\r\nTo: hanako@example.jp\r\nSubject: bench " << i << "\r\n\r\n"
          << bodyText(i);
    }
    state.ResumeTiming();

    const auto start = std::chrono::steady_clock::now();
    bool ok = true;
    for (int i = 0; i < kMails && ok; ++i) ok = runMsmtp(sink.port(), directory + "/" + std::to_string(i) + ".eml");
    msmtpSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    fs::remove_all(directory);
    if (!ok) state.SkipWithError("msmtp did not send every mail");
  }
  state.counters["mails/s"] = benchmark::Counter(kMails, benchmark::Counter::kIsRate);
}

BENCHMARK(BM_ZorvikSendCommand)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Msmtp)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (zorvikSeconds > 0 && msmtpSeconds > 0)
    std::printf("2000 mails of 20 KB to aiosmtpd: Zorvik send command %.3f s, msmtp %.3f s, ratio msmtp/Zorvik %.1f\n",
                zorvikSeconds, msmtpSeconds, msmtpSeconds / zorvikSeconds);
  return 0;
}
