// init --name N --address A [--password P] [--dir D] [--plain]: the first
// start of an account without the dialog (TLS on 995 and 465, as the dialog
// proposes, unless --plain keeps the plain ports 110 and 25); check: the
// environment check of a start, the recovery of mails left in the new-mail
// work file, and a note for each tray whose index is gone.
#include "CliCommand.h"
#include "mailflow/StartUp.h"
#include "platform/FileSystem.h"
#include "store/TreeListing.h"

namespace zorvik::cli {
namespace {

struct InitOptions {
  store::AccountSetup account;
  std::string directory;
  bool hasName = false;
  bool hasAddress = false;
};

// "--name N" style options and the switch "--plain"; empty for anything else
// or a missing value.
std::optional<InitOptions> parseOptions(const std::vector<std::string>& args) {
  InitOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--plain") {
      options.account.secure = false;
      continue;
    }
    if (i + 1 >= args.size()) return std::nullopt;
    const std::string& value = args[i + 1];
    if (args[i] == "--name") {
      options.account.name = value;
      options.hasName = true;
    } else if (args[i] == "--address") {
      options.account.address = value;
      options.hasAddress = true;
    } else if (args[i] == "--password") {
      options.account.password = value;
    } else if (args[i] == "--dir") {
      options.directory = value;
    } else {
      return std::nullopt;
    }
    ++i;
  }
  return options;
}

std::string absolute(const std::string& directory) {
  if (directory.empty()) return platform::currentDirectory();
  if (platform::isFullPath(directory)) return directory;
  return platform::joinPath(platform::currentDirectory(), directory);
}

int init(CliContext& context) {
  const auto options = parseOptions(context.args());
  if (!options || !options->hasName || !options->hasAddress)
    return context.usage("usage: init --name N --address A [--password P] [--dir D] [--plain]");

  const store::StartUpPlaces places = store::StartUpPlaces::ofProcess().inDirectory(absolute(options->directory));
  const auto document = mailflow::StartUp::open("", context.messages(), places, [&options] { return options->account; });
  if (!document) return kFailed;
  context.printText(document->settings().fileName());
  context.printText("\n");
  return kDone;
}

int check(CliContext& context) {
  if (!context.args().empty()) return context.usage("usage: check");
  if (context.settingsPath().empty()) return context.usage("check: give --settings FILE or set ZORVIK_SETTINGS");
  // Without a file a start runs the first-run flow, which needs `init`'s
  // account fields.
  if (!platform::isRegularFile(context.settingsPath())) {
    context.status("zorvik-cli: no settings file " + context.settingsPath() + " (see init)");
    return kFailed;
  }
  // The settings file's folder stands in for the program directory, as it
  // does for `init --dir`: relative paths in the file are relative to it.
  const store::StartUpPlaces places =
      store::StartUpPlaces::ofProcess().inDirectory(mailflow::Document::resolutionFolderOf(context.settingsPath()));
  const auto document = mailflow::StartUp::open(context.settingsPath(), context.messages(), places, {});
  if (!document) return kFailed;
  // The tree cannot show a tray whose index is gone; its mails are still in
  // its text file. A line on stderr, as the other notes: what a script
  // reads of `check` stays as it was.
  for (const std::string& tray : store::traysWithoutIndex(document->store(), ""))
    context.status("zorvik-cli: " + tray + " has no index; zorvik-cli rebuild " + tray + " brings its mails back");
  return kDone;
}

}  // namespace

ZORVIK_CLI_COMMAND("init", "--name N --address A [--password P] [--dir D] [--plain]", init);
ZORVIK_CLI_COMMAND("check", "", check);

}  // namespace zorvik::cli
