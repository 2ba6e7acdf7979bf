// Preparing a reply to a 1 MB mail, quote and all, against reading the
// mail's text from its tray (what showing the mail costs, the least any
// reply can cost): the reply is meant to stay within a few times the read.
// Measured with lines left as they are and with the line width of item 517
// at 72, where every long line is broken.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "compose/DraftKind.h"
#include "core/Messages.h"
#include "core/Reporter.h"
#include "core/SettingsFile.h"
#include "core/SettingsItemTable.h"
#include "mailflow/DraftFlow.h"
#include "mailflow/Document.h"
#include "message/MailRecordParser.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "store/StoreLayout.h"
#include "store/TrayFile.h"
#include "store/WorkFileAppender.h"
#include "ScratchFolder.h"

namespace {

using namespace zorvik;

constexpr std::size_t kMailBytes = 1 << 20;

class Silent : public core::Reporter {
public:
  bool show(core::MessageKind, const std::string&, const std::string&) override { return true; }
};

// A store with one received mail of about 1 MB: Japanese and ASCII lines,
// some quoted once or twice, some longer than 72 bytes.
struct Scene {
  Scene() {
    core::SettingsFile settings;
    settings.setText(core::item::kStoreRoot, root + "/store");
    settings.setText(core::item::kSenderAddress, "taro@example.jp");
    settings.setText(core::item::kJapaneseSignature, platform::utf8ToSjis("--\r\n山田 太郎"));
    settings.updateDerivedValues();
    if (!store::createStore(settings)) std::abort();
    document.emplace(std::move(settings), messages);
    tray = platform::utf8ToSjis("仕事");
    if (!store::TrayFile(document->store(), tray).createInheriting()) std::abort();
    const std::string lines[] = {
        platform::utf8ToSjis("明日の会議は十時から第二会議室で行います。資料は前日までにお送りします。"),
        "> The quarterly figures are attached to the previous mail; please check the totals.",
        platform::utf8ToSjis(">> 了解しました。"),
        "",
        platform::utf8ToSjis("よろしくお願いいたします。ご不明な点がありましたらご連絡ください。以上です。"),
    };
    std::string text = "From \r\nFrom: hanako@example.jp\r\nTo: taro@example.jp\r\nSubject: big\r\n"
                       "Date: Mon, 7 Dec 2026 09:30:00 +0900\r\nMessage-Id: <big@example.jp>\r\nReceived: x\r\n\r\n";
    for (std::size_t i = 0; text.size() < kMailBytes; ++i) text += lines[i % 5] + "\r\n";
    const std::string work = root + "/in.XM0";
    platform::writeFileAtomically(work, text);
    const message::MailRecordParser parser(message::ParseContext::fromSettings(document->settings(), std::time(nullptr)));
    if (!store::WorkFileAppender::append(work, store::TrayFile(document->store(), tray), parser)) std::abort();
  }

  bench::ScratchFolder folder;
  const std::string& root = folder.path();
  Silent silent;
  core::Messages messages{silent};
  std::optional<mailflow::Document> document;
  std::string tray;
};

Scene& scene() {
  static Scene instance;
  return instance;
}

void BM_ReadMailText(benchmark::State& state) {
  const store::TrayFile tray(scene().document->store(), scene().tray);
  for (auto _ : state) {
    std::size_t bytes = tray.headerLines(0)->size();
    auto body = tray.bodyReader(0);
    for (std::string line; body->next(line);) bytes += line.size() + 1;
    benchmark::DoNotOptimize(bytes);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kMailBytes);
}
BENCHMARK(BM_ReadMailText)->Unit(benchmark::kMillisecond);

void BM_PrepareReply(benchmark::State& state) {
  mailflow::Document& document = *scene().document;
  document.settings().setNumber(core::item::kLineWrapWidth, static_cast<std::int32_t>(state.range(0)));
  for (auto _ : state) {
    const auto draft = mailflow::DraftFlow::prepare(document, compose::DraftKind::Reply, scene().tray, {0});
    if (!draft) return state.SkipWithError("no draft");
    state.PauseTiming();
    platform::removeFile(draft->bodyFile);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kMailBytes);
}
BENCHMARK(BM_PrepareReply)->Arg(0)->Arg(72)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
