// receive, poll and the mail-server tray commands: the user's receive from
// the configured POP3 server, the periodic new-mail check, and the work on
// the server through the mail-server tray (headers, fetch, delete).
#include <chrono>
#include <string>
#include <vector>

#include "CliCommand.h"
#include "CliStore.h"
#include "TerminalProgress.h"
#include "core/Progress.h"
#include "message/DecodeWarning.h"
#include "net/ReceiveCommand.h"
#include "net/ServerTrayOperations.h"
#include "platform/Sound.h"
#include "sorting/AutoSorter.h"

namespace zorvik::cli {
namespace {

// Prints the new-mail tray index of every stored mail, then sorts them as
// every receive does.
void printAndSortStored(CliContext& context, const core::SettingsFile& settings,
                        const std::optional<store::WorkFileResult>& stored) {
  if (!stored) return;
  for (std::uint32_t i = 0; i < stored->appended; ++i) context.printRow({std::to_string(stored->firstIndex + i)});
  platform::SilentSound sound;
  sorting::AutoSorter::afterReceive(settings, stored->firstIndex, stored->appended, context.messages(), sound);
}

std::optional<std::vector<std::uint32_t>> indicesOf(const std::vector<std::string>& args) {
  std::vector<std::uint32_t> indices;
  for (const std::string& arg : args) {
    const auto index = recordIndex(arg);
    if (!index) return std::nullopt;
    indices.push_back(*index);
  }
  if (indices.empty()) return std::nullopt;
  return indices;
}

// Prints one line per mail stored in the new-mail tray (its index there).
int receive(CliContext& context) {
  if (!context.args().empty()) return context.usage("usage: receive");
  const auto opened = openStore(context);
  if (!opened) return kFailed;
  TerminalProgress progress(context);
  const net::ReceiveOutcome outcome = net::ReceiveCommand(*opened->settings, context.messages(), progress).run();
  for (const auto warning : outcome.warnings) context.status(message::warningText(warning));
  printAndSortStored(context, *opened->settings, outcome.stored);
  context.status("received " + std::to_string(outcome.phase.received) + ", deleted on the server " +
                 std::to_string(outcome.phase.deleted));
  return outcome.ok ? kDone : kFailed;
}

// Prints: mails on the server, already received, not yet received, new;
// after a clean-up also how many received mails were deleted.
int listServer(CliContext& context, bool cleanUp) {
  const auto opened = openStore(context);
  if (!opened) return kFailed;
  TerminalProgress progress(context);
  const auto counters = net::ServerTrayOperations(*opened->settings, context.messages(), progress).list(cleanUp);
  if (!counters) return kFailed;
  std::vector<std::string> row{std::to_string(counters->serverCount), std::to_string(counters->alreadyReceived),
                               std::to_string(counters->unread), std::to_string(counters->newCount)};
  if (cleanUp) row.push_back(std::to_string(counters->deleted));
  context.printRow(row);
  return kDone;
}

int poll(CliContext& context) {
  if (!context.args().empty()) return context.usage("usage: poll");
  return listServer(context, false);
}

int serverHeaders(CliContext& context) {
  const bool cleanUp = context.args() == std::vector<std::string>{"--clean"};
  if (!context.args().empty() && !cleanUp) return context.usage("usage: server-headers [--clean]");
  return listServer(context, cleanUp);
}

// Prints one line per mail stored in the new-mail tray (its index there).
int serverFetch(CliContext& context) {
  const auto indices = indicesOf(context.args());
  if (!indices) return context.usage("usage: server-fetch INDEX...");
  const auto opened = openStore(context);
  if (!opened) return kFailed;
  TerminalProgress progress(context);
  const auto outcome =
      net::ServerTrayOperations(*opened->settings, context.messages(), progress).fetchSelected(*indices);
  if (!outcome) return kFailed;
  printAndSortStored(context, *opened->settings, outcome->stored);
  return outcome->ok ? kDone : kFailed;
}

// Prints how many of the selected mails were deleted on the server.
int serverDelete(CliContext& context) {
  const auto indices = indicesOf(context.args());
  if (!indices) return context.usage("usage: server-delete INDEX...");
  const auto opened = openStore(context);
  if (!opened) return kFailed;
  TerminalProgress progress(context);
  const auto outcome =
      net::ServerTrayOperations(*opened->settings, context.messages(), progress).deleteSelected(*indices);
  if (!outcome) return kFailed;
  context.printRow({std::to_string(outcome->done)});
  return outcome->ok ? kDone : kFailed;
}

}  // namespace

ZORVIK_CLI_COMMAND("receive", "", receive);
ZORVIK_CLI_COMMAND("poll", "", poll);
ZORVIK_CLI_COMMAND("server-headers", "[--clean]", serverHeaders);
ZORVIK_CLI_COMMAND("server-fetch", "INDEX...", serverFetch);
ZORVIK_CLI_COMMAND("server-delete", "INDEX...", serverDelete);

}  // namespace zorvik::cli
