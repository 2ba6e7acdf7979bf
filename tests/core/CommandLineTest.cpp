#include "core/CommandLine.h"

#include <gtest/gtest.h>

namespace zorvik::core {
namespace {

TEST(CommandLine, SwitchesInAnyCaseAndTheFile) {
  const auto line = CommandLine::parse({"-INIT", "--NoTip", "-noreg", "/home/taro/taro.xm9", "second"});
  EXPECT_TRUE(line.init);
  EXPECT_TRUE(line.notip);
  EXPECT_TRUE(line.noreg);
  EXPECT_FALSE(line.mailto);
  EXPECT_EQ(line.fileName, "/home/taro/taro.xm9") << "a leading slash is a full path, not a switch";
  EXPECT_EQ(line.unknown, std::vector<std::string>{"second"});
}

TEST(CommandLine, MailtoWithOrWithoutSwitchPrefix) {
  auto line = CommandLine::parse({"MailTo:taro@example.jp?subject=x"});
  EXPECT_TRUE(line.mailto);
  EXPECT_EQ(line.mailtoText, "taro@example.jp?subject=x");
  EXPECT_TRUE(line.fileName.empty());

  line = CommandLine::parse({"a.xm9", "-mailto:hanako@example.jp"});
  EXPECT_TRUE(line.mailto);
  EXPECT_EQ(line.mailtoText, "hanako@example.jp");
  EXPECT_EQ(line.fileName, "a.xm9");

  EXPECT_FALSE(CommandLine::parse({"mailto"}).mailto);
}

TEST(CommandLine, ChdirChangesNothing) {
  const auto with = CommandLine::parse({"-chdir", "a.xm9"});
  const auto without = CommandLine::parse({"a.xm9"});
  EXPECT_EQ(with.chdir, without.chdir);
  EXPECT_EQ(with.fileName, without.fileName);
  EXPECT_TRUE(with.unknown.empty());
}

}  // namespace
}  // namespace zorvik::core
