// What the backup, import and export dialogs hand the store.
#include "view/TrayTransferForm.h"

#include <gtest/gtest.h>

#include "core/SettingsFile.h"
#include "core/SettingsItemTable.h"
#include "store/BackupPeriod.h"

namespace zorvik::view {
namespace {

constexpr std::time_t kNow = 1767225600 + 40 * 86400;  // 2026-02-10 00:00 UTC
constexpr int kZone = 9;

TEST(TrayTransferForm, ChoicesSurviveTheSettingsAndEachKindKeepsItsOwnItems) {
  core::SettingsFile settings;
  const TransferChoices defaults = TrayTransferForm::remembered(settings, TransferKind::Import);
  EXPECT_TRUE(defaults.sameTree) << "item 128 defaults to on";
  EXPECT_EQ(TrayTransferForm::remembered(settings, TransferKind::Backup).period, 1) << "item 133 defaults to 1";

  TransferChoices backup;
  backup.directory = "/mnt/backup";
  backup.period = 2;
  backup.focusedOnly = true;
  backup.deleteCopied = true;
  backup.compactAfter = true;
  TrayTransferForm::remember(settings, TransferKind::Backup, backup);
  TransferChoices exported;
  exported.directory = "/mnt/export";
  exported.period = 7;
  exported.sameTree = false;
  exported.removeSource = true;
  TrayTransferForm::remember(settings, TransferKind::Export, exported);

  const TransferChoices backupBack = TrayTransferForm::remembered(settings, TransferKind::Backup);
  EXPECT_EQ(backupBack.directory, "/mnt/backup");
  EXPECT_EQ(backupBack.period, 2);
  EXPECT_TRUE(backupBack.focusedOnly && backupBack.deleteCopied && backupBack.compactAfter);
  const TransferChoices exportBack = TrayTransferForm::remembered(settings, TransferKind::Export);
  EXPECT_EQ(exportBack.directory, "/mnt/export");
  EXPECT_EQ(exportBack.period, 7);
  EXPECT_FALSE(exportBack.sameTree);
  EXPECT_FALSE(exportBack.removeSource) << "removing is decided anew each time";
  EXPECT_EQ(settings.text(core::item::kImportFolder), "") << "import keeps its own folder";

  settings.setNumber(core::item::kMergePeriod, 99);
  EXPECT_EQ(TrayTransferForm::remembered(settings, TransferKind::Import).period, 0) << "an unknown period";
}

TEST(TrayTransferForm, OutsidePathsFollowTheSameTreeSwitchAndTheFocus) {
  struct Case {
    TransferKind kind;
    bool sameTree;
    bool focusedOnly;
    std::string outside;
    std::string inside;
  } const cases[] = {
      {TransferKind::Import, true, true, "/x/Top/work/ml", "work/ml"},
      {TransferKind::Import, true, false, "/x/Top", ""},
      {TransferKind::Import, false, true, "/x", "work/ml"},
      {TransferKind::Export, false, false, "/x", ""},
      {TransferKind::Backup, false, true, "/x/Top/work/ml", "work/ml"},  // a backup always has the store's shape
  };
  for (const Case& c : cases) {
    TransferChoices choices;
    choices.directory = "/x";
    choices.sameTree = c.sameTree;
    choices.focusedOnly = c.focusedOnly;
    SCOPED_TRACE(c.outside);
    EXPECT_EQ(TrayTransferForm::outsidePath(choices, c.kind, "Top", "work/ml"), c.outside);
    EXPECT_EQ(TrayTransferForm::storeSide(choices, "work/ml"), c.inside);
  }
}

TEST(TrayTransferForm, RequestsCarryTheLimitAndRefuseWhatCannotRunSafely) {
  TransferChoices choices;
  choices.directory = "relative/folder";
  EXPECT_FALSE(TrayTransferForm::runnable(choices, TransferKind::Backup)) << "a relative folder";
  EXPECT_FALSE(TrayTransferForm::backupRequest(choices, "", kNow, kZone).has_value());

  choices.directory = "/x";
  choices.period = TrayTransferForm::pickedDayChoice(TransferKind::Import);
  choices.pickedDay = "2026-02-30";
  EXPECT_FALSE(TrayTransferForm::runnable(choices, TransferKind::Import)) << "no such day";
  choices.pickedDay = "2026-02-01";
  const auto merge = TrayTransferForm::mergeRequest(choices, "Top", "inbox", kNow, kZone);
  ASSERT_TRUE(merge.has_value());
  EXPECT_EQ(merge->limit.notBefore, store::BackupPeriod::parseDay("2026-02-01", kZone));
  EXPECT_EQ(merge->inside, "") << "not focused: the whole store";

  choices.period = store::BackupPeriod::kBackupAll;
  choices.deleteCopied = false;
  choices.compactAfter = true;
  choices.focusedOnly = true;
  const auto backup = TrayTransferForm::backupRequest(choices, "inbox", kNow, kZone);
  ASSERT_TRUE(backup.has_value());
  EXPECT_FALSE(backup->limit.notAfter.has_value());
  EXPECT_TRUE(backup->focusedOnly);
  EXPECT_FALSE(backup->compactAfter) << "compacting goes only with deleting";

  choices.removeSource = true;
  choices.focusedOnly = false;
  choices.period = store::BackupPeriod::kMergeAll;
  const auto whole = TrayTransferForm::exportRequest(choices, "Top", "inbox", kNow, kZone);
  ASSERT_TRUE(whole.has_value());
  EXPECT_FALSE(whole->removeSource) << "never the whole store";
  choices.focusedOnly = true;
  EXPECT_TRUE(TrayTransferForm::exportRequest(choices, "Top", "inbox", kNow, kZone)->removeSource);
}

}  // namespace
}  // namespace zorvik::view
