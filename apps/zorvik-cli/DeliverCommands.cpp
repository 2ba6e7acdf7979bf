// deliver [--tray T] FILE...: raw mails taken the way a receive takes them:
// MIME-decoded into the new-mail work file, moved into the new-mail tray
// (or T) and, in the new-mail tray, sorted. Prints the index of every
// stored mail.
#include <string>
#include <vector>

#include "CliCommand.h"
#include "mailflow/DeliverFlow.h"
#include "message/DecodeWarning.h"

namespace zorvik::cli {
namespace {

int deliver(CliContext& context) {
  std::string tray;
  std::vector<std::string> files;
  const auto& args = context.args();
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--tray" && i + 1 < args.size()) tray = args[++i];
    else files.push_back(args[i]);
  }
  if (files.empty()) return context.usage("usage: deliver [--tray T] FILE...");
  const auto* document = context.document();
  if (!document) return kFailed;
  const auto report = mailflow::DeliverFlow::run(*document, context.frontEnd(), files, tray);
  if (!report) {
    context.status("zorvik-cli: nothing delivered" + (tray.empty() ? std::string() : " into " + tray));
    return kFailed;
  }
  for (const auto& file : report->unreadable) context.status("zorvik-cli: cannot read " + file);
  for (const auto warning : report->warnings) context.status(message::warningText(warning));
  if (report->stored) {
    const store::WorkFileResult& stored = report->stored->stored;
    for (std::uint32_t i = 0; i < stored.appended; ++i) context.printRow({std::to_string(stored.firstIndex + i)});
  }
  return report->ok ? kDone : kFailed;
}

}  // namespace

ZORVIK_CLI_COMMAND("deliver", "[--tray T] FILE...", deliver);

}  // namespace zorvik::cli
