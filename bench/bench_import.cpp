// Importing a UNIX mailbox of 20,000 mails (about 200 MB) into a tray,
// against delivering the same mails, one file each, through `deliver`
// (the receive's MIME decoding into the work file and the move into a
// tray) in the same run. The import does the same decoding and must not
// cost more than it: target ratio import / deliver <= 1.2.
//
// The mails are about 10 KB: Japanese text in ISO-2022-JP, every tenth
// with a base64 attachment. ZORVIK_BENCH_IMPORT_MAILS changes their number.
// Everything is made in a temporary folder and removed at the end.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/Messages.h"
#include "core/Progress.h"
#include "core/Reporter.h"
#include "core/SettingsFile.h"
#include "core/SettingsItemTable.h"
#include "mailflow/DeliverFlow.h"
#include "mailflow/Document.h"
#include "mailflow/ImportFlow.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/Sound.h"
#include "store/StoreLayout.h"
#include "store/TrayFile.h"
#include "store/TrayProperties.h"

namespace {

using namespace zorvik;
namespace fs = std::filesystem;

int mailCount() {
  const char* value = std::getenv("ZORVIK_BENCH_IMPORT_MAILS");
  return value ? std::atoi(value) : 20000;
}

class NoReporter final : public core::Reporter {
public:
  bool show(core::MessageKind, const std::string&, const std::string&) override { return true; }
};

std::string mailText(int n) {
  std::string text = "From: sender" + std::to_string(n % 53) + "@example.jp\r\nTo: user@example.jp\r\n"
                     "Subject: =?ISO-2022-JP?B?GyRCRnxLXDhsJE4lYSE8JWsbKEI=?= " + std::to_string(n) +
                     "\r\nDate: Mon, 07 Dec 2026 09:30:00 +0900\r\nMessage-Id: <" + std::to_string(n) +
                     ".import@example.jp>\r\nMIME-Version: 1.0\r\n";
  const std::string line = "\x1B$B$3$l$OF|K\\8l$N%F%9%H%a!<%k$G$9!#\x1B(B line " + std::to_string(n) + "\r\n";
  if (n % 10 != 0) {
    text += "Content-Type: text/plain; charset=ISO-2022-JP\r\n\r\n";
    while (text.size() < 10 * 1024) text += line;
    return text;
  }
  text += "Content-Type: multipart/mixed; boundary=\"b\"\r\n\r\n--b\r\n"
          "Content-Type: text/plain; charset=ISO-2022-JP\r\n\r\n";
  while (text.size() < 6 * 1024) text += line;
  text += "--b\r\nContent-Type: application/octet-stream; name=\"data.bin\"\r\nContent-Transfer-Encoding: base64\r\n\r\n";
  for (int i = 0; i < 56; ++i) text += std::string(76, i % 2 == 0 ? 'Q' : 'w') + "\r\n";
  return text + "--b--\r\n";
}

// The store, the mailbox and the mail files, made once for the whole run.
struct Scene {
  Scene() : root(fs::temp_directory_path() / ("zorvik-bench-import-" + std::to_string(::getpid()))) {
    fs::create_directories(root / "mails");
    std::ofstream mailbox(root / "all.mbox", std::ios::binary);
    for (int n = 0; n < mailCount(); ++n) {
      const std::string mail = mailText(n);
      mailbox << "From sender@example.jp Mon Dec  7 09:30:00 2026\n" << mail << "\n";
      const std::string file = (root / "mails" / (std::to_string(n) + ".eml")).string();
      std::ofstream(file, std::ios::binary) << mail;
      files.push_back(file);
    }
    core::SettingsFile settings;
    settings.setText(core::item::kStoreRoot, (root / "store").string());
    settings.updateDerivedValues();
    store::createStore(settings);
    document = std::make_unique<mailflow::Document>(
        std::move(settings), messages, nullptr, [](std::string_view) { return std::optional<std::uint64_t>(1ull << 40); });
  }
  ~Scene() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }

  // An empty tray `name`, its attachments gone.
  void freshTray(const std::string& name) const {
    fs::remove_all(fs::path(document->store().topCabinetPath()) / ".inc");
    store::TrayFile(document->store(), name).create(store::TrayProperties{});
  }

  fs::path root;
  std::vector<std::string> files;
  NoReporter reporter;
  core::Messages messages{reporter};
  std::unique_ptr<mailflow::Document> document;
  core::SilentProgress progress;
  platform::SilentSound sound;
  mailflow::StopRequest stop;
  mailflow::FrontEnd front{progress, sound, platform::SystemClock::instance(), stop};
};

Scene* scene = nullptr;
double importSeconds = 0;
double deliverSeconds = 0;

void BM_Import(benchmark::State& state) {
  mailflow::ImportRequest request;
  request.kind = import::MailerKind::UnixMail;
  request.source = (scene->root / "all.mbox").string();
  request.tray = "imported";
  for (auto _ : state) {
    scene->freshTray("imported");
    const auto start = std::chrono::steady_clock::now();
    const auto report = mailflow::ImportFlow::run(*scene->document, scene->front, request);
    importSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!report || !report->ok || report->files[0].stored != static_cast<std::uint32_t>(mailCount()))
      state.SkipWithError("the import did not store every mail");
  }
  state.counters["mails"] = mailCount();
}

void BM_Deliver(benchmark::State& state) {
  for (auto _ : state) {
    scene->freshTray("delivered");
    const auto start = std::chrono::steady_clock::now();
    const auto report = mailflow::DeliverFlow::run(*scene->document, scene->front, scene->files, "delivered");
    deliverSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!report || !report->ok || !report->stored || report->stored->stored.appended != static_cast<std::uint32_t>(mailCount()))
      state.SkipWithError("the delivery did not store every mail");
  }
  state.counters["mails"] = mailCount();
}

BENCHMARK(BM_Deliver)->Iterations(1)->Repetitions(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Import)->Iterations(1)->Repetitions(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  Scene made;
  scene = &made;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (importSeconds > 0 && deliverSeconds > 0)
    std::printf("import / deliver (last runs): %.2f / %.2f s = ratio %.2f (target <= 1.2)\n", importSeconds,
                deliverSeconds, importSeconds / deliverSeconds);
  return 0;
}
