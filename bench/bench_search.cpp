// Searching a store of about 500 MB of Shift_JIS mail (50 trays in nested
// cabinets, built by the benchmark in a temporary folder) for a rare
// string in headers and bodies, against GNU grep -F -r over the same files
// in the same run (LC_ALL=C, its fastest setting), and against ripgrep when
// it is installed. The engine checks character boundaries and walks the
// store as the search command does; the peers only look for bytes.
//
// Counters: grep_ms, rg_ms (wall time), cpu_ms, grep_cpu_ms, rg_cpu_ms
// (user and system time, every thread), and speed_vs_grep, speed_vs_rg,
// cpu_vs_grep, cpu_vs_rg (the peer's time divided by ours: 1.0 is as fast).
// Wall time is what the user waits for, processor time what stays
// comparable on a busy machine; ripgrep spends its time on every core.
// Meant: at least 1.0 against grep and 0.5 against ripgrep without width
// folding. With width and kana folding the peers still search plain bytes,
// so those ratios say what the folding costs.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/Progress.h"
#include "platform/TextEncoding.h"
#include "search/SearchWalker.h"
#include "store/TrayFile.h"

namespace {

using namespace zorvik;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kStoreBytes = 500u << 20;
constexpr int kCabinets = 5;
constexpr int kTraysPerCabinet = 10;  // 3 in the cabinet, 7 in its sub-cabinet
constexpr const char* kJapaneseNeedle = "稟議書番号";
constexpr const char* kAsciiNeedle = "zx-7341-q";

const char* const kJapaneseWords[] = {"お世話になっております",
                                      "会議",
                                      "資料",
                                      "確認",
                                      "よろしくお願いします",
                                      "来週",
                                      "予定",
                                      "件",
                                      "について",
                                      "です",
                                      "ます",
                                      "の",
                                      "を",
                                      "に",
                                      "が",
                                      "は",
                                      "、",
                                      "メール",
                                      "送付",
                                      "添付",
                                      "ファイル",
                                      "打ち合わせ",
                                      "担当",
                                      "部長",
                                      "見積",
                                      "請求",
                                      "予算",
                                      "進捗",
                                      "報告",
                                      "ご連絡",
                                      "申し訳ありません",
                                      "承知しました",
                                      "東京",
                                      "大阪",
                                      "営業",
                                      "開発",
                                      "テスト",
                                      "リリース",
                                      "ｻｰﾊﾞ",
                                      "ﾒｰﾙ",
                                      "プロジェクト",
                                      "スケジュール",
                                      "変更",
                                      "対応",
                                      "以上"};
const char* const kAsciiWords[] = {
    "the",    "meeting", "schedule", "please",  "find",    "attached", "report",
    "server", "release", "test",     "budget",  "invoice", "regards",  "thanks",
    "for",    "your",    "mail",     "project", "update",  "version",  "http://example.jp/",
    "2026",   "Re:"};

// The store, built once for every benchmark of the run and removed at exit.
class BenchStore {
public:
  // ZORVIK_BENCH_SEARCH_STORE names a folder where the store is kept from
  // one run to the next (built when missing), for profiling.
  BenchStore() {
    const char* kept = std::getenv("ZORVIK_BENCH_SEARCH_STORE");
    std::string root = kept ? kept : (std::filesystem::temp_directory_path() / "zorvik-bench-search-XXXXXX").string();
    if (!kept && !mkdtemp(root.data())) std::abort();
    keep_ = kept != nullptr;
    store_.root = root;
    store_.topCabinet = "Top";
    for (const char* word : kJapaneseWords) japanese_.push_back(platform::utf8ToSjis(word));
    if (!keep_ || !std::filesystem::exists(store_.topCabinetPath())) build();
    for (const auto& file : std::filesystem::recursive_directory_iterator(store_.topCabinetPath()))
      if (file.path().extension() == ".XM0") bytes_ += file.file_size();
  }
  ~BenchStore() {
    if (!keep_) std::filesystem::remove_all(store_.root);
  }

