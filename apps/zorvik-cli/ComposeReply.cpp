#include "ComposeReply.h"

#include <optional>
#include <string>
#include <vector>

#include "DraftEditing.h"

#include "compose/DraftWriter.h"
#include "core/SettingsItemTable.h"
#include "mailflow/DraftFlow.h"

namespace zorvik::cli {
namespace {

struct ReplyArguments {
  compose::DraftKind kind = compose::DraftKind::Reply;
  std::string tray;
  std::vector<std::uint32_t> indices;
  mailflow::PrepareOptions options;
  std::optional<std::string> bodyFile;
  std::vector<std::string> attachments;
  std::string to;  ///< addresses added to the prepared lists
  std::string cc;
  std::string bcc;
  bool edit = false;
  bool keep = false;
  bool check = false;
};

// `list` with `more` added, "," between them.
void addAddresses(std::string& list, const std::string& more) {
  if (more.empty()) return;
  list += (list.empty() ? "" : ",") + more;
}

std::optional<compose::DraftKind> kindOf(const std::string& option) {
  if (option == "--reply") return compose::DraftKind::Reply;
  if (option == "--reply-all") return compose::DraftKind::ReplyAll;
  if (option == "--forward") return compose::DraftKind::Forward;
  if (option == "--add") return compose::DraftKind::Addition;
  return std::nullopt;
}

// "3,5,8": record indices as the list prints them.
std::optional<std::vector<std::uint32_t>> indexList(const std::string& text) {
  std::vector<std::string> parts;
  for (std::size_t at = 0;;) {
    const std::size_t comma = text.find(',', at);
    parts.push_back(text.substr(at, comma == std::string::npos ? std::string::npos : comma - at));
    if (comma == std::string::npos) break;
    at = comma + 1;
  }
  return recordIndices(parts);
}

std::optional<ReplyArguments> parseReply(const std::vector<std::string>& args) {
  if (args.size() < 3) return std::nullopt;
  ReplyArguments parsed;
  const auto kind = kindOf(args[0]);
  const auto indices = indexList(args[2]);
  if (!kind || !indices) return std::nullopt;
  parsed.kind = *kind;
  parsed.tray = args[1];
  parsed.indices = *indices;
  for (std::size_t i = 3; i < args.size(); ++i) {
    const std::string& option = args[i];
    if (option == "--edit") {
      parsed.edit = true;
    } else if (option == "--keep") {
      parsed.keep = true;
    } else if (option == "--check") {
      parsed.check = true;
    } else if (option == "--template" && i + 1 < args.size()) {
      parsed.options.templateName = args[++i];
    } else if (option == "--to" && i + 1 < args.size()) {
      addAddresses(parsed.to, args[++i]);
    } else if (option == "--cc" && i + 1 < args.size()) {
      addAddresses(parsed.cc, args[++i]);
    } else if (option == "--bcc" && i + 1 < args.size()) {
      addAddresses(parsed.bcc, args[++i]);
    } else if (option == "--attach" && i + 1 < args.size()) {
      parsed.attachments.push_back(args[++i]);
    } else if (option == "--body-file" && i + 1 < args.size() && !parsed.bodyFile) {
      parsed.bodyFile = args[++i];
    } else {
      return std::nullopt;
    }
  }
  return parsed;
}

}  // namespace

bool isDraftKindOption(const std::string& option) { return kindOf(option).has_value(); }

int composeReply(CliContext& context, std::string_view usage) {
  const auto arguments = parseReply(context.args());
  if (!arguments) return context.usage(usage);
  auto* const open = context.document();
  if (!open) return kFailed;
  auto draft = mailflow::DraftFlow::prepare(*open, arguments->kind, arguments->tray, arguments->indices,
                                            arguments->options);
  if (!draft) {
    context.status("zorvik-cli: no such mail in " + arguments->tray);
    return kFailed;
  }
  addAddresses(draft->prepared.to, arguments->to);
  addAddresses(draft->prepared.cc, arguments->cc);
  addAddresses(draft->prepared.bcc, arguments->bcc);
  draft->attachments = arguments->attachments;
  const bool ready = (!arguments->bodyFile || appendBodyFile(context, *draft, *arguments->bodyFile)) &&
                     (!arguments->edit || editDraft(context, *draft));
  if (!ready || arguments->check) {
    if (arguments->check) printCharacterCheck(context, draft->prepared.subject, draft->prepared.body);
    mailflow::DraftFlow::discard(*draft);
    return ready ? kDone : kFailed;
  }
  printDraft(context, *draft);
  const compose::DraftTarget target = arguments->keep ? compose::DraftTarget::Drafts : compose::DraftTarget::Unsent;
  const auto index = mailflow::DraftFlow::store(*open, draft->toDraft(), {target, true, {}});
  if (!index) {
    mailflow::DraftFlow::discard(*draft);
    return kFailed;
  }
  context.status("zorvik-cli: stored as " +
                 open->settings().text(arguments->keep ? core::item::kDraftsTray : core::item::kUnsentTray) + " " +
                 std::to_string(*index));
  return kDone;
}

}  // namespace zorvik::cli
