// Thread building: parents found among the rows already visited, replies
// listed before their parents waiting at the root, and keys that must not
// make loops.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "view/ThreadOrder.h"

namespace zorvik::view {
namespace {

store::ThreadKey key(std::uint16_t n) { return n == 0 ? store::ThreadKey{} : store::ThreadKey{n, 1, n, 2}; }

// "row:depth" for each place, e.g. "0:0 2:1".
std::string shape(const std::vector<ThreadKeys>& rows) {
  std::string out;
  for (const ThreadPlace& place : threadOrder(rows)) {
    if (!out.empty()) out += ' ';
    out += std::to_string(place.row) + ":" + std::to_string(place.depth);
  }
  return out;
}

TEST(ThreadOrder, Shapes) {
  struct Case {
    const char* name;
    std::vector<ThreadKeys> rows;  // {own, parent}
    const char* shape;
  };
  const std::vector<Case> cases = {
      {"empty tray", {}, ""},
      {"parent then replies", {{key(1), key(0)}, {key(2), key(1)}, {key(3), key(2)}, {key(4), key(1)}},
       "0:0 1:1 2:2 3:1"},
      {"reply before parent", {{key(2), key(1)}, {key(1), key(0)}}, "1:0 0:1"},
      // Two replies before their parent: only the first found moves under it.
      {"two replies before parent", {{key(2), key(1)}, {key(3), key(1)}, {key(1), key(0)}}, "1:0 2:0 0:1"},
      // A reply to a mail not in the tray stays at the root.
      {"parent missing", {{key(5), key(9)}, {key(6), key(0)}}, "0:0 1:0"},
      // No Message-Id: a zero own key never becomes a parent.
      {"zero own key", {{key(0), key(0)}, {key(7), key(0)}}, "0:0 1:0"},
      // Two mails with the same Message-Id: the first visited is the parent.
      {"duplicate ids", {{key(1), key(0)}, {key(1), key(0)}, {key(2), key(1)}}, "0:0 2:1 1:0"},
      // Mails naming each other (or themselves) as parent form no loop and stay listed.
      {"mutual parents", {{key(1), key(2)}, {key(2), key(1)}}, "0:0 1:1"},
      {"own parent", {{key(1), key(1)}}, "0:0"},
      // A waiting reply that found its parent later keeps its own replies.
      {"waiting reply with children", {{key(2), key(1)}, {key(3), key(2)}, {key(1), key(0)}}, "2:0 0:1 1:2"},
  };
  for (const Case& c : cases) EXPECT_EQ(shape(c.rows), c.shape) << c.name;
}

TEST(ThreadOrder, DeepChainIsWalkedWithoutRecursion) {
  std::vector<ThreadKeys> chain;
  for (std::uint16_t i = 1; i <= 60000; ++i) chain.push_back({key(i), key(static_cast<std::uint16_t>(i - 1))});
  const auto places = threadOrder(chain);
  ASSERT_EQ(places.size(), chain.size());
  EXPECT_EQ(places.back().depth, 59999U);
}

}  // namespace
}  // namespace zorvik::view
