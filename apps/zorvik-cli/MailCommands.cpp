// copy, move, link, mark, read, unread: what the list menu does to mails.
#include <string>
#include <string_view>
#include <vector>

#include "StoreOperations.h"
#include "mailflow/MailSelection.h"

namespace zorvik::cli {

using core::MessageNumber;

namespace {

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

}  // namespace

ZORVIK_CLI_COMMAND("copy", "TRAY INDEX... DEST", copyMails);
ZORVIK_CLI_COMMAND("move", "TRAY INDEX... DEST", moveMails);
ZORVIK_CLI_COMMAND("link", "TRAY INDEX... DEST", linkMails);
ZORVIK_CLI_COMMAND("mark", "TRAY INDEX N", mark);
ZORVIK_CLI_COMMAND("read", "TRAY [INDEX...]", markRead);
ZORVIK_CLI_COMMAND("unread", "TRAY [INDEX...]", markUnread);

}  // namespace zorvik::cli
