#include <gtest/gtest.h>

#include "core/SettingsFile.h"
#include "core/SettingsItemTable.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "store/IndexHead.h"
#include "store/StoreLayout.h"
#include "store/SystemTrays.h"
#include "store/TrayFile.h"
#include "store/TrayInheritance.h"
#include "store/TrayPropertyTable.h"
#include "store/TreeListing.h"
#include "support/TestEnvironment.h"

namespace zorvik::store {
namespace {

class StoreLayoutTest : public ::testing::Test {
protected:
  StoreLayoutTest() { settings.setText(core::item::kStoreRoot, scratch.file("store")); }

  StoreLocation store() const { return StoreLocation::fromSettings(settings); }
  std::string top() const { return store().topCabinetPath(); }
  std::string inTop(const std::string& name) const { return platform::joinPath(top(), name); }
  TrayFile tray(const std::string& utf8Name) const { return TrayFile(store(), platform::utf8ToSjis(utf8Name)); }

  test::ScratchDir scratch;
  core::SettingsFile settings;
};

TEST_F(StoreLayoutTest, NewStoreHasFoldersAndSevenSystemTraysOfHeadLengthOnly) {
  ASSERT_TRUE(createStore(settings));
  for (const char* folder : {".tmp", ".tmp/ed", ".inc", ".Xcut", ".Xcopy"})
    EXPECT_TRUE(platform::isDirectory(inTop(folder))) << folder;

  for (const SystemTray& system : systemTrays()) {
    const TrayFile file(store(), settings.text(system.settingsItem));
    const auto index = platform::readFile(file.path(filetype::kIndex));
    ASSERT_TRUE(index) << system.settingsItem;
    ASSERT_GE(index->size(), 8u);
    EXPECT_EQ(IndexHead::readWord(*index, 0), index->size()) << "only the head, no record";
    EXPECT_EQ(index->substr(4, 4), std::string("\x07\x10\x00\x01", 4));
    EXPECT_EQ(platform::fileSize(file.path(filetype::kText)), 0u);
    EXPECT_EQ(file.properties(), systemTrayProperties(system.kind));
  }
  EXPECT_EQ(tray("ごみ箱").properties()->flags, 0x00110008u);
  EXPECT_EQ(tray("新着受信").properties()->flags, 0x00010008u);
}

TEST_F(StoreLayoutTest, CheckRecreatesOnlyWhatIsMissing) {
  ASSERT_TRUE(createStore(settings));
  TrayProperties changed = *tray("送信済み").properties();
  changed.description = "mine";
  ASSERT_TRUE(tray("送信済み").rewriteProperties(changed));
  ASSERT_TRUE(platform::removeFile(tray("未送信").path(filetype::kIndex)));
  ASSERT_TRUE(platform::removeTree(inTop(".Xcut")));

  ASSERT_TRUE(checkTrays(settings));
  EXPECT_TRUE(tray("未送信").exists());
  EXPECT_TRUE(platform::isDirectory(inTop(".Xcut")));
  EXPECT_EQ(tray("送信済み").properties()->description, "mine");
}

TEST_F(StoreLayoutTest, RenamedNewMailItemGetsAFreshNewMailTray) {
  ASSERT_TRUE(createStore(settings));
  settings.setText(core::item::kNewMailTray, "Inbox");
  ASSERT_TRUE(checkTrays(settings));
  const auto properties = TrayFile(store(), "Inbox").properties();
  ASSERT_TRUE(properties);
  EXPECT_EQ(properties->description, platform::utf8ToSjis("受信したばかりの未整理メール"));
  EXPECT_EQ(properties->flags, 0x00010008u);
}

TEST_F(StoreLayoutTest, SkipSettingLeavesMissingTraysMissing) {
  ASSERT_TRUE(createStore(settings));
  ASSERT_TRUE(platform::removeFile(tray("ごみ箱").path(filetype::kIndex)));
  settings.setNumber(core::item::kSkipTrayCheck, 1);
  EXPECT_TRUE(checkTrays(settings));
  EXPECT_FALSE(tray("ごみ箱").exists());
  EXPECT_FALSE(platform::pathExists(tray("ごみ箱").path(filetype::kIndex)));
}

TEST_F(StoreLayoutTest, WorkFolderSettingMovesTheWorkFolders) {
  settings.setText(core::item::kWorkFolder, scratch.file("work"));
  ASSERT_TRUE(createStore(settings));
  EXPECT_TRUE(platform::isDirectory(scratch.file("work/ed")));
  EXPECT_FALSE(platform::pathExists(inTop(".tmp")));
  EXPECT_EQ(workDirectoryPath(settings), scratch.file("work"));
}

TEST_F(StoreLayoutTest, UnreadableIndexIsNeitherRecreatedNorEmptied) {
  ASSERT_TRUE(createStore(settings));
  const TrayFile newMail = tray("新着受信");
  ASSERT_TRUE(platform::writeFileAtomically(newMail.path(filetype::kIndex), "garbage!"));
  ASSERT_TRUE(platform::writeFileAtomically(newMail.path(filetype::kText), "From \r\nmail text\r\n"));
  EXPECT_FALSE(checkTrays(settings));
  EXPECT_EQ(platform::readFile(newMail.path(filetype::kText)), "From \r\nmail text\r\n");
}

TEST_F(StoreLayoutTest, StoreOutsideItsRootIsRefused) {
  settings.setText(core::item::kTopCabinet, "..");
  EXPECT_FALSE(createStore(settings));
  EXPECT_FALSE(platform::pathExists(scratch.file(".tmp")));

  settings.setText(core::item::kTopCabinet, "top");
  settings.setText(core::item::kTrashTray, "../../escaped");
  EXPECT_FALSE(createStore(settings));
  EXPECT_FALSE(platform::pathExists(scratch.file("escaped.XM1")));
  EXPECT_FALSE(platform::pathExists(scratch.file("store/escaped.XM1")));

  core::SettingsFile rootless;
  EXPECT_FALSE(createStore(rootless)) << "an empty store root would put the store at /";
}

TEST_F(StoreLayoutTest, StoreRootLevelsAreCreated) {
  settings.setText(core::item::kStoreRoot, scratch.file("a/b/c"));
  ASSERT_TRUE(createStore(settings));
  EXPECT_TRUE(tray("新着受信").exists());
}

TEST_F(StoreLayoutTest, ListingHidesDotNamesAndNamesFullPaths) {
  ASSERT_TRUE(createStore(settings));
  ASSERT_TRUE(platform::makeDirectories(inTop("B/C")));
  ASSERT_TRUE(TrayFile(store(), "B/.Default").create(defaultTrayProperties()));
  ASSERT_TRUE(TrayFile(store(), "B/t").create(defaultTrayProperties()));
  ASSERT_TRUE(platform::writeFileAtomically(inTop("B/notes.txt"), "x"));
  std::vector<std::string> seen;
  walkTree(store(), "B", [&](const TreeEntry& entry) { seen.push_back(entry.path + (entry.isCabinet ? "/" : "")); });
  EXPECT_EQ(seen, (std::vector<std::string>{"B/C/", "B/t"}));

  EXPECT_EQ(nameInStore(store(), inTop("B/t")), "B/t");
  EXPECT_EQ(nameInStore(store(), top()), "");
  EXPECT_FALSE(nameInStore(store(), top() + "X/t"));
  EXPECT_FALSE(nameInStore(store(), scratch.file("elsewhere")));
}

class InheritanceTest : public StoreLayoutTest {
protected:
  void SetUp() override {
    ASSERT_TRUE(createStore(settings));
    ASSERT_TRUE(platform::makeDirectories(inTop("A/B")));
  }
  void makeDefault(const std::string& cabinet, const std::string& keyword) {
    TrayProperties properties = defaultTrayProperties();
    properties.sortKeyword = keyword;
    properties.description = "the .Default tray itself";
    ASSERT_TRUE(TrayFile(store(), defaultTrayOf(cabinet)).create(properties));
  }
};

TEST_F(InheritanceTest, NearestDefaultWinsAndDescriptionStartsEmpty) {
  EXPECT_EQ(inheritedProperties(store(), "A/B"), defaultTrayProperties());
  makeDefault("", "top");
  EXPECT_EQ(inheritedProperties(store(), "A/B").sortKeyword, "top");
  makeDefault("A", "a");
  EXPECT_EQ(inheritedProperties(store(), "A/B").sortKeyword, "a");
  makeDefault("A/B", "b");
  const TrayProperties inherited = inheritedProperties(store(), "A/B");
  EXPECT_EQ(inherited.sortKeyword, "b");
  EXPECT_EQ(inherited.description, "");
  EXPECT_EQ(inheritedProperties(store(), "A").sortKeyword, "a");
  EXPECT_EQ(inheritedProperties(store(), "").sortKeyword, "top");
}

TEST_F(InheritanceTest, DamagedDefaultIsPassedOver) {
  makeDefault("A", "a");
  ASSERT_TRUE(platform::writeFileAtomically(inTop("A/B/.Default.XM1"), "xx"));
  EXPECT_EQ(inheritedProperties(store(), "A/B").sortKeyword, "a");
}

TEST_F(InheritanceTest, FullPathCabinetsLookUpToTheRoot) {
  makeDefault("A", "a");
  EXPECT_EQ(inheritedProperties(store(), inTop("A/B")).sortKeyword, "a");
}

}  // namespace
}  // namespace zorvik::store
