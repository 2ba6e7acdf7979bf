// help [COMMAND]: what each command does, with an example. The synopsis
// comes from the command's registration; the words and the example from
// the help table (HelpTable.h).
#include <algorithm>
#include <iostream>
#include <string_view>

#include "CliCommand.h"
#include "HelpTable.h"

namespace zorvik::cli {
namespace {

// A text of one sentence is its own first sentence.
std::string_view firstSentence(std::string_view text) {
  const std::size_t end = text.find(". ");
  return end == std::string_view::npos ? text : text.substr(0, end + 1);
}

int help(CliContext& context) {
  const auto& args = context.args();
  if (args.size() > 1) return context.usage("usage: help [COMMAND]");
  const auto& commands = commandRegistry();
  if (args.empty()) {
    for (const CommandInfo& command : commands) {
      const Help* text = helpOf(command.name);
      std::cout << "  " << command.name << (command.usage.empty() ? "" : " ") << command.usage << '\n';
      if (text) std::cout << "      " << firstSentence(text->text) << '\n';
    }
    std::cout << "\nzorvik-cli help COMMAND explains one command with an example.\n";
    return kDone;
  }
  const auto command = std::find_if(commands.begin(), commands.end(),
                                    [&args](const CommandInfo& info) { return info.name == args[0]; });
  if (command == commands.end()) return context.usage("no command " + args[0] + " (see zorvik-cli help)");
  std::cout << "usage: zorvik-cli [--settings FILE] [--yes|--no] [--json] " << command->name
            << (command->usage.empty() ? "" : " ") << command->usage << "\n\n";
  if (const Help* text = helpOf(command->name))
    std::cout << text->text << "\n\nexample:\n  " << text->example << '\n';
  return kDone;
}

}  // namespace

ZORVIK_CLI_COMMAND("help", "[COMMAND]", help);

}  // namespace zorvik::cli
