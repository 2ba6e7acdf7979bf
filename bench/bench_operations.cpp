// Store operations against copying the same files with cp in the same run:
// compacting a 100,000-mail tray with every third mail deleted (meant to
// stay within three times the cp of its two files), and moving 10,000 mails
// from one tray to another. Each benchmark reports the cp time of the files
// it works on and the ratio as counters.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/FileLock.h"
#include "store/LinkMaintenance.h"
#include "store/MailOperations.h"
#include "store/TrayFile.h"
#include "store/TrayIndex.h"

namespace {

using namespace zorvik::store;
using Clock = std::chrono::steady_clock;

struct Scratch {
  Scratch() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zorvik-bench-ops-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    store.root = pattern;
    store.topCabinet = "Top";
    std::filesystem::create_directories(store.topCabinetPath());
  }
  ~Scratch() { std::filesystem::remove_all(store.root); }
  StoreLocation store;
};

MailText sampleMail(int i) {
  MailText mail;
  mail.separator = "From sender@example.jp";
  mail.header = {"From: sender@example.jp", "To: user@example.jp", "Subject: bench " + std::to_string(i),
                 "Date: Mon, 07 Dec 2026 09:30:00 +0900", "Message-Id: <" + std::to_string(i) + "@example.jp>"};
  mail.body = {"Hello,", "this is a short mail body that takes a few lines,", "as most mails do.", "--", "sender"};
  return mail;
}

IndexRecord sampleRecord(int i) {
  IndexRecord record;
  record.setDate(1796000000 + i);
  record.setSubject("bench " + std::to_string(i));
  return record;
}

bool fill(const TrayFile& tray, int count) {
  if (!tray.create(TrayProperties{})) return false;
  auto session = tray.appender();
  if (!session) return false;
  for (int i = 0; i < count; ++i) {
    if (!session->appendMail(sampleMail(i), sampleRecord(i))) return false;
  }
  return session->finish();
}

// Marks every third record deleted, as deleting mails one by one leaves it.
bool deleteEveryThird(const TrayFile& tray) {
  auto index = TrayIndex::open(tray.path(filetype::kIndex), zorvik::platform::FileAccess::Update);
  if (!index) return false;
  for (std::uint32_t i = 0; i < index->recordCount(); i += 3) {
    const auto record = index->read(i);
    if (!record || !index->writeFlags(i, record->flags() | 1U)) return false;
  }
  return true;
}

// Seconds taken by cp of the tray's two files into `copyName`.
double cpSeconds(const TrayFile& tray, const std::string& copyName) {
  const std::string command = "cp '" + tray.path(filetype::kText) + "' '" + tray.path(filetype::kIndex) + "' '" +
                              copyName + "'";
  const auto start = Clock::now();
  if (std::system(command.c_str()) != 0) return -1;
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_CompactTray(benchmark::State& state) {
  constexpr int kMails = 100000;
  Scratch scratch;
  const TrayFile tray(scratch.store, "Bench");
  const std::string copies = scratch.store.root + "/copies";
  std::filesystem::create_directories(copies);
  double cpTotal = 0;
  double compactTotal = 0;
  for (auto _ : state) {
    if (!fill(tray, kMails) || !deleteEveryThird(tray)) return state.SkipWithError("fill failed");
    cpTotal += cpSeconds(tray, copies);
    const auto start = Clock::now();
    if (!LinkMaintenance(scratch.store).compact("Bench")) return state.SkipWithError("compaction failed");
    const double took = std::chrono::duration<double>(Clock::now() - start).count();
    compactTotal += took;
    state.SetIterationTime(took);
  }
  state.counters["cp_ms"] = 1000 * cpTotal / static_cast<double>(state.iterations());
  state.counters["ratio_to_cp"] = compactTotal / cpTotal;
  state.SetItemsProcessed(state.iterations() * kMails);
}
BENCHMARK(BM_CompactTray)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

void BM_MoveMails(benchmark::State& state) {
  constexpr int kMails = 10000;
  Scratch scratch;
  const TrayFile from(scratch.store, "From");
  const TrayFile to(scratch.store, "To");
  const std::string copies = scratch.store.root + "/copies";
  std::filesystem::create_directories(copies);
  std::vector<std::uint32_t> all;
  for (std::uint32_t i = 0; i < kMails; ++i) all.push_back(i);
  const MailOperations mails(scratch.store, "Trash");
  double cpTotal = 0;
  double moveTotal = 0;
  for (auto _ : state) {
    if (!fill(from, kMails) || !to.create(TrayProperties{})) return state.SkipWithError("fill failed");
    cpTotal += cpSeconds(from, copies);
    const auto start = Clock::now();
    const auto moved = mails.move("From", all, "To");
    const double took = std::chrono::duration<double>(Clock::now() - start).count();
    if (!moved.placed.back() || !moved.notRemoved.empty()) return state.SkipWithError("move failed");
    moveTotal += took;
    state.SetIterationTime(took);
  }
  state.counters["cp_ms"] = 1000 * cpTotal / static_cast<double>(state.iterations());
  state.counters["ratio_to_cp"] = moveTotal / cpTotal;
  state.SetItemsProcessed(state.iterations() * kMails);
}
BENCHMARK(BM_MoveMails)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
