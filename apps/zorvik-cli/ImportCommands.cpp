// import --kind K [--period P] [--attach DIR] SOURCE TRAY|--cabinet CAB:
// another mail program's mailbox into a tray, or every mailbox of a folder
// into a cabinet, one tray per file. K is a kind's number in the import
// dialog's list (0-7; 8 Maildir, 9 eml) or its name (mbox, msmail,
// exchange, becky, almail16, almail32, netscape, denshin8, maildir, eml);
// P the dialog's period (0 all, 1 a month, 2 three months, 3 half a year,
// 4 a year); DIR the Becky! attachment folder when it is not found beside
// the mailbox. Prints one line per file: tray, mails stored, mails the
// period left out, mail files that could not be read, the source.
#include <string>
#include <vector>

#include "CliCommand.h"
#include "mailflow/ImportFlow.h"

namespace zorvik::cli {
namespace {

constexpr std::string_view kUsage =
    "usage: import --kind K [--period P] [--attach DIR] SOURCE TRAY|--cabinet CAB";

std::optional<mailflow::ImportRequest> parse(const std::vector<std::string>& args) {
  mailflow::ImportRequest request;
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--kind" && hasValue) {
      request.kind = import::MailerKinds::parse(args[++i]);
      if (!request.kind) return std::nullopt;
    } else if (arg == "--period" && hasValue) {
      const auto period = recordIndex(args[++i]);
      if (!period || *period > import::ImportPeriod::kLast) return std::nullopt;
      request.period = static_cast<int>(*period);
    } else if (arg == "--attach" && hasValue) {
      request.attachFolder = args[++i];
    } else if (arg == "--cabinet" && hasValue) {
      request.cabinet = args[++i];
    } else if (arg.starts_with("--")) {
      return std::nullopt;
    } else {
      positional.push_back(arg);
    }
  }
  // Without --kind the flow answers as the dialog does with no kind chosen.
  if (positional.size() != (request.cabinet ? 1u : 2u)) return std::nullopt;
  request.source = positional[0];
  if (!request.cabinet) request.tray = positional[1];
  return request;
}

int importMailbox(CliContext& context) {
  const auto request = parse(context.args());
  if (!request) return context.usage(kUsage);
  const auto* document = context.document();
  if (!document) return kFailed;
  const auto report = mailflow::ImportFlow::run(*document, context.frontEnd(), *request);
  if (!report) {
    if (!request->cabinet) context.status("zorvik-cli: nothing imported into " + request->tray);
    return kFailed;
  }
  for (const mailflow::ImportedFile& file : report->files) {
    context.printRow({file.tray, std::to_string(file.stored), std::to_string(file.leftOut),
                      std::to_string(file.skipped), file.source});
  }
  return report->ok ? kDone : kFailed;
}

}  // namespace

ZORVIK_CLI_COMMAND("import", "--kind K [--period P] [--attach DIR] SOURCE TRAY|--cabinet CAB", importMailbox);

}  // namespace zorvik::cli
