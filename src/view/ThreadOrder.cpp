#include "view/ThreadOrder.h"

#include <limits>
#include <utility>

namespace zorvik::view {
namespace {

constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();

std::uint64_t packed(const store::ThreadKey& key) {
  return static_cast<std::uint64_t>(key[0]) | static_cast<std::uint64_t>(key[1]) << 16 |
         static_cast<std::uint64_t>(key[2]) << 32 | static_cast<std::uint64_t>(key[3]) << 48;
}

// Keys to rows, by open addressing: a key keeps the first row stored for
// it. A slot is taken by its key (keys are never zero) for good, even when
// its row is cleared again, so that no probe chain is ever broken. Twice
// as many slots as rows keep the probes short.
class KeyTable {
public:
  explicit KeyTable(std::size_t rows) {
    std::size_t size = 16;
    while (size < rows * 2) size *= 2;
    keys_.assign(size, 0);
    rows_.assign(size, kNone);
    mask_ = size - 1;
  }
  /// The slot of `key` (zero keys are never stored).
  std::size_t slot(std::uint64_t key) const {
    std::size_t at = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ULL) >> 32) & mask_;
    while (keys_[at] != 0 && keys_[at] != key) at = (at + 1) & mask_;
    return at;
  }
  std::uint32_t find(std::uint64_t key) const { return rows_[slot(key)]; }
  std::uint32_t& at(std::uint64_t key) {
    const std::size_t place = slot(key);
    keys_[place] = key;
    return rows_[place];
  }

private:
  std::vector<std::uint64_t> keys_;
  std::vector<std::uint32_t> rows_;
  std::size_t mask_ = 0;
};

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

// Depth first without a stack (a reply chain can be as deep as the tray is
// long): down to the first child, else on to the next sibling, else up
// until an ancestor has one.
std::vector<ThreadPlace> walk(const Forest& forest, std::size_t count) {
  std::vector<ThreadPlace> order;
  order.reserve(count);
  std::uint32_t node = forest.rootFirst;
  std::uint32_t depth = 0;
  while (node != kNone) {
    order.push_back({node, depth});
    if (forest.firstChild[node] != kNone) {
      node = forest.firstChild[node];
      ++depth;
      continue;
    }
    while (node != kNone && forest.next[node] == kNone) {
      node = forest.parent[node];
      if (node != kNone) --depth;
    }
    if (node != kNone) node = forest.next[node];
  }
  return order;
}

}  // namespace

std::vector<ThreadPlace> threadOrder(const std::vector<ThreadKeys>& rows) {
  const std::size_t count = rows.size();
  Forest forest(count);
  KeyTable visited(count);  // own key -> first row with it
  // Rows waiting for a parent: the first waiting row of a parent key, and
  // after each waiting row the next one with the same parent key.
  KeyTable waiting(count);
  std::vector<std::uint32_t> nextWaiting(count, kNone);
  std::vector<std::uint32_t> lastWaiting(count, kNone);  // for the first row of a key: its queue's end

  for (std::uint32_t row = 0; row < count; ++row) {
    const std::uint64_t own = packed(rows[row].own);
    const std::uint64_t parent = packed(rows[row].parent);
    const std::uint32_t found = parent == 0 ? kNone : visited.find(parent);
    if (found != kNone) {
      forest.appendChild(found, row);
    } else {
      forest.appendToRoot(row);
      if (parent != 0) {
        std::uint32_t& first = waiting.at(parent);
        if (first == kNone) {
          first = row;
        } else {
          nextWaiting[lastWaiting[first]] = row;
        }
        lastWaiting[first] = row;
      }
    }
    if (own == 0) continue;
    std::uint32_t& kept = visited.at(own);
    if (kept == kNone) kept = row;
    std::uint32_t& first = waiting.at(own);
    if (first == kNone) continue;
    const std::uint32_t orphan = first;
    // The queue's next row takes the front (its end moves with it).
    first = nextWaiting[orphan];
    if (first != kNone) lastWaiting[first] = lastWaiting[orphan];
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
