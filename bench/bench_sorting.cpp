// Sorting 10,000 new mails against 200 trays with mixed rules (keywords,
// expressions, send groups), against the floor of reading the same mails:
//   ReadRecords       every index record of the new-mail tray, nothing else;
//   ReadHeaders       every record and its header bytes (what any sorting
//                     must read), without parsing;
//   ReadAndParse      the same with each header parsed into its record, as
//                     the rules need it;
//   Choose            reading, parsing each header and choosing a tray;
//   ChooseAndMove     the whole automatic run: choosing, then moving every
//                     matched mail into its tray with the log written.
// Parsing the headers, not reading them, is what a sort cannot avoid, so the
// choice is meant to stay within five times ReadAndParse; ChooseAndMove adds
// the moves (one batch per tray), the links and the log.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/Messages.h"
#include "core/Reporter.h"
#include "message/MailRecordParser.h"
#include "platform/Clock.h"
#include "platform/FileLock.h"
#include "platform/Sound.h"
#include "sorting/AutoSorter.h"
#include "sorting/SortPlanner.h"
#include "sorting/StoredMailReader.h"
#include "store/MailRecordIndex.h"
#include "store/TrayFile.h"
#include "store/TrayFlags.h"
#include "ScratchFolder.h"

namespace {

using namespace zorvik;

constexpr int kMails = 10000;
constexpr int kTrays = 200;
const std::string kNewMail = "NewMail";

class QuietReporter : public core::Reporter {
public:
  bool show(core::MessageKind, const std::string&, const std::string&) override { return false; }
};

// Trays 0-69 sort by keyword, 70-139 by expression, 140-199 by send group.
store::TrayProperties trayRule(int n) {
  store::TrayProperties properties;
  properties.flags = store::trayflag::kAutoSort;
  if (n < 70) {
    properties.sortKeyword = "list-" + std::to_string(n);
  } else if (n < 140) {
    properties.sortExpression = "[Subject:] > \"topic-" + std::to_string(n) + "\" & ![From:] > \"spam\"";
  } else {
    properties.flags |= store::trayflag::kSendGroup;
    for (int k = 0; k < 5; ++k) properties.sendGroupTo += "friend" + std::to_string(n * 10 + k) + "@example.jp\r\n";
  }
  return properties;
}

// A quarter of the mails each: a list tag, an expression topic, a friend,
// and nobody's.
store::MailText mailText(int i) {
  const int tray = (i * 7) % kTrays;
  std::string subject = "hello " + std::to_string(i);
  std::string from = "someone" + std::to_string(i) + "@example.com";
  switch (i % 4) {
    case 0: subject = "[list-" + std::to_string(tray % 70) + ":" + std::to_string(i) + "] news"; break;
    case 1: subject = "about topic-" + std::to_string(70 + tray % 70) + " today"; break;
    case 2: from = "friend" + std::to_string((140 + tray % 60) * 10 + 2) + "@example.jp"; break;
    default: break;
  }
  store::MailText text;
  text.separator = "From  ";
  text.header = {"From: " + from, "To: me@example.jp", "Subject: " + subject,
                 "Date: Mon, 07 Dec 2026 09:30:00 +0900", "Message-Id: <" + std::to_string(i) + "@example.com>"};
  text.body = {"Hello,", "a short body.", "--", "sender"};
  return text;
}

struct Store {
  Store() {
    environment.store.root = root + "/work";
    environment.store.topCabinet = "Top";
    environment.newMailTray = kNewMail;
    environment.trashTray = "Trash";
    environment.parse.userAddress = "me@example.jp";
    environment.logPath = root + "/sorting.log";
    environment.journalPath = root + "/journal";
    build();
  }

  void build() const {
    const store::StoreLocation original{root + "/original", "Top", {}};
    std::filesystem::create_directories(original.topCabinetPath());
    for (int n = 0; n < kTrays; ++n) store::TrayFile(original, "T" + std::to_string(n)).create(trayRule(n));
    store::TrayFile(original, "Trash").create({});
    const store::TrayFile newMail(original, kNewMail);
    newMail.create({});
    const message::MailRecordParser parser(environment.parse);
    auto session = newMail.appender();
    for (int i = 0; i < kMails; ++i) {
      const store::MailText text = mailText(i);
      message::MailRecord mail;
      std::string header;
      for (const auto& line : text.header) header += line + "\r\n";
      parser.reparse(mail, header);
      session->appendMail(text, store::MailRecordIndex::toIndex(mail));
    }
    session->finish();
  }

