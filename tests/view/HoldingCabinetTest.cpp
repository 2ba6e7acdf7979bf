// Cut, copy and paste through the holding cabinets, on a real store.
#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "store/TreeListing.h"
#include "view/HoldingCabinet.h"
#include "ViewStore.h"

namespace zorvik::view {
namespace {

class HoldingCabinetTest : public ViewStore {
protected:
  HoldingCabinetTest() : holding(store(), settings, messages, 9) {
    builder.createTray(settings.text(core::item::kTrashTray));
    platform::makeDirectory(store().topCabinetPath() + "/A");
    platform::makeDirectory(store().topCabinetPath() + "/B");
  }
  int live(const std::string& tray) const { return static_cast<int>(builder.tray(tray).count(false).value_or(0)); }

  HoldingCabinet holding;
};

TEST_F(HoldingCabinetTest, MailsCutAndCopiedThenPasted) {
  const auto from = builder.createTray("A/in");
  builder.createTray("B/out");
  for (int i = 0; i < 4; ++i) append(from, {"n", "m" + std::to_string(i)});
  EXPECT_FALSE(holding.filled());

  ASSERT_TRUE(holding.holdMails("A/in", {0}, true));
  ASSERT_TRUE(holding.holdMails("A/in", {1}, true));  // a second cut adds to the first
  EXPECT_EQ(live("A/in"), 2);
  EXPECT_TRUE(holding.holdsMails());
  ASSERT_TRUE(holding.holdMails("A/in", {2}, false));
  ASSERT_TRUE(holding.holdMails("A/in", {3}, false));  // a new copy replaces the old one
  EXPECT_EQ(live("A/in"), 2);

  EXPECT_EQ(holding.pasteMails("B/out"), 3U);
  EXPECT_EQ(live("B/out"), 3);
  EXPECT_FALSE(holding.filled());
  EXPECT_EQ(holding.pasteMails("B/out"), 0U);
}

TEST_F(HoldingCabinetTest, TraysAndCabinetsCutCopiedAndPasted) {
  const auto work = builder.createTray("A/work");
  append(work, {"n", "w"});
  platform::makeDirectory(store().topCabinetPath() + "/A/sub");
  append(builder.createTray("A/sub/deep"), {"n", "d"});

  ASSERT_TRUE(holding.holdNode("A/work", true));
  EXPECT_FALSE(builder.tray("A/work").exists());
  EXPECT_TRUE(holding.holdsNodes());
  ASSERT_TRUE(holding.holdNode("A/sub", false));
  EXPECT_EQ(live("A/sub/deep"), 1);  // the original stays
  EXPECT_EQ(holding.pasteNodes("B"), 2U);
  EXPECT_EQ(live("B/work"), 1);
  EXPECT_EQ(live("B/sub/deep"), 1);
  EXPECT_FALSE(holding.filled());

  // System trays and the top cabinet stay where the settings name them.
  EXPECT_FALSE(holding.holdNode(settings.text(core::item::kTrashTray), true));
  EXPECT_FALSE(holding.holdNode("", true));

  // A name taken at the target: the item stays held (40240) and comes back later.
  builder.createTray("A/work");
  ASSERT_TRUE(holding.holdNode("A/work", true));
  EXPECT_EQ(holding.pasteNodes("B"), 0U);
  EXPECT_TRUE(holding.holdsNodes());
  EXPECT_EQ(holding.pasteNodes("A"), 1U);
  EXPECT_TRUE(builder.tray("A/work").exists());
}

}  // namespace
}  // namespace zorvik::view
