// mkcab, mktray, rename, rm, copy, move, link, mvtray, mark, read, unread,
// compact, empty-trash, clean-attachments: what the tree and list menus do
// to cabinets, trays and mails.
#include <algorithm>
#include <string>
#include <vector>

#include "CliCommand.h"
#include "mailflow/MailSelection.h"
#include "mailflow/TrayMaintenance.h"
#include "core/SettingsItemTable.h"

#include "store/AttachmentCleanup.h"
#include "store/MailOperations.h"
#include "store/TreeOperations.h"

namespace zorvik::cli {

using core::MessageNumber;

namespace {

// The open document and the two engines that act on its store.
struct Operations {
  const mailflow::Document& opened;
  store::TreeOperations tree;
  store::MailOperations mails;

  Operations(const mailflow::Document& document, core::Messages& messages)
      : opened(document),
        tree(opened.store(), opened.settings(), messages),
        mails(opened.store(), opened.settings().text(core::item::kTrashTray), opened.settings().timeZoneOffsetHours(),
              opened.settings().text(core::item::kMailServerTray)) {}
};

std::optional<Operations> operations(CliContext& context) {
  const auto* document = context.document();
  if (!document) return std::nullopt;
  return std::optional<Operations>(std::in_place, *document, context.messages());
}

// "" and "/" stand for the top cabinet.
std::string treePath(const std::string& text) { return text == "/" ? std::string() : text; }

// Record indices; empty when one of them is not a number.
std::optional<std::vector<std::uint32_t>> indicesOf(const std::vector<std::string>& args, std::size_t first,
                                                    std::size_t end) {
  std::vector<std::uint32_t> indices;
  for (std::size_t i = first; i < end; ++i) {
    const auto index = recordIndex(args[i]);
    if (!index) return std::nullopt;
    indices.push_back(*index);
  }
  return indices;
}

// Trays whose links could not follow are worth a line: their links may now
// read as broken.
int reportMissed(CliContext& context, const std::vector<std::string>& trays) {
  for (const std::string& tray : trays) context.status("zorvik-cli: the links in " + tray + " could not be updated");
  return kDone;
}

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

enum class MailAction { Copy, Move, Link };

int transfer(CliContext& context, MailAction action, std::string_view usage) {
  const auto& args = context.args();
  const auto indices = args.size() >= 3 ? indicesOf(args, 1, args.size() - 1) : std::nullopt;
  if (!indices) return context.usage(usage);
  auto ops = operations(context);
  if (!ops) return kFailed;
  const std::string& from = args[0];
  const std::string& to = args.back();
  if (!mailflow::MailSelection::check(ops->opened, from, *indices, to)) return kFailed;
  store::MailOperations::Placed placed;
  bool all = true;
  if (action == MailAction::Link) {
    for (const std::uint32_t index : *indices) {
      std::uint32_t at = 0;
      const auto result = ops->mails.link(from, index, to, &at);
      if (result == store::LinkResult::LimitReached) context.messages().error(MessageNumber::TooManyLinks, {from});
      placed.push_back(result == store::LinkResult::Done ? std::optional(at) : std::nullopt);
    }
  } else if (action == MailAction::Copy) {
    placed = ops->mails.copy(from, *indices, to);
  } else {
    auto moved = ops->mails.move(from, *indices, to);
    placed = std::move(moved.placed);
    // A mail copied whose original stayed is in both trays: not a move.
    all = moved.notRemoved.empty();
  }
  for (std::size_t i = 0; i < placed.size(); ++i) {
    all = all && placed[i].has_value();
    context.printRow({std::to_string((*indices)[i]), placed[i] ? std::to_string(*placed[i]) : "-"});
  }
  return all ? kDone : kFailed;
}

int copyMails(CliContext& context) { return transfer(context, MailAction::Copy, "usage: copy TRAY INDEX... DEST"); }
int moveMails(CliContext& context) { return transfer(context, MailAction::Move, "usage: move TRAY INDEX... DEST"); }
int linkMails(CliContext& context) { return transfer(context, MailAction::Link, "usage: link TRAY INDEX... DEST"); }

int moveTray(CliContext& context) {
  const auto& args = context.args();
  if (args.size() != 2) return context.usage("usage: mvtray PATH CABINET");
  auto ops = operations(context);
  if (!ops) return kFailed;
  if (!ops->tree.move(args[0], treePath(args[1]))) return kFailed;
  return reportMissed(context, ops->tree.missedTrays());
}

int mark(CliContext& context) {
  const auto& args = context.args();
  const auto index = args.size() == 3 ? recordIndex(args[1]) : std::nullopt;
  const auto number = args.size() == 3 ? recordIndex(args[2]) : std::nullopt;
  if (!index || !number || *number > 5) return context.usage("usage: mark TRAY INDEX N (N from 0 to 5)");
  auto ops = operations(context);
  if (!ops || !mailflow::MailSelection::check(ops->opened, args[0], {*index})) return kFailed;
  return ops->mails.setMark(args[0], *index, static_cast<int>(*number)) ? kDone : kFailed;
}

int readState(CliContext& context, bool opened) {
  const auto& args = context.args();
  const auto indices = args.empty() ? std::nullopt : indicesOf(args, 1, args.size());
  if (!indices) return context.usage(opened ? "usage: read TRAY [INDEX...]" : "usage: unread TRAY [INDEX...]");
  auto ops = operations(context);
  if (!ops) return kFailed;
  if (!indices->empty()) {
    if (!mailflow::MailSelection::check(ops->opened, args[0], *indices)) return kFailed;
    return ops->mails.setOpened(args[0], *indices, opened) ? kDone : kFailed;
  }
  const auto state = opened ? store::ReadState::Opened : store::ReadState::Unread;
  return ops->tree.setReadState(treePath(args[0]), state) ? kDone : kFailed;
}

int markRead(CliContext& context) { return readState(context, true); }
int markUnread(CliContext& context) { return readState(context, false); }

int reportMaintenance(CliContext& context, const mailflow::MaintenanceReport& report) {
  reportMissed(context, report.missed);
  return report.ok ? kDone : kFailed;
}

int compact(CliContext& context) {
  if (context.args().size() != 1) return context.usage("usage: compact TRAY");
  auto* const opened = context.document();
  if (!opened) return kFailed;
  const auto report = mailflow::TrayMaintenance::compact(*opened, context.args()[0]);
  if (!report.ok) context.status("zorvik-cli: cannot compact " + context.args()[0]);
  return reportMaintenance(context, report);
}

int emptyTrash(CliContext& context) {
  if (!context.args().empty()) return context.usage("usage: empty-trash");
  auto* const opened = context.document();
  if (!opened) return kFailed;
  return reportMaintenance(context, mailflow::TrayMaintenance::emptyTrash(*opened));
}

int cleanAttachments(CliContext& context) {
  if (!context.args().empty()) return context.usage("usage: clean-attachments");
  auto* const opened = context.document();
  if (!opened) return kFailed;
  const store::AttachmentCleanup cleanup(opened->store(), opened->settings().workingDirectories().newMailWorkFile);
  const auto names = cleanup.unreferenced();
  if (names.empty()) {
    context.status(store::AttachmentCleanup::noneText());
    return kDone;
  }
  context.status(store::AttachmentCleanup::questionText(names));
  for (const std::string& name : names) context.printRow({name});
  if (!context.answerYes()) return kDone;
  return cleanup.remove(names) == names.size() ? kDone : kFailed;
}

}  // namespace

ZORVIK_CLI_COMMAND("mkcab", "PATH | --in CABINET", makeCabinet);
ZORVIK_CLI_COMMAND("mktray", "PATH | --in CABINET", makeTray);
ZORVIK_CLI_COMMAND("rename", "PATH NEWNAME", rename);
ZORVIK_CLI_COMMAND("rm", "PATH | TRAY INDEX... [--for-good]", remove);
ZORVIK_CLI_COMMAND("copy", "TRAY INDEX... DEST", copyMails);
ZORVIK_CLI_COMMAND("move", "TRAY INDEX... DEST", moveMails);
ZORVIK_CLI_COMMAND("link", "TRAY INDEX... DEST", linkMails);
ZORVIK_CLI_COMMAND("mvtray", "PATH CABINET", moveTray);
ZORVIK_CLI_COMMAND("mark", "TRAY INDEX N", mark);
ZORVIK_CLI_COMMAND("read", "TRAY [INDEX...]", markRead);
ZORVIK_CLI_COMMAND("unread", "TRAY [INDEX...]", markUnread);
ZORVIK_CLI_COMMAND("compact", "TRAY", compact);
ZORVIK_CLI_COMMAND("empty-trash", "", emptyTrash);
ZORVIK_CLI_COMMAND("clean-attachments", "", cleanAttachments);

}  // namespace zorvik::cli
