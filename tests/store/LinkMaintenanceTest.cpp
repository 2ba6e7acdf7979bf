#include "store/LinkMaintenance.h"

#include <thread>

#include "OperationFixture.h"
#include "store/MailOperations.h"
#include "store/TrayIndex.h"
#include "store/TreeOperations.h"

namespace zorvik::store {
namespace {

class LinkMaintenanceTest : public OperationFixture {
protected:
  LinkMaintenanceTest() {
    for (int i = 0; i < 6; ++i) builder.append(source, "m" + std::to_string(i));
  }

  // The target of every live link row of `name`, as "tray:index:subject".
  std::vector<std::string> linkTargets(const std::string& name) const {
    std::vector<std::string> out;
    auto reader = tray(name).reader();
    TrayRecord row;
    for (ReadResult result; reader && (result = reader->next(row)) != ReadResult::End;) {
      if (!row.isLink() || row.record.isDeleted()) continue;
      out.push_back(row.linkTarget + ":" + std::to_string(row.linkIndex) + ":" +
                    (result == ReadResult::Live ? std::string(row.record.subject()) : "BROKEN"));
    }
    return out;
  }

  TrayFile source = builder.createTray("S");
  TrayFile holder = builder.createTray("L");
  MailOperations mails{store(), trash};
  LinkMaintenance links{store()};
};

TEST_F(LinkMaintenanceTest, CompactionMovesTheLinksOfMovedMails) {
  ASSERT_EQ(mails.link("S", 4, "L"), LinkResult::Done);
  ASSERT_EQ(mails.link("S", 5, "L"), LinkResult::Done);
  ASSERT_EQ(mails.link("S", 5, "S"), LinkResult::Done) << "a link inside the compacted tray itself";
  mails.remove("S", {1, 3}, true);
  ASSERT_TRUE(links.compact("S"));
  EXPECT_EQ(linkTargets("L"), (std::vector<std::string>{"S:2:m4", "S:3:m5"}));
  EXPECT_EQ(linkTargets("S"), std::vector<std::string>{"S:3:m5"});
  EXPECT_EQ(references("S", 3), 2);
}

TEST_F(LinkMaintenanceTest, CabinetRenameRewritesLinksEverywhereAndOnlyBelowIt) {
  TreeOperations tree(store(), settings, messages);
  ASSERT_TRUE(tree.createCabinet("A"));
  ASSERT_TRUE(tree.createCabinet("AB"));
  ASSERT_TRUE(tree.createTray("A/T"));
  ASSERT_TRUE(tree.createTray("AB/T"));
  builder.append(tray("A/T"), "in A");
  builder.append(tray("AB/T"), "in AB");
  ASSERT_TRUE(platform::makeDirectory(topPath(".Xcut")));
  builder.createTray(".Xcut/Held");
  ASSERT_EQ(mails.link("A/T", 0, "L"), LinkResult::Done);
  ASSERT_EQ(mails.link("AB/T", 0, "L"), LinkResult::Done);
  ASSERT_EQ(mails.link("A/T", 0, ".Xcut/Held"), LinkResult::Done);
  ASSERT_EQ(mails.link("A/T", 0, "A/T"), LinkResult::Done);
  ASSERT_TRUE(tree.rename("A", "Z"));
  EXPECT_EQ(linkTargets("L"), (std::vector<std::string>{"Z/T:0:in A", "AB/T:0:in AB"}));
  EXPECT_EQ(linkTargets(".Xcut/Held"), std::vector<std::string>{"Z/T:0:in A"});
  EXPECT_EQ(linkTargets("Z/T"), std::vector<std::string>{"Z/T:0:in A"});
}

TEST_F(LinkMaintenanceTest, LinksToAMailAreFoundAndReleased) {
  for (int i = 0; i < 3; ++i) ASSERT_EQ(mails.link("S", 2, "L"), LinkResult::Done);
  ASSERT_EQ(mails.link("S", 1, "L"), LinkResult::Done);
  EXPECT_EQ(links.linksTo({"S", 2}).size(), 3U);
  EXPECT_EQ(links.releaseLinksTo({"S", 2}), 3U);
  EXPECT_EQ(references("S", 2), 0);
  EXPECT_EQ(linkTargets("L"), std::vector<std::string>{"S:1:m1"});
}

TEST_F(LinkMaintenanceTest, RenameWaitsOutATrayHeldByAnotherOperation) {
  platform::FileLock::setRetry({5, std::chrono::milliseconds(20)});
  ASSERT_EQ(mails.link("S", 0, "L"), LinkResult::Done);
  TreeOperations tree(store(), settings, messages);
  std::thread holderThread;
  {
    auto held = TrayIndex::open(holder.path(filetype::kIndex), platform::FileAccess::Update);
    ASSERT_TRUE(held);
    // Longer than one round of lock retries: the rename must come back to it.
    holderThread = std::thread([index = std::move(*held)]() mutable {
      std::this_thread::sleep_for(std::chrono::milliseconds(250));
      (void)index;
    });
  }
  EXPECT_TRUE(tree.rename("S", "S2"));
  holderThread.join();
  EXPECT_TRUE(tree.missedTrays().empty());
  EXPECT_EQ(linkTargets("L"), std::vector<std::string>{"S2:0:m0"});
}

TEST_F(LinkMaintenanceTest, TargetRenamedWhileTheLinkingTrayIsCompacted) {
  platform::FileLock::setRetry({40, std::chrono::milliseconds(20)});
  std::vector<std::uint32_t> doomed;
  for (int i = 0; i < 3000; ++i) {
    const auto at = builder.append(holder, "filler" + std::to_string(i), 20);
    if (i % 2 == 0) doomed.push_back(at);
    if (i % 500 == 0) ASSERT_EQ(mails.link("S", static_cast<std::uint32_t>(i / 500), "L"), LinkResult::Done);
  }
  mails.remove("L", doomed, true);
  TreeOperations tree(store(), settings, messages);
  std::thread compaction([&] { EXPECT_TRUE(LinkMaintenance(store()).compact("L")); });
  EXPECT_TRUE(tree.rename("S", "S2"));
  compaction.join();
  EXPECT_TRUE(tree.missedTrays().empty());
  const auto targets = linkTargets("L");
  ASSERT_EQ(targets.size(), 6U);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(targets[static_cast<std::size_t>(i)], "S2:" + std::to_string(i) + ":m" + std::to_string(i));
  EXPECT_EQ(live("L"), 1500 + 6);
}

}  // namespace
}  // namespace zorvik::store
