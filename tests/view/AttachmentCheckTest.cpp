// The question before an attachment that could run code is opened.
#include "view/AttachmentCheck.h"

#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "support/TestEnvironment.h"

namespace zorvik::view {
namespace {

TEST(AttachmentCheck, AsksForScriptObjectAndAppletElementsAndDirectories) {
  const test::ScratchDir scratch;
  const std::string filler(32000 - 3, 'x');
  const struct {
    std::string content;
    bool asks;
  } cases[] = {
      {"<html><body>hello</body></html>", false},
      {"<html><Script>alert(1)</script>", true},
      {"<OBJECT data=x>", true},
      {"a <applet code=x>", true},
      {"<scrip", false},
      {"< script>", false},
      {filler + "<scRIPT>", true},  // the name runs over the end of the first block
      {filler + "xx<", false},
      {std::string(100000, '<'), false},
  };
  int n = 0;
  for (const auto& test : cases) {
    const std::string path = platform::utf8ToSjis(scratch.file("添付" + std::to_string(n++) + ".html"));
    ASSERT_TRUE(platform::writeFileAtomically(path, test.content));
    EXPECT_EQ(AttachmentCheck::needsQuestion(path), test.asks) << test.content.substr(0, 40);
  }
  EXPECT_TRUE(AttachmentCheck::needsQuestion(scratch.path())) << "a directory";
  EXPECT_FALSE(AttachmentCheck::needsQuestion(scratch.file("missing"))) << "unreadable passes";
}

}  // namespace
}  // namespace zorvik::view
