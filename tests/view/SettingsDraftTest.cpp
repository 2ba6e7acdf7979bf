// The environment sheet's pages over a settings file: every control's item
// goes into the file alone, an unchanged sheet writes nothing.
#include "view/SettingsDraft.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "core/ItemEntry.h"
#include "core/SettingsFile.h"
#include "core/SettingsItemTable.h"
#include "mailflow/Document.h"
#include "platform/FileSystem.h"
#include "support/RecordingReporter.h"
#include "support/TestEnvironment.h"
#include "view/EnvironmentPages.h"

namespace zorvik::view {
namespace {

namespace item = core::item;

std::vector<std::string> linesOf(const std::string& bytes) {
  std::vector<std::string> lines;
  std::istringstream in(bytes);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

/// A value `row` takes that differs from `current`.
std::string otherValue(const core::ItemRow& row, const std::string& current) {
  switch (row.kind) {
    case core::ItemKind::Switch: return current == "0" ? "1" : "0";
    case core::ItemKind::Colour: return current == "00123456" ? "00654321" : "00123456";
    case core::ItemKind::Integer:
      for (const std::string candidate : {std::to_string(std::stoi(current) + 1), std::to_string(std::stoi(current) - 1)}) {
        if (!core::valueProblem(row, candidate)) return candidate;
      }
      return current;
    default: return current == "zorvik" ? "kiroz" : "zorvik";
  }
}

class SettingsDraftTest : public ::testing::Test {
protected:
  void SetUp() override {
    core::SettingsFile initial;
    initial.setText(item::kStoreRoot, "store");  // relative: must stay so in the file
    initial.setText(item::kPopServer, "pop.example.jp");
    initial.setPlainPassword(item::kPopPassword, "secret");
    ASSERT_TRUE(initial.save(messages, path));
    original = platform::readFile(path).value_or("");
  }

  std::unique_ptr<mailflow::Document> open() {
    auto document = mailflow::Document::load(path, messages);
    EXPECT_NE(document, nullptr);
    return document;
  }

  test::ScratchDir dir;
  test::RecordingReporter reporter;
  core::Messages messages{reporter};
  std::string path = dir.file("taro.xm9");
  std::string original;
};

TEST_F(SettingsDraftTest, EveryControlOfEveryPageChangesItsOwnItemAndNothingElse) {
  std::set<int> seen;
  for (const SettingsPage& page : environmentPages()) {
    for (const int id : itemsOf(page)) {
      SCOPED_TRACE(id);
      EXPECT_TRUE(seen.insert(id).second) << "an item on two controls";
      const auto document = open();
      SettingsDraft draft(document->settings());
      const core::ItemRow& row = document->settings().table().rows()[*document->settings().table().indexOf(id)];
      const std::string value = otherValue(row, draft.text(id));
      draft.setText(id, value);
      ASSERT_TRUE(draft.confirm(*document, messages));

      const auto before = linesOf(original);
      const auto after = linesOf(platform::readFile(path).value_or(""));
      ASSERT_EQ(before.size(), after.size());
      int differing = 0;
      for (std::size_t i = 0; i < before.size(); ++i) differing += before[i] != after[i];
      EXPECT_EQ(differing, 1);
      EXPECT_EQ(SettingsDraft(*mailflow::Document::readSettings(path, messages)).text(id), value);
      EXPECT_EQ(SettingsDraft(document->settings()).text(id), value) << "the open document has it too";
      std::ofstream(path, std::ios::binary | std::ios::trunc) << original;
    }
  }
  EXPECT_TRUE(reporter.boxes().empty());
}

TEST_F(SettingsDraftTest, UnchangedOrRefusedSheetLeavesTheFileAsItWas) {
  const auto document = open();
  SettingsDraft same(document->settings());
  for (const SettingsPage& page : environmentPages()) {
    for (const int id : itemsOf(page)) same.setText(id, same.text(id));
  }
  EXPECT_TRUE(same.changedItems().empty());
  EXPECT_TRUE(same.confirm(*document, messages));
  EXPECT_EQ(platform::readFile(path).value_or(""), original);
  EXPECT_FALSE(platform::pathExists(core::backupNameOf(path))) << "not even saved over itself";

  SettingsDraft refused(document->settings());
  refused.setText(item::kPopServer, "pop.other.jp");
  refused.setText(item::kSmtpPort, "99999");
  EXPECT_FALSE(refused.confirm(*document, messages));
  ASSERT_EQ(reporter.boxes().size(), 1u);
  EXPECT_NE(reporter.boxes()[0].text.find("99999"), std::string::npos);
  EXPECT_EQ(platform::readFile(path).value_or(""), original);
  EXPECT_EQ(document->settings().text(item::kPopServer), "pop.example.jp");
}

TEST_F(SettingsDraftTest, SavedElsewhereTheNewFileBecomesTheDocumentsAndTheOldStays) {
  const auto document = open();
  SettingsDraft draft(document->settings());
  EXPECT_EQ(draft.text(item::kPopPassword), "secret") << "passwords are shown plain";
  draft.setText(item::kPopPassword, "himitsu");
  const std::string other = dir.file("hanako.xm9");
  ASSERT_TRUE(draft.confirm(*document, messages, other));
  EXPECT_EQ(platform::readFile(path).value_or(""), original);
  EXPECT_EQ(document->settings().fileName(), other);
  const auto moved = mailflow::Document::readSettings(other, messages);
  EXPECT_EQ(moved->plainPassword(item::kPopPassword), "himitsu");
  EXPECT_EQ(moved->text(item::kStoreRoot), "store");
}

}  // namespace
}  // namespace zorvik::view
