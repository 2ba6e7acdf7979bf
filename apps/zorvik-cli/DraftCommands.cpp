// draft TRAY INDEX [--edit] [--keep]: takes a stored draft (kept in the
// drafts tray, or still unsent) up again, lets the user edit it, and stores
// it through the compose window's checks: in the unsent tray, or with
// --keep in the drafts tray. The draft it came from goes to the trash.
// Prints the new record index.
#include <string>

#include "CliCommand.h"
#include "DraftEditing.h"

#include "compose/DraftWriter.h"
#include "mailflow/DraftFlow.h"

namespace zorvik::cli {
namespace {

constexpr std::string_view kUsage = "usage: draft TRAY INDEX [--edit] [--keep]";

int draftCommand(CliContext& context) {
  const auto& args = context.args();
  if (args.size() < 2) return context.usage(kUsage);
  const auto index = recordIndex(args[1]);
  bool edit = false;
  bool keep = false;
  for (std::size_t i = 2; i < args.size(); ++i) {
    if (args[i] == "--edit") {
      edit = true;
    } else if (args[i] == "--keep") {
      keep = true;
    } else {
      return context.usage(kUsage);
    }
  }
  if (!index) return context.usage(kUsage);
  auto* const open = context.document();
  if (!open) return kFailed;
  auto draft = mailflow::DraftFlow::reopen(*open, args[0], *index);
  if (!draft) {
    context.status("zorvik-cli: no such mail in " + args[0]);
    return kFailed;
  }
  if (edit && !editDraft(context, *draft)) {
    mailflow::DraftFlow::discard(*draft);
    return kFailed;
  }
  const compose::DraftTarget target = keep ? compose::DraftTarget::Drafts : compose::DraftTarget::Unsent;
  const auto stored = mailflow::DraftFlow::store(*open, draft->toDraft(), {target, true, {}}, draft->reopened);
  if (!stored) {
    mailflow::DraftFlow::discard(*draft);
    return kFailed;
  }
  context.printRow({std::to_string(*stored)});
  return kDone;
}

}  // namespace

ZORVIK_CLI_COMMAND("draft", "TRAY INDEX [--edit] [--keep]", draftCommand);

}  // namespace zorvik::cli
