// backup, merge, export: copying trays between the store and a tree outside
// it. Long work shows how far it has come on stderr.
#include <chrono>
#include <ctime>
#include <string>

#include "CliCommand.h"
#include "core/SettingsItemTable.h"
#include "mailflow/TrayTransferFlow.h"
#include "platform/FileSystem.h"
#include "store/BackupPeriod.h"

namespace zorvik::cli {
namespace {

// The options every command of this file shares, and its positional
// arguments.
struct Options {
  std::vector<std::string> positional;
  std::optional<int> period;
  std::string date;
  std::string path;  // --from or --into
  bool remove = false;
  bool deleteCopied = false;
  bool compactAfter = false;
};

std::optional<Options> parse(const std::vector<std::string>& args, std::string_view pathOption) {
  Options options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--period" && hasValue) {
      const auto number = recordIndex(args[++i]);
      if (!number || *number > 7) return std::nullopt;
      options.period = static_cast<int>(*number);
    } else if (arg == "--date" && hasValue) {
      options.date = args[++i];
    } else if (arg == pathOption && hasValue) {
      options.path = args[++i];
    } else if (arg == "--remove") {
      options.remove = true;
    } else if (arg == "--delete") {
      options.deleteCopied = true;
    } else if (arg == "--compact") {
      options.compactAfter = true;
    } else if (arg.starts_with("--")) {
      return std::nullopt;
    } else {
      options.positional.push_back(arg);
    }
  }
  return options;
}

// The date limit of the chosen period (or the one the settings remember).
std::optional<store::DateLimit> limitOf(CliContext& context, const mailflow::Document& opened, const Options& options,
                                        int periodItem) {
  const bool backup = periodItem == core::item::kBackupPeriod;
  const int zone = opened.settings().timeZoneOffsetHours();
  const int period = options.period.value_or(opened.settings().number(periodItem));
  std::optional<std::time_t> picked;
  if (!options.date.empty()) picked = store::BackupPeriod::parseDay(options.date, zone);
  const auto limit = backup ? store::BackupPeriod::forBackup(period, std::time(nullptr), zone, picked)
                            : store::BackupPeriod::forMerge(period, std::time(nullptr), zone, picked);
  if (!limit) context.usage("the period " + std::to_string(period) + " needs a valid --date YYYY-MM-DD or is unknown");
  return limit;
}

std::string fullPath(const std::string& path) {
  return platform::isFullPath(path) ? path : platform::joinPath(platform::currentDirectory(), path);
}

// One row: the mails copied and the mails the period left out; on stderr
// the same in words, and the trays whose mails were copied but kept.
int finish(CliContext& context, const std::optional<mailflow::TransferOutcome>& outcome) {
  if (!outcome) return kFailed;
  const mailflow::TransferOutcome& report = *outcome;
  for (const std::string& tray : report.kept)
    context.status("zorvik-cli: the mails of " + tray +
                   " were copied but kept: they still wait to be received or sent");
  context.status("zorvik-cli: " + std::to_string(report.copied) + " mails copied, " +
                 std::to_string(report.leftOut) + " outside the period left alone");
  context.printRow({std::to_string(report.copied), std::to_string(report.leftOut)});
  return report.ok ? kDone : kFailed;
}

int backup(CliContext& context) {
  const auto options = parse(context.args(), "--from");
  if (!options || options->positional.size() != 1)
    return context.usage("usage: backup DIR [--from PATH] [--period N] [--date YYYY-MM-DD] [--delete] [--compact]");
  auto* const opened = context.document();
  if (!opened) return kFailed;
  const auto limit = limitOf(context, *opened, *options, core::item::kBackupPeriod);
  if (!limit) return kUsage;
  store::BackupRequest request;
  request.directory = fullPath(options->positional[0]);
  request.selection = options->path == "/" ? std::string() : options->path;
  request.focusedOnly = !request.selection.empty();
  request.limit = *limit;
  request.deleteCopied = options->deleteCopied;
  request.compactAfter = options->compactAfter;
  return finish(context, mailflow::TrayTransferFlow::backup(*opened, context.frontEnd(), request));
}

int merge(CliContext& context) {
  const auto options = parse(context.args(), "--into");
  if (!options || options->positional.size() != 1)
    return context.usage("usage: merge SRC [--into PATH] [--period N] [--date YYYY-MM-DD]");
  auto* const opened = context.document();
  if (!opened) return kFailed;
  const auto limit = limitOf(context, *opened, *options, core::item::kMergePeriod);
  if (!limit) return kUsage;
  const store::MergeRequest request{fullPath(options->positional[0]), options->path == "/" ? "" : options->path,
                                    *limit};
  return finish(context, mailflow::TrayTransferFlow::merge(*opened, context.frontEnd(), request));
}

int exportTrays(CliContext& context) {
  const auto options = parse(context.args(), "");
  if (!options || options->positional.size() != 2)
    return context.usage("usage: export PATH DEST [--period N] [--date YYYY-MM-DD] [--remove]");
  auto* const opened = context.document();
  if (!opened) return kFailed;
  const auto limit = limitOf(context, *opened, *options, core::item::kExportPeriod);
  if (!limit) return kUsage;
  const std::string& inside = options->positional[0];
  const store::ExportRequest request{inside == "/" ? "" : inside, fullPath(options->positional[1]), *limit,
                                     options->remove};
  return finish(context, mailflow::TrayTransferFlow::exportTrays(*opened, context.frontEnd(), request));
}

}  // namespace

ZORVIK_CLI_COMMAND("backup", "DIR [--from PATH] [--period N] [--date YYYY-MM-DD] [--delete] [--compact]", backup);
ZORVIK_CLI_COMMAND("merge", "SRC [--into PATH] [--period N] [--date YYYY-MM-DD]", merge);
ZORVIK_CLI_COMMAND("export", "PATH DEST [--period N] [--date YYYY-MM-DD] [--remove]", exportTrays);

}  // namespace zorvik::cli
