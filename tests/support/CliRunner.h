/// \file
/// Runs the built zorvik-cli as a child process and captures what it prints.
#pragma once

#include <string>
#include <vector>

namespace zorvik::test {

struct CliResult {
  int exitCode = -1;
  std::string out;  // stdout, UTF-8
  std::string err;  // stderr, UTF-8
};

/// Runs zorvik-cli with `args` (UTF-8), in `workingDirectory` when given,
/// with extra environment entries "NAME=value".
CliResult runCli(const std::vector<std::string>& args, const std::string& workingDirectory = {},
                 const std::vector<std::string>& environment = {});

}  // namespace zorvik::test
