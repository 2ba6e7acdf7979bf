#include "addressbook/NameIndex.h"

#include <algorithm>

#include "core/SjisText.h"

namespace zorvik::addressbook {
namespace {

constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";

// The words of a display name, split at ASCII and ideographic spaces.
std::vector<std::string_view> wordsOf(std::string_view name) {
  std::vector<std::string_view> words;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= name.size();) {
    const bool atEnd = i == name.size();
    const std::size_t gap = atEnd ? 0 : name[i] == ' ' ? 1 : name.substr(i).starts_with(kIdeographicSpace) ? 3 : 0;
    if (!atEnd && gap == 0) {
      ++i;
      continue;
    }
    if (i > start) words.push_back(name.substr(start, i - start));
    if (atEnd) break;
    i += gap;
    start = i;
  }
  return words;
}

}  // namespace

std::string NameIndex::keyOf(std::string_view text) { return core::asciiLowerCase(text); }

NameIndex::NameIndex(const std::vector<VCardEntry>& cards) {
  keys_.reserve(cards.size() * 5);
  std::vector<std::string> texts;
  for (std::uint32_t card = 0; card < cards.size(); ++card) {
    const VCardEntry& entry = cards[card];
    const std::vector<std::string> addresses = entry.addresses();
    if (addresses.empty()) continue;  // nothing to resolve to
    texts.clear();
    if (const VCardProperty* name = entry.first("FN")) {
      texts.push_back(name->text());
      const std::string fullName = texts.back();
      for (const std::string_view word : wordsOf(fullName)) texts.emplace_back(word);
    }
    if (const VCardProperty* name = entry.first("N")) {
      texts.push_back(name->component(0));
      texts.push_back(name->component(1));
    }
    if (const VCardProperty* nickname = entry.first("NICKNAME")) texts.push_back(nickname->text());
    for (const std::string& address : addresses) {
      texts.push_back(address);
      byAddress_.emplace(keyOf(address), card);
    }
    std::sort(texts.begin(), texts.end());
    texts.erase(std::unique(texts.begin(), texts.end()), texts.end());
    for (const std::string& text : texts)
      if (!text.empty()) keys_.push_back({keyOf(text), card});
  }
  std::sort(keys_.begin(), keys_.end(),
            [](const Key& a, const Key& b) { return a.text != b.text ? a.text < b.text : a.card < b.card; });
}

std::vector<std::size_t> NameIndex::find(std::string_view query) const {
  const std::string wanted = keyOf(query);
  std::vector<std::size_t> exact;
  std::vector<std::size_t> prefixed;
  auto at = std::lower_bound(keys_.begin(), keys_.end(), wanted,
                             [](const Key& key, const std::string& text) { return key.text < text; });
  for (; at != keys_.end() && at->text.starts_with(wanted); ++at) {
    std::vector<std::size_t>& into = at->text.size() == wanted.size() ? exact : prefixed;
    if (std::find(into.begin(), into.end(), at->card) == into.end()) into.push_back(at->card);
    if (exact.size() + prefixed.size() >= kChoiceLimit) break;
  }
  for (const std::size_t card : prefixed)
    if (std::find(exact.begin(), exact.end(), card) == exact.end()) exact.push_back(card);
  return exact;
}

std::optional<std::size_t> NameIndex::cardOf(std::string_view address) const {
  const auto found = byAddress_.find(keyOf(address));
  if (found == byAddress_.end()) return std::nullopt;
  return found->second;
}

}  // namespace zorvik::addressbook
