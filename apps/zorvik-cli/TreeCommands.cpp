// mkcab, mktray, rename, mvtray, rm: what the tree menu does to cabinets
// and trays (rm also deletes mails of a tray, as the list's delete does).
#include <algorithm>
#include <string>
#include <vector>

#include "StoreOperations.h"
#include "mailflow/MailSelection.h"

namespace zorvik::cli {

namespace {

// What deleting a tray did to its mails and files, so that a script's log
// shows where the mails went.
void sayTrayRemoval(CliContext& context, const store::TrayRemoval& removal) {
  if (removal.tray.empty() || (removal.mails == 0 && !removal.trayRemoved)) return;
  context.status("zorvik-cli: " + std::to_string(removal.mails) + " mails of " + removal.tray +
                 (removal.forGood ? " deleted for good" : " moved to the trash") +
                 (removal.trayRemoved ? "; the tray was removed" : ""));
}

int create(CliContext& context, bool tray) {
  const auto& args = context.args();
  const bool free = args.size() == 2 && args[0] == "--in";
  if (args.size() != 1 && !free) return context.usage(tray ? "usage: mktray PATH | mktray --in CABINET"
                                                          : "usage: mkcab PATH | mkcab --in CABINET");
  auto ops = operations(context);
  if (!ops) return kFailed;
  if (!free) return (tray ? ops->tree.createTray(args[0]) : ops->tree.createCabinet(args[0])) ? kDone : kFailed;
  const auto path = tray ? ops->tree.newTray(treePath(args[1])) : ops->tree.newCabinet(treePath(args[1]));
  if (!path) return kFailed;
  context.printRow({*path});
  return kDone;
}

int makeCabinet(CliContext& context) { return create(context, false); }
int makeTray(CliContext& context) { return create(context, true); }

int rename(CliContext& context) {
  const auto& args = context.args();
  if (args.size() != 2) return context.usage("usage: rename PATH NEWNAME");
  auto ops = operations(context);
  if (!ops) return kFailed;
  if (!ops->tree.rename(args[0], args[1])) return kFailed;
  return reportMissed(context, ops->tree.missedTrays());
}

int remove(CliContext& context) {
  std::vector<std::string> args = context.args();
  const auto forGood = std::find(args.begin(), args.end(), "--for-good");
  const bool forGoodGiven = forGood != args.end();
  if (forGoodGiven) args.erase(forGood);
  const auto indices = indicesOf(args, 1, args.size());
  if (args.empty() || !indices || (forGoodGiven && indices->empty()))
    return context.usage("usage: rm PATH | rm TRAY INDEX... [--for-good]");
  auto ops = operations(context);
  if (!ops) return kFailed;
  if (indices->empty()) {
    const bool removed = ops->tree.remove(args[0]);
    sayTrayRemoval(context, ops->tree.lastTrayRemoval());
    return removed ? kDone : kFailed;
  }
  if (!mailflow::MailSelection::check(ops->opened, args[0], *indices)) return kFailed;
  const std::size_t removed = ops->mails.remove(args[0], *indices, forGoodGiven);
  context.printRow({std::to_string(removed)});
  return removed == indices->size() ? kDone : kFailed;
}

int moveTray(CliContext& context) {
  const auto& args = context.args();
  if (args.size() != 2) return context.usage("usage: mvtray PATH CABINET");
  auto ops = operations(context);
  if (!ops) return kFailed;
  if (!ops->tree.move(args[0], treePath(args[1]))) return kFailed;
  return reportMissed(context, ops->tree.missedTrays());
}

}  // namespace

ZORVIK_CLI_COMMAND("mkcab", "PATH | --in CABINET", makeCabinet);
ZORVIK_CLI_COMMAND("mktray", "PATH | --in CABINET", makeTray);
ZORVIK_CLI_COMMAND("rename", "PATH NEWNAME", rename);
ZORVIK_CLI_COMMAND("mvtray", "PATH CABINET", moveTray);
ZORVIK_CLI_COMMAND("rm", "PATH | TRAY INDEX... [--for-good]", remove);

}  // namespace zorvik::cli
