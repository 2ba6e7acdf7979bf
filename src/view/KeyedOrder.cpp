#include "view/KeyedOrder.h"

#include <algorithm>
#include <array>

#include "view/MultibyteCompare.h"

namespace zorvik::view {

void sortKeys(std::vector<std::uint64_t>& keys) {
  // Small inputs sort faster by comparison than by four counting passes.
  if (keys.size() < 4096) {
    std::sort(keys.begin(), keys.end());
    return;
  }
  std::vector<std::uint64_t> buffer(keys.size());
  std::vector<std::uint32_t> counts(1U << 16);
  for (int shift = 0; shift < 64; shift += 16) {
    std::fill(counts.begin(), counts.end(), 0U);
    for (const std::uint64_t key : keys) ++counts[(key >> shift) & 0xFFFFU];
    // All keys share this digit: the pass would change nothing.
    if (counts[(keys.front() >> shift) & 0xFFFFU] == keys.size()) continue;
    std::uint32_t total = 0;
    for (std::uint32_t& count : counts) {
      const std::uint32_t here = count;
      count = total;
      total += here;
    }
    for (const std::uint64_t key : keys) buffer[counts[(key >> shift) & 0xFFFFU]++] = key;
    keys.swap(buffer);
  }
}

void TextRanks::add(std::string_view text) {
  auto found = ids_.find(text);
  if (found == ids_.end()) {
    found = ids_.emplace(std::string(text), static_cast<std::uint32_t>(distinct_.size())).first;
    distinct_.push_back(&found->first);
  }
  rows_.push_back(found->second);
}

std::vector<std::uint32_t> TextRanks::ranks() const {
  // Every distinct text's sort key in one buffer, its first eight bytes
  // also as a number: most comparisons end there.
  struct Key {
    std::uint64_t prefix;
    std::uint32_t start;
    std::uint32_t length;
    std::uint32_t id;
  };
  std::vector<Key> keys;
  keys.reserve(distinct_.size());
  std::string buffer;
  for (std::uint32_t id = 0; id < distinct_.size(); ++id) {
    const std::size_t start = buffer.size();
    appendMultibyteKey(*distinct_[id], buffer);
    Key key{0, static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(buffer.size() - start), id};
    for (std::size_t i = 0; i < 8; ++i)
      key.prefix = key.prefix << 8 | (i < key.length ? static_cast<unsigned char>(buffer[start + i]) : 0U);
    keys.push_back(key);
  }
  const std::string_view all(buffer);
  std::sort(keys.begin(), keys.end(), [all](const Key& a, const Key& b) {
    if (a.prefix != b.prefix) return a.prefix < b.prefix;
    return all.substr(a.start, a.length) < all.substr(b.start, b.length);
  });
  std::vector<std::uint32_t> rankOf(distinct_.size());
  for (std::uint32_t rank = 0; rank < keys.size(); ++rank) rankOf[keys[rank].id] = rank;
  std::vector<std::uint32_t> ranks;
  ranks.reserve(rows_.size());
  for (const std::uint32_t id : rows_) ranks.push_back(rankOf[id]);
  return ranks;
}

}  // namespace zorvik::view
