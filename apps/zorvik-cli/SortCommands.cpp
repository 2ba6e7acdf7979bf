// sort, test-rule and log: the user's sorting command on a tray or a mail,
// the sorting a receive starts (sort --auto), the rule test of the tray
// property page, and the sorting log's end and its clearing.
#include <limits>
#include <optional>
#include <string>

#include "CliCommand.h"
#include "mailflow/SortFlow.h"
#include "platform/TextEncoding.h"
#include "sorting/RuleTester.h"
#include "sorting/SortEnvironment.h"
#include "sorting/SortingLog.h"
#include "store/TrayFile.h"

namespace zorvik::cli {
namespace {

void printOutcome(CliContext& context, const sorting::SortOutcome& outcome) {
  context.printRow({"moved", std::to_string(outcome.moved)});
  context.printRow({"unmatched", std::to_string(outcome.unmatched)});
  context.printRow({"stayed", std::to_string(outcome.stayed)});
  context.printRow({"missing", std::to_string(outcome.missing)});
}

// sort --auto [FIRST COUNT]: as after a receive, over the new-mail tray.
int sortAfterReceive(CliContext& context, const mailflow::Document& document) {
  const auto& args = context.args();
  std::uint32_t first = 0;
  std::uint32_t count = std::numeric_limits<std::uint32_t>::max();
  if (args.size() == 3) {
    const auto from = recordIndex(args[1]);
    const auto many = recordIndex(args[2]);
    if (!from || !many) return context.usage("usage: sort --auto [FIRST COUNT]");
    first = *from;
    count = *many;
  } else if (args.size() != 1) {
    return context.usage("usage: sort --auto [FIRST COUNT]");
  }
  const auto outcome = mailflow::SortFlow::newMail(document, context.frontEnd(), first, count);
  if (!outcome) return kFailed;
  printOutcome(context, *outcome);
  return kDone;
}

int sortCommand(CliContext& context) {
  const auto& args = context.args();
  if (args.empty() || args.size() > 3) return context.usage("usage: sort TRAY [INDEX] | sort --auto [FIRST COUNT]");
  const auto* document = context.document();
  if (!document) return kFailed;
  if (args[0] == "--auto") return sortAfterReceive(context, *document);
  if (args.size() == 3) return context.usage("usage: sort TRAY [INDEX]");
  std::optional<std::uint32_t> index;
  if (args.size() == 2) {
    index = recordIndex(args[1]);
    if (!index) return context.usage("usage: sort TRAY [INDEX]");
  }
  if (!store::TrayFile(document->store(), args[0]).exists()) {
    context.status("zorvik-cli: no tray " + args[0]);
    return kFailed;
  }
  // The notice has no number: it is shown as a status line, and --yes
  // answers "ignore all" after the first.
  const auto notice = [&context](const std::string& subject, const std::string& tray) {
    context.status(platform::sjisLiteral("振り分け: “") + subject + platform::sjisLiteral("” 同じトレイ「") + tray +
                   platform::sjisLiteral("」に振分けられました"));
    return context.answerYes();
  };
  const auto outcome = mailflow::SortFlow::tray(*document, context.frontEnd(), args[0], index, notice);
  if (!outcome) return kFailed;
  printOutcome(context, *outcome);
  return kDone;
}

// test-rule TRAY MAILTRAY INDEX: prints TRUE or FALSE, the reason and the
// expression's error code (0 when it had none).
int testRule(CliContext& context) {
  const auto& args = context.args();
  const auto index = args.size() == 3 ? recordIndex(args[2]) : std::nullopt;
  if (!index) return context.usage("usage: test-rule TRAY MAILTRAY INDEX");
  const auto* document = context.document();
  if (!document) return kFailed;
  const auto environment = sorting::SortEnvironment::fromSettings(document->settings(), document->store());
  const auto rule = sorting::readSortRule(document->store(), args[0]);
  if (!rule) {
    context.status("zorvik-cli: no tray " + args[0]);
    return kFailed;
  }
  const sorting::RuleTester tester(environment, context.messages());
  const auto mail = tester.mail(args[1], index);
  if (!mail) return kFailed;
  const sorting::RuleTestResult result = tester.test(*rule, *mail);
  context.printRow({result.matched ? "TRUE" : "FALSE", result.reason, std::to_string(result.error)});
  return kDone;
}

// log [--clear]: the log's end as the log dialog shows it, or its clearing
// into the older generations (a log that shows nothing is left alone).
int logCommand(CliContext& context) {
  const auto& args = context.args();
  const bool clear = args.size() == 1 && args[0] == "--clear";
  if (!args.empty() && !clear) return context.usage("usage: log [--clear]");
  const auto* document = context.document();
  if (!document) return kFailed;
  const sorting::SortingLog log(document->settings().sortingLogPath(), document->settings().timeZoneOffsetHours());
  const std::string shown = log.tail();
  if (!clear) {
    context.printText(shown);
    return kDone;
  }
  if (!shown.empty()) log.clear();
  return kDone;
}

}  // namespace

ZORVIK_CLI_COMMAND("sort", "TRAY [INDEX] | --auto [FIRST COUNT]", sortCommand);
ZORVIK_CLI_COMMAND("test-rule", "TRAY MAILTRAY INDEX", testRule);
ZORVIK_CLI_COMMAND("log", "[--clear]", logCommand);

}  // namespace zorvik::cli
