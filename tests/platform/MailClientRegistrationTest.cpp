// Registering the client as the desktop's mail program: the entry written,
// left alone when it exists, removed when the switch is off.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/FileSystem.h"
#include "platform/MailClientRegistration.h"
#include "support/TestEnvironment.h"

namespace zorvik::platform {
namespace {

TEST(MailClientRegistration, WritesKeepsAndRemovesTheEntry) {
  test::ScratchDir scratch;
  // xdg-mime, when installed, writes below the config folder: keep it in the scratch folder.
  ::setenv("XDG_DATA_HOME", scratch.file("data").c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", scratch.file("config").c_str(), 1);
  const std::string path = MailClientRegistration::entryPath("taro");
  EXPECT_EQ(path, scratch.file("data/applications/zorvik-taro.desktop"));

  ASSERT_TRUE(MailClientRegistration::apply(true, "taro", "/opt/zorvik/zorvik", "/home/taro/my mail/taro.xm9"));
  EXPECT_EQ(*readFile(path),
            "[Desktop Entry]\nType=Application\nVersion=1.0\nName=Zorvik (taro)\n"
            "Exec=\"/opt/zorvik/zorvik\" \"/home/taro/my mail/taro.xm9\" %u\n"
            "MimeType=x-scheme-handler/mailto;\nTerminal=false\nNoDisplay=true\n");
  writeFileAtomically(path, "edited by the user");
  ASSERT_TRUE(MailClientRegistration::apply(true, "taro", "/opt/zorvik/zorvik", "/x.xm9"));
  EXPECT_EQ(*readFile(path), "edited by the user");
  ASSERT_TRUE(MailClientRegistration::apply(false, "taro", "", ""));
  EXPECT_FALSE(pathExists(path));
  EXPECT_TRUE(MailClientRegistration::apply(false, "taro", "", ""));  // nothing to remove
  ::unsetenv("XDG_DATA_HOME");
  ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace zorvik::platform
