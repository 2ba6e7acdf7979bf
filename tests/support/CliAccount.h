/// \file
/// The fixture of an end-to-end test: a fresh account and store made by
/// `zorvik-cli init` in a scratch folder, and zorvik-cli run on it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/CliRunner.h"
#include "support/TestEnvironment.h"

namespace zorvik::test {

class CliAccount : public ::testing::Test {
protected:
  void SetUp() override {
    const auto result = runCli({"init", "--name", "T", "--address", "me@example.jp", "--dir", dir.path()}, dir.path(),
                               {"HOME=" + dir.path()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    settings = result.out.substr(0, result.out.find('\n'));
  }

  /// zorvik-cli with `args` (UTF-8) on the account.
  CliResult cli(std::vector<std::string> args) const {
    args.insert(args.begin(), {"--settings", settings});
    return runCli(args, dir.path(), {"HOME=" + dir.path()});
  }
  /// The same, expected to succeed; what it printed.
  std::string ok(std::vector<std::string> args) const {
    const auto result = cli(args);
    EXPECT_EQ(result.exitCode, 0) << args[0] << ": " << result.err;
    return result.out;
  }

  ScratchDir dir;
  std::string settings;  // the settings file init wrote
};

}  // namespace zorvik::test
