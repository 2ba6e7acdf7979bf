// dial / hangup: the dial-up connection of settings item 901 by hand. dial
// makes sure it is up and leaves it up, printing "dialled" or "connected"
// (it was up already); hangup brings it down, whoever made it. Progress
// goes to stderr; failures show their numbered message.
#include "CliCommand.h"
#include "core/SettingsItemTable.h"
#include "mailflow/DialUpScope.h"

namespace zorvik::cli {
namespace {

bool entryConfigured(CliContext& context, const mailflow::Document& document) {
  if (!document.settings().text(core::item::kDialUpEntry).empty()) return true;
  context.status("zorvik-cli: no dial-up entry is set (settings item 901)");
  return false;
}

int dial(CliContext& context) {
  if (!context.args().empty()) return context.usage("usage: dial");
  const auto* document = context.document();
  if (!document || !entryConfigured(context, *document)) return kFailed;
  auto scope = mailflow::DialUpScope::open(*document, context.frontEnd());
  if (!scope) return kFailed;
  context.printRow({scope->dialled() ? "dialled" : "connected"});
  scope->keep();
  return kDone;
}

int hangup(CliContext& context) {
  if (!context.args().empty()) return context.usage("usage: hangup");
  const auto* document = context.document();
  if (!document || !entryConfigured(context, *document)) return kFailed;
  return mailflow::DialUpScope::hangUp(*document) ? kDone : kFailed;
}

}  // namespace

ZORVIK_CLI_COMMAND("dial", "", dial);
ZORVIK_CLI_COMMAND("hangup", "", hangup);

}  // namespace zorvik::cli
