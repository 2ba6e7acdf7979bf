// Tool bar sequences the user arranged: stored without trailing
// separators, 20 entries at most, read back after a restart.
#include "view/ToolBarSequence.h"

#include <gtest/gtest.h>

#include "support/TestEnvironment.h"
#include "view/CommandId.h"

namespace zorvik::view {
namespace {

constexpr int kSep = ToolBarSequence::kSeparator;

const ToolBar& mailBar() {
  for (const ToolBar& bar : toolBars())
    if (bar.id == cmd::kMailBar) return bar;
  throw std::logic_error("no mail bar");
}

TEST(ToolBarSequence, TrailingSeparatorsAreDroppedAndTheSequenceSurvivesARestart) {
  test::ScratchDir dir;
  const std::string path = dir.file("registry.ini");
  const ToolBar& bar = mailBar();
  {
    LayoutStore store(path);
    EXPECT_FALSE(ToolBarSequence::load(store, bar).has_value()) << "nothing stored: the built-in sequence";
    EXPECT_EQ(ToolBarSequence::arranged(store, bar).buttons, bar.buttons);
    ToolBarSequence::save(store, bar, {3, kSep, 0, kSep, kSep});
    ASSERT_TRUE(store.save());
  }
  LayoutStore restarted(path);
  EXPECT_EQ(ToolBarSequence::load(restarted, bar), (std::vector<int>{3, kSep, 0}));
  EXPECT_EQ(restarted.number("CustTB", "VERSION", 0), ToolBarSequence::kVersion);
  const std::vector<int> full = ToolBarSequence::fullSet(bar);
  EXPECT_EQ(ToolBarSequence::arranged(restarted, bar).buttons, (std::vector<int>{full[3], 0, full[0]}));
  EXPECT_EQ(ToolBarSequence::commandsOf(bar, ToolBarSequence::builtIn(bar)), bar.buttons);
}

TEST(ToolBarSequence, ACountAbove20ReadsTwentyAndHighBitBytesAreSeparators) {
  test::ScratchDir dir;
  LayoutStore store(dir.file("registry.ini"));
  const ToolBar& bar = mailBar();
  const std::string section = ToolBarSequence::sectionOf(bar);
  store.setNumber(section, "TBNUM", 25);
  store.setText(section, "TBSEQ", "0001FE02" + std::string(32, '0') + "0303030303");
  const auto loaded = ToolBarSequence::load(store, bar);
  ASSERT_TRUE(loaded.has_value());
  EXPECT_EQ(loaded->size(), 20u);
  EXPECT_EQ((*loaded)[2], kSep);
  EXPECT_EQ(ToolBarSequence::normalized(std::vector<int>(25, 1)).size(), 20u);
  store.setText(section, "TBSEQ", "00637F");  // indices beyond the full set are passed over
  store.setNumber(section, "TBNUM", 3);
  EXPECT_EQ(ToolBarSequence::arranged(store, bar).buttons, std::vector<int>{ToolBarSequence::fullSet(bar)[0]});
}

}  // namespace
}  // namespace zorvik::view
