// The start-up password: when it is asked, and the stored digest.
#include "view/StartPassword.h"

#include <gtest/gtest.h>

#include "core/SettingsFile.h"
#include "core/SettingsItemTable.h"

namespace zorvik::view {
namespace {

TEST(StartPassword, AskedAtStartWithAnAreaAndOnRestoreOnlyWhenItSaysSo) {
  const struct {
    int area;
    int onRestore;
    bool atStart;
    bool restoring;
  } cases[] = {{-1, 1, false, false}, {0, 0, true, false}, {9, 1, true, true}, {3, 0, true, false}};
  for (const auto& each : cases) {
    core::SettingsFile settings;
    settings.setNumber(core::item::kStartPassword, each.area);
    settings.setNumber(core::item::kPasswordOnRestore, each.onRestore);
    EXPECT_EQ(StartPassword::asked(settings, false), each.atStart) << each.area;
    EXPECT_EQ(StartPassword::asked(settings, true), each.restoring) << each.area;
  }
}

TEST(StartPassword, OnlyThePasswordMatchesItsStoredFormWhichDoesNotHoldIt) {
  const std::string stored = StartPassword::stored("hiraken", "salt");
  EXPECT_EQ(stored.find("hiraken"), std::string::npos);
  EXPECT_TRUE(StartPassword::matches(stored, "hiraken"));
  for (const char* wrong : {"", "Hiraken", "hiraken ", "hirake"}) EXPECT_FALSE(StartPassword::matches(stored, wrong));
  EXPECT_NE(StartPassword::stored("hiraken", "other"), stored) << "the salt changes the digest";
  EXPECT_TRUE(StartPassword::matches("", "anything")) << "none set";
  EXPECT_FALSE(StartPassword::matches("garbage", "garbage"));
}

}  // namespace
}  // namespace zorvik::view
