/// \file
/// The command registry of zorvik-cli. Each *Commands.cpp file registers its
/// commands with ZORVIK_CLI_COMMAND; a command only parses its arguments and
/// calls the engine.
#pragma once

#include <functional>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/Messages.h"
#include "core/SettingsFile.h"

namespace zorvik::cli {

/// Exit statuses of every command.
enum ExitStatus : int { kDone = 0, kFailed = 1, kUsage = 2 };

/// What a command works with: its arguments (converted to Shift_JIS), the
/// settings file named by --settings, the message reporter and the output.
class CliContext {
public:
  CliContext(std::string settingsPath, std::vector<std::string> args, core::Messages& messages,
             std::ostream& out, std::ostream& err, bool json, bool answerYes);

  const std::vector<std::string>& args() const { return args_; }
  core::Messages& messages() { return messages_; }
  const std::string& settingsPath() const { return settingsPath_; }
  bool json() const { return json_; }
  bool answerYes() const { return answerYes_; }

  /// The settings file as it is on disk (no path resolution), or the
  /// defaults when it does not exist yet. Empty when it cannot be loaded.
  core::SettingsFile* rawSettings();

  /// Writes one output record: Shift_JIS fields converted to UTF-8 and
  /// separated by tabs (with --json, one JSON array per line).
  void printRow(std::initializer_list<std::string_view> fields);
  void printRow(const std::vector<std::string>& fields);
  /// Writes Shift_JIS text converted to UTF-8, as it is.
  void printText(std::string_view sjis);
  /// A progress or status line on stderr (Shift_JIS in, UTF-8 out).
  void status(std::string_view sjis);
  /// A usage complaint on stderr; returns kUsage.
  int usage(std::string_view text);

private:
  std::string settingsPath_;
  std::vector<std::string> args_;
  core::Messages& messages_;
  std::ostream& out_;
  std::ostream& err_;
  bool json_;
  bool answerYes_;
  std::optional<core::SettingsFile> settings_;
};

struct CommandInfo {
  std::string name;
  std::string usage;  // argument synopsis, shown by --help
  std::function<int(CliContext&)> run;
};

/// All registered commands, in registration order.
std::vector<CommandInfo>& commandRegistry();

struct CommandRegistrar {
  explicit CommandRegistrar(CommandInfo info) { commandRegistry().push_back(std::move(info)); }
};

}  // namespace zorvik::cli

#define ZORVIK_CLI_CONCAT2(a, b) a##b
#define ZORVIK_CLI_CONCAT(a, b) ZORVIK_CLI_CONCAT2(a, b)
/// Registers a command: ZORVIK_CLI_COMMAND("get", "ITEM", [](CliContext& c) { ... });
#define ZORVIK_CLI_COMMAND(name, usage, ...)                                           \
  static const ::zorvik::cli::CommandRegistrar ZORVIK_CLI_CONCAT(kCommand, __LINE__) { \
    ::zorvik::cli::CommandInfo { name, usage, __VA_ARGS__ }                          \
  }
