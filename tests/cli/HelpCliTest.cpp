// zorvik-cli help: every command explains itself with an example.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/CliRunner.h"

namespace zorvik {
namespace {

TEST(HelpCli, EveryCommandHasItsWordsAndAnExample) {
  const auto listed = test::runCli({"help"});
  ASSERT_EQ(listed.exitCode, 0) << listed.err;
  std::istringstream lines(listed.out);
  std::vector<std::string> commands;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("  ", 0) == 0 && line[2] != ' ') commands.push_back(line.substr(2, line.find(' ', 2) - 2));
  }
  ASSERT_GT(commands.size(), 30u);
  EXPECT_EQ(listed.out.find("\n      \n"), std::string::npos) << "a help of one sentence is shown too";
  for (const std::string& command : commands) {
    SCOPED_TRACE(command);
    const auto one = test::runCli({"help", command});
    EXPECT_EQ(one.exitCode, 0);
    EXPECT_NE(one.out.find("usage: zorvik-cli"), std::string::npos);
    EXPECT_NE(one.out.find("example:\n  zorvik-cli"), std::string::npos) << one.out;
  }
  EXPECT_EQ(test::runCli({"help", "no-such-command"}).exitCode, 2);
}

}  // namespace
}  // namespace zorvik
