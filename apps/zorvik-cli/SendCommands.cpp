// send and sendrecv: the user's send command (the unsent tray to the
// configured SMTP server, sent mails placed into their trays) and the
// send/receive command around it. Progress goes to stderr; stdout gets
// "sent N", "unsent N" and, for sendrecv, "received N", tab-separated.
#include <chrono>
#include <ctime>
#include <optional>
#include <string>

#include "CliCommand.h"
#include "CliStore.h"
#include "TerminalProgress.h"
#include "core/Progress.h"
#include "message/MailRecordParser.h"
#include "net/AsyncSocket.h"
#include "net/PollEventLoop.h"
#include "net/ReceiveCommand.h"
#include "net/SendPhase.h"
#include "net/SentMailPlacement.h"
#include "net/SessionDriver.h"
#include "platform/Sound.h"
#include "sorting/AutoSorter.h"
#include "sorting/SortingLog.h"

namespace zorvik::cli {
namespace {

// A command runs until its phases end; this only guards against a hang
// that the session's own time-outs did not catch.
constexpr std::chrono::hours kRunLimit{24};

// The receive command of the store, run on this thread when the driver
// asks for the receive phase; its end reaches the driver from the loop.
class BlockingReceiver final : public net::SessionDriver::Receiver {
public:
  BlockingReceiver(net::EventLoop& loop, const core::SettingsFile& settings, core::Messages& messages,
                   core::Progress& progress)
      : loop_(loop), settings_(settings), messages_(messages), progress_(progress) {}

  void start(std::function<void(std::size_t, bool)> finished) override {
    const net::ReceiveOutcome outcome = net::ReceiveCommand(settings_, messages_, progress_).run();
    const std::size_t received = outcome.stored ? outcome.stored->appended : 0;
    platform::SilentSound sound;
    if (outcome.stored)
      sorting::AutoSorter::afterReceive(settings_, outcome.stored->firstIndex, received, messages_, sound);
    loop_.startTimer(std::chrono::milliseconds(0),
                     [finished = std::move(finished), received, ok = outcome.ok] { finished(received, !ok); });
  }
  void abort() override {}
  bool connectionOpen() const override { return false; }

private:
  net::EventLoop& loop_;
  const core::SettingsFile& settings_;
  core::Messages& messages_;
  core::Progress& progress_;
};

int runCommand(CliContext& context, net::SessionDriver::Command command) {
  const auto opened = openStore(context);
  if (!opened) return kFailed;
  const core::SettingsFile& settings = *opened->settings;
  const std::time_t now = std::time(nullptr);
  const message::MailRecordParser parser(message::ParseContext::fromSettings(settings, now));

  net::PollEventLoop loop;
  net::AsyncSocket socket(loop);
  net::SendPhase send(loop, socket, opened->location, parser, context.messages(),
                      net::SendSettings::fromSettings(settings, opened->location));
  TerminalProgress status(context);
  send.setProgress([&status](std::size_t number, std::size_t count, const std::string& subject, int percent) {
    status.step(std::to_string(number) + "/" + std::to_string(count) + " " + subject + " " +
                std::to_string(percent) + "%");
  });

  const sorting::SortingLog log(settings.sortingLogPath(), settings.timeZoneOffsetHours());
  const net::SentMailPlacement placement(
      opened->location, net::PlacementSettings::fromSettings(settings), parser, context.messages(),
      [&](const net::SentMailSorted& sorted) {
        log.append({true, false, sorted.sourceTray, sorted.messageId, sorted.destination}, std::time(nullptr),
                   context.messages());
      });
  BlockingReceiver receiver(loop, settings, context.messages(), status);
  net::SessionDriver driver(loop, context.messages(), send, placement, net::DriverSettings::fromSettings(settings),
                            &receiver);

  std::optional<net::RunResult> result;
  if (!driver.run(command, [&result](const net::RunResult& r) { result = r; })) return kFailed;
  if (!loop.runUntil([&result] { return result.has_value(); }, kRunLimit)) {
    driver.abort();
    return kFailed;
  }
  context.printRow({"sent", std::to_string(result->send.sent.size())});
  context.printRow({"unsent", std::to_string(result->send.found - result->send.sent.size())});
  if (command == net::SessionDriver::Command::SendAndReceive)
    context.printRow({"received", std::to_string(result->received)});
  const bool sendOk = !result->send.failed && result->send.sent.size() == result->send.found &&
                      result->placement.leftUnsent == 0;
  return sendOk && !result->receiveFailed ? kDone : kFailed;
}

int sendCommand(CliContext& context) {
  if (!context.args().empty()) return context.usage("usage: send");
  return runCommand(context, net::SessionDriver::Command::Send);
}

int sendReceive(CliContext& context) {
  if (!context.args().empty()) return context.usage("usage: sendrecv");
  return runCommand(context, net::SessionDriver::Command::SendAndReceive);
}

}  // namespace

ZORVIK_CLI_COMMAND("send", "", sendCommand);
ZORVIK_CLI_COMMAND("sendrecv", "", sendReceive);

}  // namespace zorvik::cli
