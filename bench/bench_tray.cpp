// Tray access against the disk's own limit: appending 100,000 mails in one
// session, reading every record of a 100,000-mail tray as the list and the
// sorting do, and one read() of the same index file into memory (the least
// any reader can cost). The reading figure is meant to stay within twice
// the raw read; appending at least 50,000 mails a second.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "store/TrayFile.h"
#include "RawFileRead.h"
#include "ScratchFolder.h"

namespace {

using namespace zorvik::store;

constexpr int kMails = 100000;

struct Scratch {
  Scratch() {
    store.root = folder.path();
    store.topCabinet = "Top";
    std::filesystem::create_directories(store.topCabinetPath());
  }
  zorvik::bench::ScratchFolder folder;
  StoreLocation store;
};

MailText sampleMail(int i) {
  MailText mail;
  mail.separator = "From sender@example.jp";
  mail.header = {"From: sender@example.jp", "To: user@example.jp", "Subject: bench " + std::to_string(i),
                 "Date: Mon, 07 Dec 2026 09:30:00 +0900", "Message-Id: <" + std::to_string(i) + "@example.jp>"};
  mail.body = {"Hello,", "this is a short mail body.", "--", "sender"};
  return mail;
}

IndexRecord sampleRecord(int i) {
  IndexRecord record;
  record.setDate(1796000000 + i);
  record.setListAddress("sender@example.jp");
  record.setListName("Sender");
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

void BM_AppendMails(benchmark::State& state) {
  Scratch scratch;
  const TrayFile tray(scratch.store, "Bench");
  for (auto _ : state) {
    state.PauseTiming();
    tray.create(TrayProperties{});
    std::vector<MailText> mails;
    std::vector<IndexRecord> records;
    for (int i = 0; i < kMails; ++i) {
      mails.push_back(sampleMail(i));
      records.push_back(sampleRecord(i));
    }
    state.ResumeTiming();
    auto session = tray.appender();
    for (int i = 0; i < kMails; ++i) session->appendMail(mails[i], records[i]);
    if (!session->finish()) state.SkipWithError("append failed");
  }
  state.SetItemsProcessed(state.iterations() * kMails);
}
BENCHMARK(BM_AppendMails)->Unit(benchmark::kMillisecond)->UseRealTime();

// For comparison: each mail appended by its own operation, opening and
// locking both files every time, as a single copy or move does.
void BM_AppendMailsOnePerOperation(benchmark::State& state) {
  constexpr int kSingle = 10000;
  Scratch scratch;
  const TrayFile tray(scratch.store, "Bench");
  for (auto _ : state) {
    state.PauseTiming();
    tray.create(TrayProperties{});
    state.ResumeTiming();
    for (int i = 0; i < kSingle; ++i) {
      if (!tray.appendMail(sampleMail(i), sampleRecord(i))) state.SkipWithError("append failed");
    }
  }
  state.SetItemsProcessed(state.iterations() * kSingle);
}
BENCHMARK(BM_AppendMailsOnePerOperation)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadAllRecords(benchmark::State& state) {
  Scratch scratch;
  const TrayFile tray(scratch.store, "Bench");
  if (!fill(tray, kMails)) return state.SkipWithError("fill failed");
  for (auto _ : state) {
    auto session = tray.reader();
    TrayRecord record;
    std::int64_t live = 0;
    while (session->nextMail(record) == ReadResult::Live) {
      benchmark::DoNotOptimize(record.record.subject().data());
      ++live;
    }
    if (live != kMails) state.SkipWithError("wrong count");
  }
  state.SetItemsProcessed(state.iterations() * kMails);
}
BENCHMARK(BM_ReadAllRecords)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RawIndexRead(benchmark::State& state) {
  Scratch scratch;
  const TrayFile tray(scratch.store, "Bench");
  if (!fill(tray, kMails)) return state.SkipWithError("fill failed");
  const std::string path = tray.path(filetype::kIndex);
  for (auto _ : state)
    if (!zorvik::bench::readFileWhole(path)) state.SkipWithError("short read");
  state.SetItemsProcessed(state.iterations() * kMails);
}
BENCHMARK(BM_RawIndexRead)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
