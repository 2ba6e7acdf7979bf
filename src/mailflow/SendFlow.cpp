#include "mailflow/SendFlow.h"

#include <chrono>
#include <ctime>
#include <string>
#include <utility>

#include "core/SettingsItemTable.h"
#include "mailflow/DialUpScope.h"
#include "mailflow/Document.h"
#include "mailflow/ReceiveFlow.h"
#include "mailflow/SendPhase.h"
#include "mailflow/SentMailPlacement.h"
#include "mailflow/StoreLock.h"
#include "message/MailRecordParser.h"
#include "net/AsyncSocket.h"
#include "net/PollEventLoop.h"
#include "sorting/SortingLog.h"
#include "store/TrayFile.h"

namespace zorvik::mailflow {
namespace {

// A run ends by its sessions' own time-outs; this only guards against a
// hang that they did not catch.
constexpr std::chrono::hours kRunLimit{24};
// How often the loop looks at the stop request.
constexpr std::chrono::milliseconds kStopPoll{200};

// The receive of a send/receive, run on the loop's thread to its end: the
// loop is not needed meanwhile, since nothing is being sent. Its end
// reaches the driver from the loop, as the driver wants.
class FlowReceiver final : public SessionDriver::Receiver {
public:
  FlowReceiver(net::EventLoop& loop, const Document& document, FrontEnd& front, ReceiveFlow* listed)
      : loop_(loop), document_(document), front_(front), listed_(listed) {}

  void start(std::function<void(std::size_t, bool)> finished) override {
    const ReceiveReport report = listed_ ? std::exchange(listed_, nullptr)->continueListed()
                                         : ReceiveFlow(document_, front_).receive();
    const std::size_t received = report.stored ? report.stored->stored.appended : 0;
    post(std::move(finished), received, !report.ok);
  }
  void logIn(std::function<void(std::size_t, bool)> finished) override {
    const bool loggedIn = ReceiveFlow(document_, front_).logIn();
    post(std::move(finished), 0, !loggedIn);
  }
  void abort() override {}
  bool connectionOpen() const override { return listed_ != nullptr; }

private:
  void post(std::function<void(std::size_t, bool)> finished, std::size_t received, bool failed) {
    loop_.startTimer(std::chrono::milliseconds(0),
                     [finished = std::move(finished), received, failed] { finished(received, failed); });
  }

  net::EventLoop& loop_;
  const Document& document_;
  FrontEnd& front_;
  ReceiveFlow* listed_;
};

std::string sendingText(std::size_t number, std::size_t count, const std::string& subject, int percent) {
  return std::to_string(number) + "/" + std::to_string(count) + " " + subject + " " + std::to_string(percent) + "%";
}

// Turns the loop until the driver reports, passing the stop request on.
std::optional<RunResult> runToEnd(net::PollEventLoop& loop, SessionDriver& driver, SessionDriver::Command command,
                                  const StopRequest& stop) {
  std::optional<RunResult> result;
  if (!driver.run(command, [&result](const RunResult& r) { result = r; })) return std::nullopt;
  bool stopping = false;
  bool aborted = false;
  const auto deadline = std::chrono::steady_clock::now() + kRunLimit;
  while (!result) {
    if (stop.requested() && !stopping) {
      stopping = true;
      driver.stopAfterCurrentMail();
    }
    if ((stop.insisted() || std::chrono::steady_clock::now() > deadline) && !aborted) {
      aborted = true;
      driver.abort();
    }
    loop.runOnce(kStopPoll);
  }
  return result;
}

}  // namespace

std::optional<SendReport> SendFlow::run(const Document& document, FrontEnd& front, SessionDriver::Command command) {
  const auto lock = StoreLock::take(
      document, command == SessionDriver::Command::Send ? StoreWork::Send : StoreWork::SendReceive);
  if (!lock) return std::nullopt;
  const auto dialUp = DialUpScope::open(document, front);
  if (!dialUp) return std::nullopt;
  auto result = runLocked(document, front, command);
  if (!result) return std::nullopt;
  const auto waiting =
      store::TrayFile(document.store(), document.settings().text(core::item::kUnsentTray)).count(false);
  return SendReport{*result, waiting.value_or(0)};
}

std::optional<RunResult> SendFlow::runLocked(const Document& document, FrontEnd& front,
                                             SessionDriver::Command command, ReceiveFlow* listed) {
  const core::SettingsFile& settings = document.settings();
  const message::MailRecordParser parser(message::ParseContext::fromSettings(settings, std::time(nullptr)));

  net::PollEventLoop loop;
  net::AsyncSocket socket(loop);
  SendPhase send(loop, socket, document.store(), parser, document.messages(),
                 SendSettings::fromSettings(settings, document.store()));
  send.setProgress([&front](std::size_t number, std::size_t count, const std::string& subject, int percent) {
    front.progress.step(sendingText(number, count, subject, percent));
  });
  const sorting::SortingLog log(settings.sortingLogPath(), settings.timeZoneOffsetHours());
  const SentMailPlacement placement(document.store(), PlacementSettings::fromSettings(settings), parser,
                                    document.messages(), [&](const SentMailSorted& sorted) {
                                      log.append({true, false, sorted.sourceTray, sorted.messageId, sorted.destination},
                                                 std::time(nullptr), document.messages());
                                    });
  FlowReceiver receiver(loop, document, front, listed);
  SessionDriver driver(loop, document.messages(), send, placement, DriverSettings::fromSettings(settings), &receiver);
  return runToEnd(loop, driver, command, front.stop);
}

bool SendFlow::succeeded(const SendReport& report) {
  const RunResult& result = report.result;
  return !result.send.failed && report.unsentLeft == 0 && result.placement.leftUnsent == 0 && !result.receiveFailed;
}

}  // namespace zorvik::mailflow
