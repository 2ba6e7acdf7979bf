// receive, poll and the mail-server tray commands: the user's receive from
// the configured POP3 server, the new-mail check, and the work on the
// server through the mail-server tray (headers, fetch, delete).
#include <string>
#include <vector>

#include "CliCommand.h"
#include "mailflow/NewMailCheck.h"
#include "mailflow/ReceiveFlow.h"
#include "mailflow/ServerTrayFlow.h"
#include "message/DecodeWarning.h"

namespace zorvik::cli {
namespace {

// One line per mail stored in the new-mail tray: its index there.
void printStored(CliContext& context, const std::optional<mailflow::Intake>& stored) {
  if (!stored) return;
  for (std::uint32_t i = 0; i < stored->stored.appended; ++i)
    context.printRow({std::to_string(stored->stored.firstIndex + i)});
}

int receive(CliContext& context) {
  if (!context.args().empty()) return context.usage("usage: receive");
  const auto* document = context.document();
  if (!document) return kFailed;
  const mailflow::ReceiveReport report = mailflow::ReceiveFlow::run(*document, context.frontEnd());
  for (const auto warning : report.warnings) context.status(message::warningText(warning));
  printStored(context, report.stored);
  context.status("received " + std::to_string(report.phase.received) + ", deleted on the server " +
                 std::to_string(report.phase.deleted));
  return report.ok ? kDone : kFailed;
}

void printCounters(CliContext& context, const mailflow::ServerCounters& counters, bool withDeleted) {
  std::vector<std::string> row{std::to_string(counters.serverCount), std::to_string(counters.alreadyReceived),
                               std::to_string(counters.unread), std::to_string(counters.newCount)};
  if (withDeleted) row.push_back(std::to_string(counters.deleted));
  context.printRow(row);
}

// Prints: mails on the server, already received, not yet received, new.
int poll(CliContext& context) {
  if (!context.args().empty()) return context.usage("usage: poll");
  const auto* document = context.document();
  if (!document) return kFailed;
  const mailflow::CheckReport report = mailflow::NewMailCheck::run(*document, context.frontEnd(), false);
  if (!report.counters) return kFailed;
  printCounters(context, *report.counters, false);
  return kDone;
}

// As poll; after a clean-up also how many received mails were deleted.
int serverHeaders(CliContext& context) {
  const bool cleanUp = context.args() == std::vector<std::string>{"--clean"};
  if (!context.args().empty() && !cleanUp) return context.usage("usage: server-headers [--clean]");
  const auto* document = context.document();
  if (!document) return kFailed;
  const auto counters = mailflow::ServerTrayFlow(*document, context.frontEnd()).list(cleanUp);
  if (!counters) return kFailed;
  printCounters(context, *counters, cleanUp);
  return kDone;
}

int serverFetch(CliContext& context) {
  const auto indices = recordIndices(context.args());
  if (!indices) return context.usage("usage: server-fetch INDEX...");
  const auto* document = context.document();
  if (!document) return kFailed;
  const auto outcome = mailflow::ServerTrayFlow(*document, context.frontEnd()).fetchSelected(*indices);
  if (!outcome) return kFailed;
  printStored(context, outcome->stored);
  return outcome->ok ? kDone : kFailed;
}

// Prints how many of the selected mails were deleted on the server.
int serverDelete(CliContext& context) {
  const auto indices = recordIndices(context.args());
  if (!indices) return context.usage("usage: server-delete INDEX...");
  const auto* document = context.document();
  if (!document) return kFailed;
  const auto outcome = mailflow::ServerTrayFlow(*document, context.frontEnd()).deleteSelected(*indices);
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
