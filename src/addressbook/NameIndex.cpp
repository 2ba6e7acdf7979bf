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
  byAddress_.reserve(cards.size());
  std::vector<std::string> texts;
  for (std::uint32_t card = 0; card < cards.size(); ++card) {
    const VCardEntry& entry = cards[card];
    texts = entry.addresses();
    if (texts.empty()) continue;  // nothing to resolve to
    for (const std::string& address : texts) byAddress_.emplace(keyOf(address), card);
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
    if (std::string reading = entry.reading(); !reading.empty()) {
      for (const std::string_view word : wordsOf(reading)) texts.emplace_back(word);
      texts.push_back(std::move(reading));
    }
    addKeys(card, texts);
  }
  std::sort(keys_.begin(), keys_.end(), [this](const Key& a, const Key& b) {
    const int order = text(a).compare(text(b));
    return order != 0 ? order < 0 : a.card < b.card;
  });
}

void NameIndex::addKeys(std::uint32_t card, std::vector<std::string>& texts) {
  for (std::string& text : texts) text = keyOf(text);
  std::sort(texts.begin(), texts.end());
  texts.erase(std::unique(texts.begin(), texts.end()), texts.end());
  for (const std::string& key : texts) {
    if (key.empty()) continue;
    keys_.push_back({static_cast<std::uint32_t>(arena_.size()), static_cast<std::uint32_t>(key.size()), card});
    arena_ += key;
  }
}

std::vector<std::size_t> NameIndex::find(std::string_view query) const {
  const std::string wanted = keyOf(query);
  std::vector<std::size_t> exact;
  std::vector<std::size_t> prefixed;
  auto at = std::lower_bound(keys_.begin(), keys_.end(), wanted,
                             [this](const Key& key, const std::string& value) { return text(key) < value; });
  for (; at != keys_.end() && text(*at).starts_with(wanted); ++at) {
    std::vector<std::size_t>& into = at->length == wanted.size() ? exact : prefixed;
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
