/// \file
/// Runs the built zorvik-cli as a child process and captures what it prints.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

#include "support/TestEnvironment.h"

namespace zorvik::test {

struct CliResult {
  int exitCode = -1;
  std::string out;  // stdout, UTF-8
  std::string err;  // stderr, UTF-8
};

/// A zorvik-cli child running beside the test, for races and kills.
class CliProcess {
public:
  /// Starts zorvik-cli with `args` (UTF-8), in `workingDirectory` when
  /// given, with extra environment entries "NAME=value".
  CliProcess(const std::vector<std::string>& args, const std::string& workingDirectory = {},
             const std::vector<std::string>& environment = {});
  /// Kills a child still running and reaps it.
  ~CliProcess();
  CliProcess(const CliProcess&) = delete;
  CliProcess& operator=(const CliProcess&) = delete;

  pid_t pid() const { return pid_; }
  /// Still running (not yet reaped).
  bool running();
  void signal(int number) const;
  /// Waits for the end; what it printed and how it ended.
  CliResult wait();

private:
  ScratchDir capture_;
  pid_t pid_ = -1;
  int status_ = -1;
};

/// Runs zorvik-cli with `args` to its end (see CliProcess).
CliResult runCli(const std::vector<std::string>& args, const std::string& workingDirectory = {},
                 const std::vector<std::string>& environment = {});

}  // namespace zorvik::test
