// compose --to A [--cc C] [--bcc B] --subject S (--body-file F | --body TEXT)
//         [--attach FILE]... [--split-kb N] [--tray T] [--check]:
// stores a new mail in the unsent tray as the compose window's send button
// does, attachments as "@#MIME" lines; prints the new record index.
//
// compose --reply|--reply-all|--forward|--add ...: see ComposeReply.h.
//
// With --check nothing is stored: one row per character that will not
// arrive as written (line, column, character, what happens to it).
#include <charconv>
#include <ctime>
#include <optional>
#include <string>

#include "CliCommand.h"
#include "ComposeReply.h"
#include "DraftEditing.h"

#include "compose/DraftFile.h"
#include "compose/DraftWriter.h"
#include "compose/TemplateFiles.h"
#include "mailflow/DraftFlow.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"

namespace zorvik::cli {
namespace {

constexpr std::string_view kUsage =
    "usage: compose --to A [--cc C] [--bcc B] --subject S (--body-file F | --body TEXT) "
    "[--attach FILE]... [--split-kb N] [--tray T] [--check]\n"
    "       compose --reply|--reply-all|--forward|--add TRAY INDEX[,INDEX...] [--to A] [--cc C] [--bcc B] "
    "[--template NAME] [--body-file F] [--attach FILE]... [--edit] [--keep] [--check]";

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
  if (!draft.tray.empty()) draft.editMap = mailflow::DraftFlow::loadedEditMap(*open);
  const auto index = mailflow::DraftFlow::store(*open, draft, {compose::DraftTarget::Unsent, true, {}});
  if (!index) return kFailed;
  context.printRow({std::to_string(*index)});
  return kDone;
}

int composeCommand(CliContext& context) {
  const auto& args = context.args();
  if (!args.empty() && isDraftKindOption(args[0])) return composeReply(context, kUsage);
  return composeNew(context);
}

}  // namespace

ZORVIK_CLI_COMMAND("compose",
                   "--to A [--cc C] [--bcc B] --subject S (--body-file F | --body TEXT) [--attach FILE]... "
                   "[--split-kb N] [--tray T] [--check] | --reply|--reply-all|--forward|--add TRAY INDEX[,INDEX...] "
                   "[--to A] [--cc C] [--bcc B] [--template NAME] [--body-file F] [--attach FILE]... [--edit] "
                   "[--keep] [--check]",
                   composeCommand);

}  // namespace zorvik::cli
