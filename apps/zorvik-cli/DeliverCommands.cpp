// deliver [--tray T] FILE...: raw mails taken the way a receive takes them:
// MIME-decoded into the new-mail work file, then moved into the new-mail
// tray (or T). Prints the index of every stored mail.
#include <string>
#include <vector>

#include "CliCommand.h"
#include "CliStore.h"
#include "message/DecodeWarning.h"
#include "net/MailDelivery.h"

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
  const auto opened = openStore(context);
  if (!opened) return kFailed;
  const auto outcome = net::MailDelivery(*opened->settings, context.messages()).deliver(files, tray);
  if (!outcome) {
    context.status("zorvik-cli: nothing delivered" + (tray.empty() ? std::string() : " into " + tray));
    return kFailed;
  }
  for (const auto& file : outcome->unreadable) context.status("zorvik-cli: cannot read " + file);
  for (const auto warning : outcome->warnings) context.status(message::warningText(warning));
  if (outcome->stored) {
    for (std::uint32_t i = 0; i < outcome->stored->appended; ++i)
      context.printRow({std::to_string(outcome->stored->firstIndex + i)});
  }
  return outcome->ok ? kDone : kFailed;
}

}  // namespace

ZORVIK_CLI_COMMAND("deliver", "[--tray T] FILE...", deliver);

}  // namespace zorvik::cli
