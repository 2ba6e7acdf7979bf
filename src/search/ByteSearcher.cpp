#include "search/ByteSearcher.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace zorvik::search {
namespace {

constexpr std::size_t kLanes = 16;
using Lanes = unsigned char __attribute__((vector_size(kLanes)));

// How common each byte is in Japanese mail, roughly (higher is more
// common): line ends, spaces and lower-case letters; the lead bytes of punctuation,
// hiragana and katakana (0x81-0x83) and the trail bytes they bring; the
// first-level kanji leads. Bytes outside these are rare.
constexpr std::array<std::uint8_t, 256> kCommonness = [] {
  std::array<std::uint8_t, 256> rank{};
  for (int c = 0; c < 256; ++c) rank[c] = 10;
  for (int c = 0x40; c <= 0xFC; ++c) rank[c] = 40;   // trail bytes of every kind
  for (int c = 0x88; c <= 0x9F; ++c) rank[c] = 70;   // first-level kanji leads
  for (int c = 0x9F; c <= 0xF1; ++c) rank[c] += 30;  // hiragana trails
  for (int c = 0x40; c <= 0x96; ++c) rank[c] += 20;  // katakana trails
  for (int c = 'A'; c <= 'Z'; ++c) rank[c] = 60;
  for (int c = '0'; c <= '9'; ++c) rank[c] = 60;
  for (int c = 'a'; c <= 'z'; ++c) rank[c] = 120;
  for (const char c : std::string_view("etaoinsrhl")) rank[static_cast<unsigned char>(c)] = 160;
  rank[0x81] = rank[0x82] = rank[0x83] = 200;
  rank[' '] = rank['\r'] = rank['\n'] = 220;
  for (const char c : std::string_view("zqxjkv")) rank[static_cast<unsigned char>(c)] = 50;
  return rank;
}();

}  // namespace

int ByteSearcher::commonness(char byte) { return kCommonness[static_cast<unsigned char>(byte)]; }

ByteSearcher::ByteSearcher(std::string needle) : needle_(std::move(needle)) {
  if (needle_.size() < 2) return;
  const auto rank = [&](std::size_t i) { return commonness(needle_[i]); };
  for (std::size_t i = 1; i < needle_.size(); ++i)
    if (rank(i) < rank(rare_)) rare_ = i;
  other_ = rare_ == 0 ? 1 : 0;
  for (std::size_t i = 0; i < needle_.size(); ++i) {
    if (i == rare_ || i == other_) continue;
    // Of two equally rare bytes, one that differs from the rarest tells more.
    const bool differs = needle_[i] != needle_[rare_] && needle_[other_] == needle_[rare_];
    if (rank(i) < rank(other_) || (rank(i) == rank(other_) && differs)) other_ = i;
  }
}

std::size_t ByteSearcher::find(std::string_view text, std::size_t from) const {
  const std::size_t size = needle_.size();
  if (size == 0 || from > text.size() || text.size() - from < size) return std::string_view::npos;
  const char* data = text.data();
  const std::size_t last = text.size() - size;  // the last offset the needle can start at
  std::size_t candidates = 0;
  for (std::size_t at = from; at <= last;) {
    const void* found = std::memchr(data + at + rare_, needle_[rare_], last - at + 1);
    if (!found) return std::string_view::npos;
    const std::size_t start = static_cast<std::size_t>(static_cast<const char*>(found) - data) - rare_;
    if (data[start + other_] == needle_[other_] && std::memcmp(data + start, needle_.data(), size) == 0) return start;
    at = start + 1;
    // More than one candidate in 256 bytes: the rare byte is not rare here.
    if (++candidates >= 16 && at - from < candidates * 256) return findPacked(text, at);
  }
  return std::string_view::npos;
}

std::size_t ByteSearcher::findPacked(std::string_view text, std::size_t from) const {
  const std::size_t size = needle_.size();
  const char* data = text.data();
  const std::size_t last = text.size() - size;
  const std::size_t reach = std::max(rare_, other_) + kLanes;  // bytes a round reads past its start
  Lanes rare;
  Lanes other;
  for (std::size_t i = 0; i < kLanes; ++i) {
    rare[i] = static_cast<unsigned char>(needle_[rare_]);
    other[i] = static_cast<unsigned char>(needle_[other_]);
  }
  std::size_t at = from;
  for (; at + reach <= text.size(); at += kLanes) {
    Lanes atRare;
    Lanes atOther;
    std::memcpy(&atRare, data + at + rare_, kLanes);
    std::memcpy(&atOther, data + at + other_, kLanes);
    const auto both = (atRare == rare) & (atOther == other);
    std::uint64_t words[kLanes / 8];
    std::memcpy(words, &both, kLanes);
    for (std::size_t w = 0; w < kLanes / 8; ++w) {
      for (std::uint64_t bits = words[w]; bits != 0;) {
        const unsigned lane = static_cast<unsigned>(__builtin_ctzll(bits)) / 8;
        const std::size_t start = at + w * 8 + lane;
        if (start <= last && std::memcmp(data + start, needle_.data(), size) == 0) return start;
        bits &= ~(0xFFULL << (lane * 8));
      }
    }
  }
  for (; at <= last; ++at)
    if (data[at + rare_] == needle_[rare_] && std::memcmp(data + at, needle_.data(), size) == 0) return at;
  return std::string_view::npos;
}

}  // namespace zorvik::search
