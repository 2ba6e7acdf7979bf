// The personal settings file: load and save of a complete file against the
// physical floor of reading and writing the same bytes.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "core/Messages.h"
#include "core/SettingsFile.h"
#include "platform/FileSystem.h"

namespace {

using namespace zorvik;

class SilentReporter : public core::Reporter {
public:
  bool show(core::MessageKind, const std::string&, const std::string&) override { return false; }
};

// A complete settings file with long multi-line values, in a private folder.
const std::string& settingsPath() {
  static const std::string path = [] {
    char pattern[] = "/tmp/zorvik-bench-XXXXXX";
    const std::string dir = mkdtemp(pattern);
    SilentReporter reporter;
    core::Messages messages(reporter);
    core::SettingsFile settings;
    std::string lines;
    for (int i = 0; i < 200; ++i) lines += "signature line " + std::to_string(i) + "\r\n";
    settings.setText(core::item::kJapaneseSignature, lines);
    settings.setText(core::item::kSortOrder, lines);
    settings.save(messages, dir + "/bench.xm9");
    return dir + "/bench.xm9";
  }();
  return path;
}

void BM_RawRead(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(platform::readFile(settingsPath()));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(*platform::fileSize(settingsPath())));
}
BENCHMARK(BM_RawRead);

void BM_SettingsLoad(benchmark::State& state) {
  SilentReporter reporter;
  core::Messages messages(reporter);
  for (auto _ : state) {
    core::SettingsFile settings;
    benchmark::DoNotOptimize(settings.load(settingsPath(), messages));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(*platform::fileSize(settingsPath())));
}
BENCHMARK(BM_SettingsLoad);

void BM_RawWrite(benchmark::State& state) {
  const std::string content = *platform::readFile(settingsPath());
  for (auto _ : state) benchmark::DoNotOptimize(platform::writeFileAtomically(settingsPath() + ".raw", content));
}
BENCHMARK(BM_RawWrite);

void BM_SettingsSave(benchmark::State& state) {
  SilentReporter reporter;
  core::Messages messages(reporter);
  core::SettingsFile settings;
  settings.load(settingsPath(), messages);
  const std::string copy = settingsPath() + ".copy.xm9";
  for (auto _ : state) benchmark::DoNotOptimize(settings.save(messages, copy));
}
BENCHMARK(BM_SettingsSave);

}  // namespace

BENCHMARK_MAIN();
