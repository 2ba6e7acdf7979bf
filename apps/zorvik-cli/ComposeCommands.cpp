// compose --to A [--cc C] [--bcc B] --subject S (--body-file F | --body TEXT)
//         [--attach FILE]... [--split-kb N] [--tray T] [--check]:
// stores a new mail in the unsent tray as the compose window's send button
// does, attachments as "@#MIME" lines; prints the new record index.
//
// compose --reply|--reply-all|--forward|--add TRAY INDEX[,INDEX...]
//         [--to A] [--cc C] [--bcc B] [--template NAME] [--body-file F]
//         [--edit] [--keep] [--check]:
// prepares the draft the compose window would open for those mails, adds
// the addresses and the text of F to it, lets the user edit it, prints it
// and stores it (in the drafts tray with --keep).
//
// With --check nothing is stored: one row per character that will not
// arrive as written (line, column, character, what happens to it).
#include <charconv>
#include <ctime>
#include <optional>
#include <string>

#include "CliCommand.h"
#include "DraftEditing.h"

#include "compose/DraftFile.h"
#include "compose/DraftWriter.h"
#include "compose/TemplateFiles.h"
#include "core/SettingsItemTable.h"
#include "mailflow/DraftFlow.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"

namespace zorvik::cli {
namespace {

constexpr std::string_view kUsage =
    "usage: compose --to A [--cc C] [--bcc B] --subject S (--body-file F | --body TEXT) "
    "[--attach FILE]... [--split-kb N] [--tray T] [--check]\n"
    "       compose --reply|--reply-all|--forward|--add TRAY INDEX[,INDEX...] [--to A] [--cc C] [--bcc B] "
    "[--template NAME] [--body-file F] [--edit] [--keep] [--check]";

struct ComposeArguments {
  compose::Draft draft;
  std::optional<std::string> bodyFile;
  bool hasBody = false;
  bool check = false;
};

std::optional<std::int32_t> number(const std::string& text) {
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
  return value;
}

// Every option but --check takes one value; the draft needs a To, a
// subject and a body.
std::optional<ComposeArguments> parseArguments(const std::vector<std::string>& args) {
  ComposeArguments parsed;
  bool hasTo = false;
  bool hasSubject = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--check") {
      parsed.check = true;
      continue;
    }
    if (i + 1 >= args.size()) return std::nullopt;
    const std::string& option = args[i];
    const std::string& value = args[++i];
    compose::Draft& draft = parsed.draft;
    if (option == "--to") {
      draft.to = value;
      hasTo = true;
    } else if (option == "--cc") {
      draft.cc = value;
    } else if (option == "--bcc") {
      draft.bcc = value;
    } else if (option == "--subject") {
      draft.subject = value;
      hasSubject = true;
    } else if (option == "--body" && !parsed.hasBody) {
      draft.body = value;
      parsed.hasBody = true;
    } else if (option == "--body-file" && !parsed.hasBody) {
      parsed.bodyFile = value;
      parsed.hasBody = true;
    } else if (option == "--attach") {
      draft.attachments.push_back(value);
    } else if (option == "--split-kb") {
      const auto size = number(value);
      if (!size) return std::nullopt;
      draft.splitKilobytes = *size;
    } else if (option == "--tray") {
      draft.tray = value;
    } else {
      return std::nullopt;
    }
  }
  if (!hasTo || !hasSubject || !parsed.hasBody) return std::nullopt;
  return parsed;
}

int composeNew(CliContext& context) {
  auto arguments = parseArguments(context.args());
  if (!arguments) return context.usage(kUsage);
  compose::Draft& draft = arguments->draft;
  if (arguments->bodyFile) {
    const auto text = platform::readFile(*arguments->bodyFile);
    if (!text) {
      context.status("zorvik-cli: cannot read " + *arguments->bodyFile);
      return kFailed;
    }
    draft.body = compose::TemplateFiles::asSjis(*text);
  }
  if (arguments->check) {
    printCharacterCheck(context, draft.subject, draft.body);
    return kDone;
  }
  auto* const open = context.document();
  if (!open) return kFailed;
  if (!draft.tray.empty()) draft.editMap = loadedEditMap(*open);
  const auto index = mailflow::DraftFlow::store(*open, draft, {compose::DraftTarget::Unsent, true});
  if (!index) return kFailed;
  context.printRow({std::to_string(*index)});
  return kDone;
}

struct ReplyArguments {
  compose::DraftKind kind = compose::DraftKind::Reply;
  std::string tray;
  std::vector<std::uint32_t> indices;
  mailflow::PrepareOptions options;
  std::optional<std::string> bodyFile;
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
    } else if (option == "--body-file" && i + 1 < args.size() && !parsed.bodyFile) {
      parsed.bodyFile = args[++i];
    } else {
      return std::nullopt;
    }
  }
  return parsed;
}

int composeReply(CliContext& context) {
  const auto arguments = parseReply(context.args());
  if (!arguments) return context.usage(kUsage);
  auto* const open = context.document();
  if (!open) return kFailed;
  auto draft = mailflow::DraftFlow::prepare(*open, arguments->kind, arguments->tray, arguments->indices,
                                            arguments->options);
  if (!draft) {
    context.status("zorvik-cli: no such mail in " + arguments->tray);
    return kFailed;
  }
  draft->editMap = loadedEditMap(*open);
  addAddresses(draft->prepared.to, arguments->to);
  addAddresses(draft->prepared.cc, arguments->cc);
  addAddresses(draft->prepared.bcc, arguments->bcc);
  const bool ready = (!arguments->bodyFile || appendBodyFile(context, *draft, *arguments->bodyFile)) &&
                     (!arguments->edit || editDraft(context, *draft));
  if (!ready || arguments->check) {
    if (arguments->check) printCharacterCheck(context, draft->prepared.subject, draft->prepared.body);
    platform::removeFile(draft->bodyFile);
    return ready ? kDone : kFailed;
  }
  printDraft(context, *draft);
  const compose::DraftTarget target = arguments->keep ? compose::DraftTarget::Drafts : compose::DraftTarget::Unsent;
  const auto index = mailflow::DraftFlow::store(*open, draft->toDraft(), {target, true});
  if (!index) {
    platform::removeFile(draft->bodyFile);
    return kFailed;
  }
  context.status("zorvik-cli: stored as " +
                 open->settings().text(arguments->keep ? core::item::kDraftsTray : core::item::kUnsentTray) + " " +
                 std::to_string(*index));
  return kDone;
}

int composeCommand(CliContext& context) {
  const auto& args = context.args();
  if (!args.empty() && kindOf(args[0])) return composeReply(context);
  return composeNew(context);
}

}  // namespace

ZORVIK_CLI_COMMAND("compose",
                   "--to A [--cc C] [--bcc B] --subject S (--body-file F | --body TEXT) [--attach FILE]... "
                   "[--split-kb N] [--tray T] [--check] | --reply|--reply-all|--forward|--add TRAY INDEX[,INDEX...] "
                   "[--to A] [--cc C] [--bcc B] [--template NAME] [--body-file F] [--edit] [--keep] [--check]",
                   composeCommand);

}  // namespace zorvik::cli
