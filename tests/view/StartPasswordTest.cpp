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

// The scrypt form is checked against a value Python's hashlib computed, and
// the older MD5 form written by earlier versions must still let its user in.
TEST(StartPassword, OnlyThePasswordMatchesItsStoredFormInEitherFormat) {
  const std::string current = StartPassword::stored("hiraken", "salt");
  EXPECT_EQ(current,
            "$scrypt$ln=15,r=8,p=1$73616c74$57f46c2567b12be0d9d5f27486426e6633acef8c2721a9ff93505868861555c9");
  const std::string legacy = "73616c74:db095234093ea21dabe93965f26523b7";
  const struct {
    const std::string& stored;
    bool isCurrent;
  } forms[] = {{current, true}, {legacy, false}};
  for (const auto& form : forms) {
    EXPECT_EQ(StartPassword::isCurrent(form.stored), form.isCurrent) << form.stored;
    EXPECT_TRUE(StartPassword::matches(form.stored, "hiraken")) << form.stored;
    for (const char* wrong : {"", "Hiraken", "hiraken ", "hirake"})
      EXPECT_FALSE(StartPassword::matches(form.stored, wrong)) << form.stored << " / " << wrong;
  }
  EXPECT_NE(StartPassword::stored("hiraken", "other"), current) << "the salt changes the hash";
  EXPECT_NE(StartPassword::freshSalt(), StartPassword::freshSalt());
  EXPECT_TRUE(StartPassword::matches("", "anything")) << "none set";
  for (const char* broken : {"garbage", "$scrypt$ln=15,r=8,p=1$73616c74", "$scrypt$ln=15,r=8,p=1$73616c74$"})
    EXPECT_FALSE(StartPassword::matches(broken, "garbage")) << broken;
}

}  // namespace
}  // namespace zorvik::view
