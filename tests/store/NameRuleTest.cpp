#include <gtest/gtest.h>

#include "core/Messages.h"
#include "platform/TextEncoding.h"
#include "store/TrayNameRule.h"
#include "support/RecordingReporter.h"

namespace zorvik::store {
namespace {

using core::MessageNumber;

TEST(NameRule, EachForbiddenCharacterIsRefusedWherever_ItStands) {
  for (const char c : forbiddenNameCharacters()) {
    const std::string bad(1, c);
    EXPECT_EQ(checkName(bad), NameProblem::ForbiddenCharacter) << bad;
    EXPECT_EQ(checkName("a" + bad), NameProblem::ForbiddenCharacter) << bad;
    EXPECT_EQ(checkName(bad + "a"), NameProblem::ForbiddenCharacter) << bad;
    EXPECT_EQ(checkName(platform::utf8ToSjis("受信") + bad + "x"), NameProblem::ForbiddenCharacter) << bad;
  }
  EXPECT_EQ(forbiddenNameCharacters(), "\\/:,;*?\"<>|");
}

TEST(NameRule, DoubleByteCharactersEndingInABackslashByteAreLegal) {
  // "表" is 0x95 0x5C and "ソ" 0x83 0x5C; "ポ" is 0x83 0x7C ('|' as trail byte).
  const std::string table = platform::utf8ToSjis("表");
  ASSERT_EQ(table, "\x95\x5C");
  EXPECT_EQ(checkName(table), NameProblem::None);
  EXPECT_EQ(checkName(platform::utf8ToSjis("ソフト表ポ")), NameProblem::None);
  // A backslash right after such a character is still a backslash.
  EXPECT_EQ(checkName(table + "\\"), NameProblem::ForbiddenCharacter);
}

TEST(NameRule, EmptyDotAndDotDotAreRefused_DotNamesAreNot) {
  EXPECT_EQ(checkName(""), NameProblem::Empty);
  EXPECT_EQ(checkName("."), NameProblem::Reserved);
  EXPECT_EQ(checkName(".."), NameProblem::Reserved);
  EXPECT_EQ(checkName(".Default"), NameProblem::None);
  EXPECT_EQ(checkName("..."), NameProblem::None);
  EXPECT_EQ(checkName("a b"), NameProblem::None);
}

TEST(NameRule, ControlCharactersWouldSplitStoredNamesAndAreRefused) {
  for (const char* bad : {"a\rb", "\n", "tab\there", "\x7f"})
    EXPECT_EQ(checkName(bad), NameProblem::ForbiddenCharacter) << bad;
  EXPECT_EQ(checkName(std::string("a\0b", 3)), NameProblem::ForbiddenCharacter);
  EXPECT_FALSE(isStoreRelativePath("\rp/u", false));
}

TEST(NameRule, AcceptNameShowsTheForbiddenSetOrTheEmptyMessage) {
  test::RecordingReporter reporter;
  core::Messages messages(reporter);
  EXPECT_TRUE(acceptName("ok", messages, MessageNumber::TreeNameEmpty));
  EXPECT_TRUE(reporter.boxes().empty());

  EXPECT_FALSE(acceptName("a:b", messages, MessageNumber::TreeNameEmpty));
  auto boxes = reporter.boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].caption.find("No.204"), std::string::npos);
  EXPECT_NE(boxes[0].text.find("\\/:,;*?\"<>|"), std::string::npos);

  EXPECT_FALSE(acceptName("", messages, MessageNumber::ListNameEmpty));
  boxes = reporter.boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_NE(boxes[1].caption.find("No.301"), std::string::npos);
}

TEST(NameRule, StoreRelativePathsStayInsideTheStore) {
  EXPECT_TRUE(isStoreRelativePath("A", false));
  EXPECT_TRUE(isStoreRelativePath("A/B/.Default", false));
  EXPECT_TRUE(isStoreRelativePath(platform::utf8ToSjis("表/ソ"), false));
  EXPECT_TRUE(isStoreRelativePath("", true));
  EXPECT_FALSE(isStoreRelativePath("", false));
  EXPECT_FALSE(isStoreRelativePath("/etc", false));
  EXPECT_FALSE(isStoreRelativePath("..", true));
  EXPECT_FALSE(isStoreRelativePath("A/../../x", false));
  EXPECT_FALSE(isStoreRelativePath("A/./x", false));
  EXPECT_FALSE(isStoreRelativePath("A//x", false));
  EXPECT_FALSE(isStoreRelativePath("A/", false));
  EXPECT_FALSE(isStoreRelativePath("A\\..\\x", false));
  EXPECT_FALSE(isStoreRelativePath("C:x", false));
}

}  // namespace
}  // namespace zorvik::store
