#include "view/ThreadOrder.h"

#include <algorithm>
#include <deque>
#include <limits>
#include <unordered_map>
#include <utility>

namespace zorvik::view {
namespace {

constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();

std::uint64_t packed(const store::ThreadKey& key) {
  return static_cast<std::uint64_t>(key[0]) | static_cast<std::uint64_t>(key[1]) << 16 |
         static_cast<std::uint64_t>(key[2]) << 32 | static_cast<std::uint64_t>(key[3]) << 48;
}

// The tree as linked lists: the root's children (doubly linked, since a
// waiting row leaves the root again) and every node's children.
struct Forest {
  explicit Forest(std::size_t count)
      : firstChild(count, kNone),
        lastChild(count, kNone),
        next(count, kNone),
        previous(count, kNone),
        parent(count, kNone) {}

  void appendToRoot(std::uint32_t node) {
    previous[node] = rootLast;
    if (rootLast == kNone) rootFirst = node;
    else next[rootLast] = node;
    rootLast = node;
  }
  void detachFromRoot(std::uint32_t node) {
    if (previous[node] == kNone) rootFirst = next[node];
    else next[previous[node]] = next[node];
    if (next[node] == kNone) rootLast = previous[node];
    else previous[next[node]] = previous[node];
    next[node] = previous[node] = kNone;
  }
  void appendChild(std::uint32_t under, std::uint32_t node) {
    if (lastChild[under] == kNone) firstChild[under] = node;
    else next[lastChild[under]] = node;
    lastChild[under] = node;
    parent[node] = under;
  }
  bool isAncestor(std::uint32_t candidate, std::uint32_t node) const {
    for (std::uint32_t at = node; at != kNone; at = parent[at])
      if (at == candidate) return true;
    return false;
  }

  std::vector<std::uint32_t> firstChild, lastChild, next, previous, parent;
  std::uint32_t rootFirst = kNone;
  std::uint32_t rootLast = kNone;
};

// Depth first, iteratively: a reply chain can be as deep as the tray is long.
std::vector<ThreadPlace> walk(const Forest& forest, std::size_t count) {
  std::vector<ThreadPlace> order;
  order.reserve(count);
  std::vector<std::pair<std::uint32_t, std::uint32_t>> stack;  // node, depth
  for (std::uint32_t top = forest.rootFirst; top != kNone; top = forest.next[top]) {
    stack.emplace_back(top, 0);
    while (!stack.empty()) {
      const auto [node, depth] = stack.back();
      stack.pop_back();
      order.push_back({node, depth});
      // Children pushed last to first, so the first comes out first.
      const std::size_t mark = stack.size();
      for (std::uint32_t child = forest.firstChild[node]; child != kNone; child = forest.next[child])
        stack.emplace_back(child, depth + 1);
      std::reverse(stack.begin() + static_cast<std::ptrdiff_t>(mark), stack.end());
    }
  }
  return order;
}

}  // namespace

std::vector<ThreadPlace> threadOrder(const std::vector<ThreadKeys>& rows) {
  const std::size_t count = rows.size();
  Forest forest(count);
  std::unordered_map<std::uint64_t, std::uint32_t> visited;  // own key -> first row with it
  std::unordered_map<std::uint64_t, std::deque<std::uint32_t>> waiting;  // parent key -> rows
  visited.reserve(count);

  for (std::uint32_t row = 0; row < count; ++row) {
    const std::uint64_t own = packed(rows[row].own);
    const std::uint64_t parent = packed(rows[row].parent);
    const auto found = parent == 0 ? visited.end() : visited.find(parent);
    if (found != visited.end()) {
      forest.appendChild(found->second, row);
    } else {
      forest.appendToRoot(row);
      if (parent != 0) waiting[parent].push_back(row);
    }
    if (own == 0) continue;
    visited.emplace(own, row);
    const auto orphans = waiting.find(own);
    if (orphans == waiting.end()) continue;
    const std::uint32_t orphan = orphans->second.front();
    orphans->second.pop_front();
    if (orphans->second.empty()) waiting.erase(orphans);
    // A row never goes under itself or under its own reply (two mails that
    // name each other as parent): the pair would form a loop and drop out
    // of the list.
    if (forest.isAncestor(orphan, row)) continue;
    forest.detachFromRoot(orphan);
    forest.appendChild(row, orphan);
  }
  return walk(forest, count);
}

}  // namespace zorvik::view
