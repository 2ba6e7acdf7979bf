/// \file
/// The command registry of zorvik-cli. Each *Commands.cpp file registers its
/// commands with ZORVIK_CLI_COMMAND; a command only parses its arguments,
/// calls one mailflow entry (or one engine operation on the open document)
/// and prints.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/Messages.h"
#include "core/SettingsFile.h"
#include "mailflow/Document.h"
#include "mailflow/FrontEnd.h"

namespace zorvik::cli {

/// Exit statuses of every command.
enum ExitStatus : int { kDone = 0, kFailed = 1, kUsage = 2 };

/// What a command works with: its arguments (converted to Shift_JIS), the
/// settings file named by --settings, the message reporter and the output.
class CliContext {
public:
  CliContext(std::string settingsPath, std::vector<std::string> args, core::Messages& messages,
             std::ostream& out, std::ostream& err, bool json, bool answerYes);
  ~CliContext();

  const std::vector<std::string>& args() const { return args_; }
  core::Messages& messages() { return messages_; }
  const std::string& settingsPath() const { return settingsPath_; }
  bool json() const { return json_; }
  bool answerYes() const { return answerYes_; }

  /// The settings file as it is on disk, without path resolution (get,
  /// set). Null, after the message, when there is no --settings or the
  /// file is missing or unreadable.
  core::SettingsFile* rawSettings();
  /// The open document of --settings: loaded, its paths resolved, its
  /// store guarded by the free-space check. Null, after the message, when
  /// it cannot be opened.
  mailflow::Document* document();
  /// Progress lines on stderr, the terminal's bell for arrival sounds, and
  /// Ctrl-C as the stop request: the first lets the work finish the mail
  /// in hand, a second stops at once.
  mailflow::FrontEnd& frontEnd();

  /// Writes one output record: Shift_JIS fields converted to UTF-8 and
  /// separated by tabs (with --json, one JSON array per line). Inside a
  /// field a tab, CR, LF and backslash are written \t, \r, \n, \\, so
  /// every record stays one line that `cut` and `awk` can split.
  void printRow(std::initializer_list<std::string_view> fields);
  void printRow(const std::vector<std::string>& fields);
  /// Writes Shift_JIS text converted to UTF-8, as it is.
  void printText(std::string_view sjis);
  /// A progress or status line on stderr (Shift_JIS in, UTF-8 out).
  void status(std::string_view sjis);
  /// A usage complaint on stderr; returns kUsage.
  int usage(std::string_view text);

private:
  struct Terminal;

  bool requireSettingsPath();

  std::string settingsPath_;
  std::vector<std::string> args_;
  core::Messages& messages_;
  std::ostream& out_;
  std::ostream& err_;
  bool json_;
  bool answerYes_;
  std::optional<core::SettingsFile> settings_;
  std::unique_ptr<mailflow::Document> document_;
  std::unique_ptr<Terminal> terminal_;
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

/// A record index as `list` prints it: decimal digits only.
std::optional<std::uint32_t> recordIndex(const std::string& text);
/// Record indices, one an argument; empty when any is not one, or none given.
std::optional<std::vector<std::uint32_t>> recordIndices(const std::vector<std::string>& args);

}  // namespace zorvik::cli

#define ZORVIK_CLI_CONCAT2(a, b) a##b
#define ZORVIK_CLI_CONCAT(a, b) ZORVIK_CLI_CONCAT2(a, b)
/// Registers a command: ZORVIK_CLI_COMMAND("get", "ITEM", [](CliContext& c) { ... });
#define ZORVIK_CLI_COMMAND(name, usage, ...)                                           \
  static const ::zorvik::cli::CommandRegistrar ZORVIK_CLI_CONCAT(kCommand, __LINE__) { \
    ::zorvik::cli::CommandInfo { name, usage, __VA_ARGS__ }                          \
  }