  const store::StoreLocation& store() const { return store_; }
  std::uint64_t bytes() const { return bytes_; }

private:
  void build() {
    const std::size_t perTray = kStoreBytes / (kCabinets * kTraysPerCabinet);
    int mail = 0;
    for (int c = 0; c < kCabinets; ++c) {
      const std::string cabinet = "cab" + std::to_string(c);
      std::filesystem::create_directories(store_.topCabinetPath() + "/" + cabinet + "/sub");
      for (int t = 0; t < kTraysPerCabinet; ++t) {
        const std::string tray = cabinet + (t < 3 ? "/" : "/sub/") + "tray" + std::to_string(t);
        fillTray(tray, perTray, mail);
      }
    }
  }

  void fillTray(const std::string& name, std::size_t size, int& mail) {
    const store::TrayFile tray(store_, name);
    if (!tray.create(store::TrayProperties{})) std::abort();
    auto session = tray.appender();
    for (std::size_t written = 0; written < size; ++mail) {
      store::MailText text = randomMail(mail);
      for (const auto& line : text.header) written += line.size() + 2;
      for (const auto& line : text.body) written += line.size() + 2;
      store::IndexRecord record;
      record.setDate(1796000000 + mail);
      record.setSubject(text.header[4].substr(9));
      if (!session->appendMail(text, record)) std::abort();
    }
    if (!session->finish()) std::abort();
  }

  std::string japaneseLine() {
    std::string line;
    for (int n = 3 + static_cast<int>(random_() % 12); n > 0; --n) line += japanese_[random_() % japanese_.size()];
    return line;
  }
  std::string asciiLine() {
    std::string line;
    for (int n = 3 + static_cast<int>(random_() % 10); n > 0; --n)
      line += std::string(kAsciiWords[random_() % std::size(kAsciiWords)]) + " ";
    return line;
  }

  // A mail with a realistic header and a body of mixed Japanese and ASCII
  // lines; every 10,000th carries the rare strings, in its Subject or body.
  store::MailText randomMail(int n) {
    store::MailText text;
    text.separator = "From user" + std::to_string(n % 977) + "@example.jp";
    const std::string id = std::to_string(n) + "." + std::to_string(random_()) + "@mail.example.jp";
    text.header = {
        "Return-Path: <user" + std::to_string(n % 977) + "@example.jp>",
        "Received: from mail.example.jp (mail.example.jp [192.0.2.1]) by mx.example.jp; Mon, 7 Dec 2026",
        "From: " + japanese_[random_() % japanese_.size()] + " <user" + std::to_string(n % 977) + "@example.jp>",
        "To: me@example.jp",
        "Subject: " + japaneseLine(),
        "Date: Mon, 07 Dec 2026 09:30:00 +0900",
        "Message-Id: <" + id + ">",
        "MIME-Version: 1.0",
        "Content-Type: text/plain; charset=ISO-2022-JP",
        "X-Mailer: Zorvik bench"};
    for (int lines = 20 + static_cast<int>(random_() % 120); lines > 0; --lines) {
      const unsigned kind = random_() % 10;
      text.body.push_back(kind < 5 ? japaneseLine() : kind < 8 ? asciiLine() : kind < 9 ? "> " + japaneseLine() : "");
    }
    if (n % 10000 == 1234) text.header[4] += platform::utf8ToSjis(kJapaneseNeedle);
    if (n % 10000 == 5678) text.body[5] += platform::utf8ToSjis(std::string("番号は") + kJapaneseNeedle + "です");
    if (n % 10000 == 4321) text.body[3] += "ref ZX-7341-Q";
    if (n % 10000 == 8765) text.body[7] += platform::utf8ToSjis("参照 ｚｘ－７３４１－Ｑ");
    return text;
  }

