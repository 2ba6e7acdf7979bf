/// \file
/// The search structure behind AddressBook::resolve: every name, reading
/// and address of every card as a key (UTF-8, ASCII letters in lower case) in one
/// sorted array, so the cards matching a typed prefix are found by a
/// binary search, in well under a millisecond among 100,000 cards, and a
/// map from each address to its card.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "addressbook/VCardEntry.h"

namespace zorvik::addressbook {

class NameIndex {
public:
  /// The most choices one resolve gives; the user steps through them one
  /// at a time.
  static constexpr std::size_t kChoiceLimit = 100;

  explicit NameIndex(const std::vector<VCardEntry>& cards);

  /// The cards with a key beginning with `query` (UTF-8): those with a key
  /// equal to it first, then in the order of their keys; each card once.
  std::vector<std::size_t> find(std::string_view query) const;
  /// The card holding `address` (UTF-8).
  std::optional<std::size_t> cardOf(std::string_view address) const;

  /// A key's form of `text`.
  static std::string keyOf(std::string_view text);

private:
  // A key is a span of the arena, so sorting moves 12 bytes, not strings.
  struct Key {
    std::uint32_t at;
    std::uint32_t length;
    std::uint32_t card;
  };
  std::string_view text(const Key& key) const { return std::string_view(arena_).substr(key.at, key.length); }
  void addKeys(std::uint32_t card, std::vector<std::string>& texts);

  std::string arena_;
  std::vector<Key> keys_;
  std::unordered_map<std::string, std::uint32_t> byAddress_;
};

}  // namespace zorvik::addressbook
