#include "platform/DesktopLauncher.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "support/TestEnvironment.h"

namespace zorvik::platform {
namespace {

TEST(DesktopLauncher, PathsAreQuotedSoTheyStayLiteral) {
  const std::string text = desktopLauncherText("a", "/opt/my zorvik/zorvik", "/h/\"x\" $y `z` 100% \\w.xm9");
  EXPECT_NE(text.find("Exec=\"/opt/my zorvik/zorvik\" \"/h/\\\\\"x\\\\\" \\\\$y \\\\`z\\\\` 100%% \\\\\\\\w.xm9\"\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("Name=Zorvik(a)\n"), std::string::npos);
}

TEST(DesktopLauncher, DesktopFolderComesFromTheUserDirsFile) {
  const test::ScratchDir home;
  const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
  const char* savedConfig = std::getenv("XDG_CONFIG_HOME");
  const std::string keptConfig = savedConfig ? savedConfig : "";
  ::setenv("HOME", home.path().c_str(), 1);
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(desktopDirectory(), home.file("Desktop"));
  makeDirectories(home.file(".config"));
  writeFileAtomically(home.file(".config/user-dirs.dirs"),
                      "# comment\nXDG_DOWNLOAD_DIR=\"$HOME/dl\"\nXDG_DESKTOP_DIR=\"$HOME/デスク\"\n");
  EXPECT_EQ(desktopDirectory(), home.file(utf8ToSjis("デスク")));
  ::setenv("HOME", savedHome.c_str(), 1);
  if (savedConfig) ::setenv("XDG_CONFIG_HOME", keptConfig.c_str(), 1);
}

}  // namespace
}  // namespace zorvik::platform
