// zorvik-cli: the engine without windows. Global options come before the
// command; every command is registered by a *Commands.cpp file.
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "CliCommand.h"
#include "TerminalReporter.h"
#include "platform/TextEncoding.h"

namespace {

constexpr const char* kVersion = "1.6.0.8";

int printHelp(std::ostream& out) {
  out << "usage: zorvik-cli [--settings FILE] [--yes|--no] [--json] COMMAND [ARGS...]\n"
         "       zorvik-cli --version\n\ncommands:\n";
  for (const auto& command : zorvik::cli::commandRegistry())
    out << "  " << command.name << (command.usage.empty() ? "" : " ") << command.usage << '\n';
  out << "\nzorvik-cli help COMMAND explains a command with an example.\n";
  return zorvik::cli::kDone;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace zorvik;
  const char* fromEnvironment = std::getenv("ZORVIK_SETTINGS");
  std::string settingsPath = fromEnvironment ? fromEnvironment : "";
  bool answerYes = false;
  bool json = false;
  int at = 1;
  for (; at < argc; ++at) {
    const std::string option = argv[at];
    if (option == "--settings" && at + 1 < argc) {
      settingsPath = argv[++at];
    } else if (option == "--yes") {
      answerYes = true;
    } else if (option == "--no") {
      answerYes = false;
    } else if (option == "--json") {
      json = true;
    } else if (option == "--version") {
      std::cout << "zorvik-cli " << kVersion << '\n';
      return cli::kDone;
    } else if (option == "--help" || option == "-h") {
      return printHelp(std::cout);
    } else {
      break;
    }
  }
  if (at >= argc) {
    printHelp(std::cerr);
    return cli::kUsage;
  }
  const std::string name = argv[at++];
  std::vector<std::string> args;
  for (; at < argc; ++at) args.push_back(platform::utf8ToSjis(argv[at]));

  for (const auto& command : cli::commandRegistry()) {
    if (command.name != name) continue;
    cli::TerminalReporter reporter(std::cerr, answerYes);
    core::Messages messages(reporter);
    cli::CliContext context(platform::utf8ToSjis(settingsPath), std::move(args), messages, std::cout,
                            std::cerr, json, answerYes);
    return command.run(context);
  }
  std::cerr << "zorvik-cli: unknown command \"" << name << "\" (see --help)\n";
  return cli::kUsage;
}
