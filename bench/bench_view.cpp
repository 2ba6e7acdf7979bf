// The mail list of a 100,000-mail tray as the window opens it: the rows
// read from the index and ordered by date, by subject (the double-byte
// comparison), and as threads; against one read() of the same index file,
// the least any list can cost. The list is meant to stay within three
// times the raw read.
//
// The tray's mails arrive as a mailing list's do: mostly in date order,
// one in four a reply, some replies before their parents, subjects in
// Japanese.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/SettingsFile.h"
#include "platform/TextEncoding.h"
#include "store/TrayFile.h"
#include "view/MailList.h"
#include "RawFileRead.h"
#include "ScratchFolder.h"

namespace {

using namespace zorvik;

constexpr int kMails = 100000;

struct Scratch {
  Scratch() {
    store.root = folder.path();
    store.topCabinet = "Top";
    std::filesystem::create_directories(store.topCabinetPath());
    settings.setText(core::item::kStoreRoot, store.root);
    settings.setText(core::item::kTopCabinet, store.topCabinet);
  }
  bench::ScratchFolder folder;
  store::StoreLocation store;
  core::SettingsFile settings;
};

store::ThreadKey keyOf(int i) {
  return {static_cast<std::uint16_t>(i), static_cast<std::uint16_t>(i >> 16), static_cast<std::uint16_t>(i * 7),
          static_cast<std::uint16_t>(1 + (i >> 8))};
}

bool fill(const store::TrayFile& tray) {
  if (!tray.create(store::TrayProperties{})) return false;
  auto session = tray.appender();
  if (!session) return false;
  const std::string subjects[] = {platform::utf8ToSjis("来週の定例会議について"), platform::utf8ToSjis("ﾒｰﾙﾏｶﾞｼﾞﾝ"),
                                  platform::utf8ToSjis("Re: 見積書の件"), "weekly report"};
  for (int i = 0; i < kMails; ++i) {
    store::MailText mail;
    mail.separator = "From sender@example.jp";
    mail.header = {"Subject: bench", "Message-Id: <" + std::to_string(i) + "@example.jp>"};
    mail.body = {"body"};
    store::IndexRecord record;
    // Nearly in order: a few mails a minute late.
    record.setDate(1796000000 + i * 60 + (i % 7 == 0 ? 90 : 0));
    record.setListName(platform::utf8ToSjis("佐藤花子") + std::to_string(i % 50));
    record.setListAddress("sender@example.jp");
    record.setSubject(subjects[i % 4] + " " + std::to_string(i % 1000));
    record.setOwnKey(keyOf(i + 1));
    // One in four replies: to a mail 3 back, or (one in twenty) to one 2 ahead.
    if (i % 4 == 3) record.setParentKey(keyOf(i % 20 == 3 ? i + 3 : i - 2));
    if (!session->appendMail(mail, record)) return false;
  }
  return session->finish();
}

struct Bench {
  Bench() : tray(scratch.store, "Bench") { ready = fill(tray); }
  void sortBy(int item) {
    auto properties = *tray.properties();
    properties.setSort(1, item);
    tray.rewriteProperties(properties);
  }
  Scratch scratch;
  store::TrayFile tray;
  bool ready = false;
};

Bench& bench() {
  static Bench instance;
  return instance;
}

void BM_RawIndexRead(benchmark::State& state) {
  if (!bench().ready) return state.SkipWithError("fill failed");
  const std::string path = bench().tray.path(store::filetype::kIndex);
  for (auto _ : state)
    if (!bench::readFileWhole(path)) state.SkipWithError("short read");
  state.SetItemsProcessed(state.iterations() * kMails);
}
BENCHMARK(BM_RawIndexRead)->Unit(benchmark::kMillisecond)->UseRealTime();

// The tray's sort item 4 (date), 3 (subject) or 7 (threads).
void BM_ListRows(benchmark::State& state) {
  if (!bench().ready) return state.SkipWithError("fill failed");
  bench().sortBy(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    view::MailList list;
    if (!list.showTray(bench().scratch.store, bench().scratch.settings, "Bench") || list.rowCount() != kMails)
      state.SkipWithError("list failed");
    benchmark::DoNotOptimize(list.mailIndex(0));
  }
  state.SetItemsProcessed(state.iterations() * kMails);
}
BENCHMARK(BM_ListRows)->Arg(0)->Arg(4)->Arg(3)->Arg(7)->ArgName("sort")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
