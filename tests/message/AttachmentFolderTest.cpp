#include "message/AttachmentFolder.h"

#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "support/TestEnvironment.h"

namespace zorvik::message {
namespace {

constexpr std::time_t k20020305Jst = 1015291230;  // 2002-03-05 10:20:30 JST
constexpr std::time_t k20261207Jst = 1796603405;  // 2026-12-07 09:30:05 JST

TEST(AttachmentFolder, NamesFromTheLocalDate) {
  EXPECT_EQ(AttachmentFolder::nameFor(k20020305Jst, 9, 0), "1020305.000");
  EXPECT_EQ(AttachmentFolder::nameFor(k20261207Jst, 9, 12), "1261207.012");
  EXPECT_EQ(AttachmentFolder::nameFor(k20261207Jst - 10 * 3600, 9, 0), "1261206.000")
      << "the day is the user's day, not UTC's";
  EXPECT_EQ(AttachmentFolder::nameFor(0, 0, 0), "700101.000");
}

TEST(AttachmentFolder, SameDayMailsGetTheNextNumber) {
  test::ScratchDir scratch;
  const std::string root = scratch.file("Top/.inc");
  EXPECT_EQ(AttachmentFolder::create(root, k20261207Jst, 9), "1261207.000") << "the root is created";
  EXPECT_EQ(AttachmentFolder::create(root, k20261207Jst + 60, 9), "1261207.001");
  EXPECT_EQ(AttachmentFolder::create(root, k20020305Jst, 9), "1020305.000");
  EXPECT_TRUE(platform::isDirectory(root + "/1261207.001"));
  // A file of a folder's name blocks that name too.
  ASSERT_TRUE(platform::writeFileAtomically(root + "/1261207.002", "x"));
  EXPECT_EQ(AttachmentFolder::create(root, k20261207Jst, 9), "1261207.003");
}

TEST(AttachmentFolder, UnusableRoot) {
  test::ScratchDir scratch;
  ASSERT_TRUE(platform::writeFileAtomically(scratch.file("file"), "x"));
  EXPECT_FALSE(AttachmentFolder::create(scratch.file("file"), k20261207Jst, 9));
  EXPECT_FALSE(AttachmentFolder::create(scratch.file("file/below"), k20261207Jst, 9));
}

TEST(AttachmentFolder, References) {
  const std::string root = "/store/Top/.inc";
  EXPECT_EQ(AttachmentFolder::resolve("%:photo.jpg", root, "1261207.000", "id@x"),
            "/store/Top/.inc/1261207.000/photo.jpg");
  EXPECT_EQ(AttachmentFolder::resolve("%:\\photo.jpg", root, "1261207.000", ""),
            "/store/Top/.inc/1261207.000/photo.jpg")
      << "a reference written with a separator after the mark";
  EXPECT_EQ(AttachmentFolder::resolve("%:a.txt", root, "", "1020305.xyz@host"), "/store/Top/.inc/1020305.xyz@host/a.txt")
      << "without folder name the Message-Id names the folder";
  EXPECT_EQ(AttachmentFolder::resolve("/home/me/file.txt", root, "f", ""), "/home/me/file.txt");
  // "表" is 0x95 0x5C: its second byte is a backslash, which must not make
  // the name look like a path.
  const std::string hyo = "\x95\\";
  EXPECT_EQ(AttachmentFolder::resolve("%:" + hyo + ".txt", root, "f", ""), "/store/Top/.inc/f/" + hyo + ".txt");
  // A reference typed into a mail's text must not reach other files.
  EXPECT_FALSE(AttachmentFolder::resolve("%:../../../home/me/.bashrc", root, "f", ""));
  EXPECT_FALSE(AttachmentFolder::resolve("%:..", root, "f", ""));
  EXPECT_FALSE(AttachmentFolder::resolve("%:", root, "f", ""));
  EXPECT_FALSE(AttachmentFolder::resolve("%:a.txt", root, "..", ""));
  EXPECT_FALSE(AttachmentFolder::resolve("%:a.txt", root, "", "a/b@x"));
}

}  // namespace
}  // namespace zorvik::message
