// The tray property sheet's change: into one tray, several trays or every
// tray of a cabinet, after the question, each tray keeping what did not
// change (its own switches among them).
#include "view/TrayPropertySheet.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/TextEncoding.h"
#include "store/TrayFlags.h"
#include "store/TrayInheritance.h"
#include "store/TrayPropertyTable.h"
#include "support/RecordingReporter.h"
#include "support/TrayBuilder.h"
#include "view/TrayPropertyPages.h"

namespace zorvik::view {
namespace {

namespace item = store::trayitem;
namespace flag = store::trayflag;

class TrayPropertySheetTest : public ::testing::Test {
protected:
  TrayPropertySheetTest() {
    std::filesystem::create_directories(trays.store().topCabinetPath() + "/work/old");
    for (const char* name : {"work/a", "work/b", "work/old/c", "home"}) trays.createTray(name);
    store::TrayProperties own = *trays.tray("work/b").properties();
    own.flags |= flag::kOneFilePerMail;  // b keeps its mails one per file
    own.description = "b's own";
    trays.tray("work/b").rewriteProperties(own);
  }

  store::TrayProperties of(const std::string& name) const { return *trays.tray(name).properties(); }

  /// A draft that switches "leave a link" on and sets the keyword.
  static void edit(SettingsDraft& draft) {
    draft.setNumber(item::kFlags, draft.number(item::kFlags) | static_cast<std::int32_t>(flag::kLeaveLink));
    draft.setText(item::kSortKeyword, "ML");
  }

  test::TrayBuilder trays;
  test::RecordingReporter yes{true};
  test::RecordingReporter no{false};
  core::Messages answeredYes{yes};
  core::Messages answeredNo{no};
};

TEST_F(TrayPropertySheetTest, ACabinetsChangeReachesEveryTrayBelowAndItsDefaultsAfterTheQuestion) {
  const TrayPropertySheet cabinet = TrayPropertySheet::forCabinet(trays.store(), "work");
  SettingsDraft draft(cabinet.values());
  edit(draft);

  EXPECT_FALSE(cabinet.apply(draft, answeredNo));
  EXPECT_EQ(of("work/a").sortKeyword, "") << "no: nothing changes";
  ASSERT_EQ(no.numbers(), std::vector<core::MessageNumber>{core::MessageNumber::ChangeCabinetTrayProperties});

  ASSERT_TRUE(cabinet.apply(draft, answeredYes));
  for (const char* name : {"work/a", "work/b", "work/old/c"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(of(name).sortKeyword, "ML");
    EXPECT_TRUE(of(name).flags & flag::kLeaveLink);
  }
  EXPECT_TRUE(of("work/b").flags & flag::kOneFilePerMail) << "b's own switch stays";
  EXPECT_EQ(of("work/b").description, "b's own") << "what did not change stays";
  EXPECT_EQ(of("home").sortKeyword, "") << "outside the cabinet";
  EXPECT_EQ(store::inheritedProperties(trays.store(), "work/old").sortKeyword, "ML") << "new trays inherit it";
}

TEST_F(TrayPropertySheetTest, SeveralTraysAreAskedForOneTrayIsNotAndAnUnchangedSheetWritesNothing) {
  const auto both = TrayPropertySheet::forTrays(trays.store(), {"work/b", "home"});
  ASSERT_TRUE(both.has_value());
  EXPECT_EQ(both->values().text(item::kDescription), "b's own") << "the first tray is shown";
  SettingsDraft draft(both->values());
  edit(draft);
  ASSERT_TRUE(both->apply(draft, answeredYes));
  EXPECT_EQ(yes.numbers(), std::vector<core::MessageNumber>{core::MessageNumber::ChangeSelectedTrayProperties});
  EXPECT_EQ(of("home").sortKeyword, "ML");
  EXPECT_FALSE(of("home").flags & flag::kOneFilePerMail) << "b's storage switch is not carried over";

  const auto one = TrayPropertySheet::forTrays(trays.store(), {"work/a"});
  const std::string before = test::TrayBuilder::bytes(trays.tray("work/a").path(store::filetype::kIndex));
  SettingsDraft unchanged(one->values());
  for (const SettingsPage& page : trayPropertyPages())
    for (const SettingsField& field : page.fields) unchanged.setText(field.id, unchanged.text(field.id));
  EXPECT_TRUE(one->apply(unchanged, answeredNo));
  EXPECT_EQ(test::TrayBuilder::bytes(trays.tray("work/a").path(store::filetype::kIndex)), before);
  SettingsDraft changed(one->values());
  changed.setText(item::kDescription, platform::utf8ToSjis("仕事用"));
  EXPECT_TRUE(one->apply(changed, answeredNo)) << "one tray: no question";
  EXPECT_EQ(of("work/a").description, platform::utf8ToSjis("仕事用"));
  EXPECT_EQ(yes.numbers().size(), 1u);
  EXPECT_TRUE(no.numbers().empty());
}

}  // namespace
}  // namespace zorvik::view