  store::StoreLocation store_;
  std::vector<std::string> japanese_;
  std::mt19937 random_{20261207};
  std::uint64_t bytes_ = 0;
  bool keep_ = false;
};

const BenchStore& benchStore() {
  static const BenchStore built;
  return built;
}

// Wall and processor time (user and system, all threads) of one run.
struct Took {
  double wall = 0;
  double cpu = 0;
  Took& operator+=(const Took& other) {
    wall += other.wall;
    cpu += other.cpu;
    return *this;
  }
};

double seconds(const timeval& time) {
  return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

double childrenCpu() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double threadCpu() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// A peer's command run through the shell; empty when it failed.
std::optional<Took> run(const std::string& command) {
  const double cpu = childrenCpu();
  const auto start = Clock::now();
  const int status = std::system(command.c_str());
  if (status == -1 || WEXITSTATUS(status) > 1) return std::nullopt;  // grep and rg exit 1 when nothing matched
  return Took{std::chrono::duration<double>(Clock::now() - start).count(), childrenCpu() - cpu};
}

bool haveRipgrep() { return std::system("command -v rg >/dev/null 2>&1") == 0; }

struct Peer {
  const char* name;
  std::string command;
};

// Our search over the whole store, every hit listed, against the peers'
// search of the same folder; the peers run in the same iteration.
void runSearch(benchmark::State& state, const search::SearchParameters& parameters, const char* needle,
               const std::string& peerFlags) {
  const BenchStore& bench = benchStore();
  const std::string top = bench.store().topCabinetPath();
  // The files are Shift_JIS, and so is the pattern the peers get: grep
  // takes the bytes as they are, ripgrep (which wants UTF-8 patterns) as
  // escaped bytes of a literal.
  const std::string pattern = platform::utf8ToSjis(needle);
  std::string escaped = "(?-u)";
  for (const char c : pattern) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
    escaped += hex;
  }
  // Into a file: with its output going to /dev/null, grep stops at the
  // first match.
  const std::string out = " >'" + bench.store().root + "/peer.out'";
  std::vector<Peer> peers{{"grep", "LC_ALL=C grep -F -r " + peerFlags + " -e '" + pattern + "' '" + top + "'" + out}};
  if (haveRipgrep()) peers.push_back({"rg", "rg -uuu " + peerFlags + " -e '" + escaped + "' '" + top + "'" + out});
  search::SearchQuery query;
  query.parameters = parameters;
  query.parameters.text = pattern;
  std::vector<Took> peerTotals(peers.size());
  Took ours;
  std::size_t hits = 0;
  core::SilentProgress progress;
  for (auto _ : state) {
    for (std::size_t i = 0; i < peers.size(); ++i) {
      const auto took = run(peers[i].command);
      if (!took) return state.SkipWithError(("peer failed: " + peers[i].command).c_str());
      peerTotals[i] += *took;
    }
    const auto start = Clock::now();
    const double cpu = threadCpu();
    search::SearchWalker walker({bench.store(), "none", 9});
    walker.start(query, search::SearchScope::wholeCabinet(""));
    hits = 0;
    walker.run([&](const search::SearchHit&) { return ++hits > 0; }, false, {}, progress);
    const Took took{std::chrono::duration<double>(Clock::now() - start).count(), threadCpu() - cpu};
    ours += took;
    state.SetIterationTime(took.wall);
  }
  const double iterations = static_cast<double>(state.iterations());
  state.counters["hits"] = static_cast<double>(hits);
  state.counters["cpu_ms"] = 1000 * ours.cpu / iterations;
  for (std::size_t i = 0; i < peers.size(); ++i) {
    const std::string name = peers[i].name;
    state.counters[name + "_ms"] = 1000 * peerTotals[i].wall / iterations;
    state.counters[name + "_cpu_ms"] = 1000 * peerTotals[i].cpu / iterations;
    state.counters["speed_vs_" + name] = peerTotals[i].wall / ours.wall;
    state.counters["cpu_vs_" + name] = peerTotals[i].cpu / ours.cpu;
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bench.bytes()));
}

search::SearchParameters bar(bool matchCase, bool ignoreWidth) {
  search::SearchParameters parameters;
  parameters.matchCase = matchCase;
  parameters.ignoreWidth = ignoreWidth;
  parameters.ignoreKana = ignoreWidth;
  return parameters;
}

void BM_SearchJapanese(benchmark::State& state) { runSearch(state, bar(true, false), kJapaneseNeedle, ""); }
void BM_SearchJapaneseIgnoringWidthAndKana(benchmark::State& state) {
  runSearch(state, bar(false, true), kJapaneseNeedle, "");
}
void BM_SearchAsciiIgnoringCase(benchmark::State& state) { runSearch(state, bar(false, false), kAsciiNeedle, "-i"); }
void BM_SearchAsciiIgnoringCaseAndWidth(benchmark::State& state) {
  runSearch(state, bar(false, true), kAsciiNeedle, "-i");
}

BENCHMARK(BM_SearchJapanese)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(BM_SearchJapaneseIgnoringWidthAndKana)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(BM_SearchAsciiIgnoringCase)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(BM_SearchAsciiIgnoringCaseAndWidth)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
