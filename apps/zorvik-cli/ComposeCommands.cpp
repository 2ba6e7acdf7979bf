// compose --to A [--cc C] [--bcc B] --subject S (--body-file F | --body TEXT)
//         [--attach FILE]... [--split-kb N]:
// stores a draft in the unsent tray as the compose window's send button
// does, attachments as "@#MIME" lines; prints the new record index.
#include <charconv>
#include <ctime>
#include <optional>
#include <string>

#include "CliCommand.h"

#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "compose/DraftWriter.h"

namespace zorvik::cli {
namespace {

constexpr std::string_view kUsage =
    "usage: compose --to A [--cc C] [--bcc B] --subject S (--body-file F | --body TEXT) "
    "[--attach FILE]... [--split-kb N]";

struct ComposeArguments {
  compose::Draft draft;
  std::optional<std::string> bodyFile;
  bool hasBody = false;
};

std::optional<std::int32_t> splitSize(const std::string& text) {
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
  return value;
}

// Every option takes one value; the draft needs a To, a subject and a body.
std::optional<ComposeArguments> parseArguments(const std::vector<std::string>& args) {
  ComposeArguments parsed;
  bool hasTo = false;
  bool hasSubject = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
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
      const auto size = splitSize(value);
      if (!size) return std::nullopt;
      draft.splitKilobytes = *size;
    } else {
      return std::nullopt;
    }
  }
  if (!hasTo || !hasSubject || !parsed.hasBody) return std::nullopt;
  return parsed;
}

int compose(CliContext& context) {
  auto arguments = parseArguments(context.args());
  if (!arguments) return context.usage(kUsage);
  if (arguments->bodyFile) {
    const auto text = platform::readFile(*arguments->bodyFile);
    if (!text) {
      context.status("zorvik-cli: cannot read " + *arguments->bodyFile);
      return kFailed;
    }
    arguments->draft.body = platform::utf8ToSjis(*text);
  }
  auto* const open = context.document();
  if (!open) return kFailed;
  const compose::DraftWriter writer(open->store(), open->settings(), context.messages());
  const auto index = writer.storeUnsent(arguments->draft, std::time(nullptr));
  if (!index) return kFailed;
  context.printRow({std::to_string(*index)});
  return kDone;
}

}  // namespace

ZORVIK_CLI_COMMAND("compose",
                   "--to A [--cc C] [--bcc B] --subject S (--body-file F | --body TEXT) [--attach FILE]... "
                   "[--split-kb N]",
                   compose);

}  // namespace zorvik::cli
