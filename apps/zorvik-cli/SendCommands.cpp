// send and sendrecv: the user's send command (the unsent tray to the
// configured SMTP server, sent mails placed into their trays) and the
// send/receive command around it. Progress goes to stderr; stdout gets
// "sent N", "unsent N" and, for sendrecv, "received N", tab-separated.
#include <string>

#include "CliCommand.h"
#include "mailflow/SendFlow.h"

namespace zorvik::cli {
namespace {

int runCommand(CliContext& context, mailflow::SessionDriver::Command command) {
  const auto* document = context.document();
  if (!document) return kFailed;
  const auto report = mailflow::SendFlow::run(*document, context.frontEnd(), command);
  if (!report) return kFailed;
  context.printRow({"sent", std::to_string(report->result.send.sent.size())});
  context.printRow({"unsent", std::to_string(report->unsentLeft)});
  if (command == mailflow::SessionDriver::Command::SendAndReceive)
    context.printRow({"received", std::to_string(report->result.received)});
  return mailflow::SendFlow::succeeded(*report) ? kDone : kFailed;
}

int sendCommand(CliContext& context) {
  if (!context.args().empty()) return context.usage("usage: send");
  return runCommand(context, mailflow::SessionDriver::Command::Send);
}

int sendReceive(CliContext& context) {
  if (!context.args().empty()) return context.usage("usage: sendrecv");
  return runCommand(context, mailflow::SessionDriver::Command::SendAndReceive);
}

}  // namespace

ZORVIK_CLI_COMMAND("send", "", sendCommand);
ZORVIK_CLI_COMMAND("sendrecv", "", sendReceive);

}  // namespace zorvik::cli