  // The working store back to its state before sorting.
  void reset() const {
    std::filesystem::remove_all(root + "/work");
    std::filesystem::copy(root + "/original", root + "/work", std::filesystem::copy_options::recursive);
    std::filesystem::remove(environment.logPath);
  }

  bench::ScratchFolder folder;
  const std::string& root = folder.path();
  sorting::SortEnvironment environment;
};

Store& scene() {
  static Store store;
  return store;
}

void ReadRecords(benchmark::State& state) {
  Store& s = scene();
  s.reset();
  for (auto _ : state) {
    auto reader = store::TrayReader::open(s.environment.store, kNewMail);
    store::TrayRecord row;
    int live = 0;
    while (reader->nextMail(row) == store::ReadResult::Live) ++live;
    benchmark::DoNotOptimize(live);
  }
  state.SetItemsProcessed(state.iterations() * kMails);
}

void ReadHeaders(benchmark::State& state) {
  Store& s = scene();
  s.reset();
  const store::TrayFile tray(s.environment.store, kNewMail);
  std::string header;
  for (auto _ : state) {
    auto reader = tray.reader();
    auto text = platform::FileLock::open(tray.path(store::filetype::kText), platform::FileAccess::Read);
    store::TrayRecord row;
    std::size_t bytes = 0;
    while (reader->nextMail(row) == store::ReadResult::Live) {
      header.resize(row.record.bodyStart() - row.record.textStart());
      bytes += text->readAt(row.record.textStart(), header.data(), header.size()).value_or(0);
    }
    benchmark::DoNotOptimize(bytes);
  }
  state.SetItemsProcessed(state.iterations() * kMails);
}

void ReadAndParse(benchmark::State& state) {
  Store& s = scene();
  s.reset();
  const message::MailRecordParser parser(s.environment.parse);
  const sorting::StoredMailReader reader(s.environment.store, parser);
  std::size_t tagged = 0;
  for (auto _ : state) {
    reader.read(kNewMail, 0, kMails, true,
                [&tagged](std::uint32_t, const store::IndexRecord&, message::MailRecord& mail) {
                  tagged += mail.listTag.empty() ? 0 : 1;
                });
  }
  benchmark::DoNotOptimize(tagged);
  state.SetItemsProcessed(state.iterations() * kMails);
}

void Choose(benchmark::State& state) {
  Store& s = scene();
  s.reset();
  std::size_t chosen = 0;
  for (auto _ : state) {
    sorting::SortPlanner planner(s.environment);
    const auto decisions = planner.plan(kNewMail, 0, kMails, false, true);
    for (const auto& decision : decisions) chosen += decision.choice.rule ? 1 : 0;
  }
  state.counters["chosen"] = static_cast<double>(chosen) / static_cast<double>(state.iterations());
  state.SetItemsProcessed(state.iterations() * kMails);
}

void ChooseAndMove(benchmark::State& state) {
  Store& s = scene();
  QuietReporter reporter;
  core::Messages messages(reporter);
  platform::SilentSound sound;
  std::size_t moved = 0;
  for (auto _ : state) {
    state.PauseTiming();
    s.reset();
    state.ResumeTiming();
    sorting::AutoSorter sorter(s.environment, messages, sound, platform::SystemClock::instance());
    sorter.start(0, kMails, [&moved](const sorting::SortOutcome& outcome) { moved += outcome.moved; });
  }
  state.counters["moved"] = static_cast<double>(moved) / static_cast<double>(state.iterations());
  state.SetItemsProcessed(state.iterations() * kMails);
}

BENCHMARK(ReadRecords)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadHeaders)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadAndParse)->Unit(benchmark::kMillisecond);
BENCHMARK(Choose)->Unit(benchmark::kMillisecond);
BENCHMARK(ChooseAndMove)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
