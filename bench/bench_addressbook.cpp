// Resolving a name in an address book of 100,000 cards (vCard 3.0, about
// 16 MB): one lookup, with the book loaded, against the cheapest thing
// any search must beat, one linear scan of the file's bytes for the name
// (memmem). Target: a lookup under 1 ms; the ratio says how many lookups
// one scan costs. Loading the book (reading the file and building the
// index) is measured too.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "addressbook/VCardAddressBook.h"
#include "platform/FileSystem.h"

namespace {

using namespace zorvik;
namespace fs = std::filesystem;

constexpr int kCards = 100000;

struct Book {
  Book() : folder(fs::temp_directory_path() / ("zorvik-bench-abook-" + std::to_string(::getpid()))) {
    fs::create_directories(folder);
    for (int i = 0; i < kCards; ++i) {
      const std::string n = std::to_string(i);
      file += "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Person" + n + " Family" + std::to_string(i % 997) +
              "\r\nN:Family" + std::to_string(i % 997) + ";Person" + n + ";;;\r\nEMAIL;TYPE=INTERNET:person" + n +
              "@example.jp\r\nTEL;TYPE=CELL:+81-90-" + n + "\r\nNOTE:card number " + n + "\r\nEND:VCARD\r\n";
    }
    path = (folder / "addressbook.vcf").string();
    platform::writeFileAtomically(path, file);
  }
  ~Book() {
    std::error_code ec;
    fs::remove_all(folder, ec);
  }
  fs::path folder;
  std::string file;
  std::string path;
};

Book* book = nullptr;
double lookupNs = 0;
double scanNs = 0;

void BM_Load(benchmark::State& state) {
  for (auto _ : state) {
    addressbook::VCardAddressBook loaded(book->path);
    benchmark::DoNotOptimize(loaded.resolve("person99999"));
  }
}

void BM_Resolve(benchmark::State& state) {
  addressbook::VCardAddressBook loaded(book->path);
  loaded.resolve("x");  // loads the book and builds its index
  int i = 0;
  for (auto _ : state) {
    const auto choices = loaded.resolve("person" + std::to_string(50000 + (i++ % 1000) * 7));
    if (choices.size() != 1) state.SkipWithError("not found");
    benchmark::DoNotOptimize(choices);
  }
}

void BM_LinearScan(benchmark::State& state) {
  int i = 0;
  for (auto _ : state) {
    const std::string name = "Person" + std::to_string(50000 + (i++ % 1000) * 7) + " ";
    benchmark::DoNotOptimize(memmem(book->file.data(), book->file.size(), name.data(), name.size()));
  }
}

// Keeps the time per iteration of each run for the ratio printed at the end.
class RatioReporter final : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const double ns = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e9;
      if (run.benchmark_name().starts_with("BM_Resolve")) lookupNs = ns;
      if (run.benchmark_name().starts_with("BM_LinearScan")) scanNs = ns;
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

BENCHMARK(BM_Load)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Resolve)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LinearScan)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  Book made;
  book = &made;
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  if (lookupNs > 0 && scanNs > 0)
    std::printf("one lookup %.1f us (target < 1000 us); a linear scan %.1f us: scan / lookup = ratio %.0f\n",
                lookupNs / 1000, scanNs / 1000, scanNs / lookupNs);
  return 0;
}
