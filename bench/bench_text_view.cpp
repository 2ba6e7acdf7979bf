// Showing a 5 MB mail in the text view without Qt: the mail read from its
// tray, every line scanned for tags and quotes, the header rows made and the
// layout built (view::MailTextContent and view::MailTextLayout), against
// only reading the same mail's text from the tray in the same run, the
// least any display must do.
//
// Counters: read_ms (the peer), ratio_vs_read (our time divided by the
// peer's: meant at most 3.0), lines. A second benchmark finds the lines a
// window shows in a 100,000-line mail, which must not grow with the mail.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/TextEncoding.h"
#include "store/TrayFile.h"
#include "view/MailTextContent.h"
#include "view/MailTextLayout.h"

namespace {

using namespace zorvik;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kMailBytes = 5u << 20;

const char* const kLines[] = {
    "お世話になっております。来週の打ち合わせについてご連絡します。",
    "> 資料は前日までに共有をお願いします。",
    "詳細は http://www.example.co.jp/project/plan/2026 をご覧ください。",
    "ご質問は tanaka.jiro@example.co.jp までお願いします。",
    "共有フォルダ \\\\fileserver\\営業\\見積 に置きました。",
    "Meeting notes: budget review, schedule, and the next steps for the team.",
    "\t項目\t金額\t備考",
    "",
};

class MailStore {
public:
  MailStore() {
    root_ = std::filesystem::temp_directory_path() / ("zorvik-bench-text-view-" + std::to_string(::getpid()));
    std::filesystem::create_directories(root_ / "Top");
    store_.root = root_.string();
    store_.topCabinet = "Top";
  }
  ~MailStore() { std::filesystem::remove_all(root_); }

  // Tray "big" holding one mail of about `bytes` bytes.
  void addMail(const std::string& tray, std::size_t bytes, std::size_t lines) {
    const store::TrayFile file(store_, tray);
    if (!file.create(store::TrayProperties{})) std::abort();
    store::MailText text;
    text.separator = "From sender@example.jp";
    text.header = {"From: sender@example.jp", "To: a@example.jp, b@example.jp", "Subject: big",
                   "Date: Mon, 7 Dec 2026 10:00:00 +0900"};
    std::mt19937 random(7);
    std::size_t size = 0;
    while (size < bytes && text.body.size() < lines) {
      text.body.push_back(platform::utf8ToSjis(kLines[random() % std::size(kLines)]));
      size += text.body.back().size() + 2;
    }
    store::IndexRecord record;
    record.setSubject("big");
    if (!file.appendMail(text, record)) std::abort();
  }
  const store::StoreLocation& store() const { return store_; }

private:
  std::filesystem::path root_;
  store::StoreLocation store_;
};

std::size_t readFromTray(const store::StoreLocation& store, const std::string& tray) {
  const store::TrayFile file(store, tray);
  const auto header = file.headerLines(0);
  auto body = file.bodyReader(0);
  if (!header || !body) std::abort();
  std::vector<std::string> lines;
  for (std::string line; body->next(line);) lines.push_back(std::move(line));
  return lines.size();
}

double millisecondsOf(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

void BM_ShowFiveMegabyteMail(benchmark::State& state) {
  MailStore mails;
  mails.addMail("big", kMailBytes, SIZE_MAX);
  double ours = 0;
  double peer = 0;
  std::size_t lines = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    const auto content = view::MailTextContent::load(mails.store(), "big", 0, 9);
    const view::MailTextLayout layout(*content, view::TextMetrics{});
    benchmark::DoNotOptimize(layout.height());
    const auto middle = Clock::now();
    lines = readFromTray(mails.store(), "big");
    const auto end = Clock::now();
    ours += millisecondsOf(middle - start);
    peer += millisecondsOf(end - middle);
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["read_ms"] = peer / runs;
  state.counters["ratio_vs_read"] = ours / peer;
  state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_ShowFiveMegabyteMail)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FindVisibleLines(benchmark::State& state) {
  MailStore mails;
  mails.addMail("long", SIZE_MAX, static_cast<std::size_t>(state.range(0)));
  const auto content = view::MailTextContent::load(mails.store(), "long", 0, 9);
  const view::MailTextLayout layout(*content, view::TextMetrics{});
  int y = 0;
  for (auto _ : state) {
    y = (y + 7919) % layout.height();
    std::size_t shown = 0;
    for (std::size_t line = layout.firstLineBelow(y); line < layout.lineCount() && layout.lineTop(line) < y + 800; ++line)
      ++shown;
    benchmark::DoNotOptimize(shown);
  }
}
BENCHMARK(BM_FindVisibleLines)->Arg(1000)->Arg(100000);

}  // namespace

BENCHMARK_MAIN();
