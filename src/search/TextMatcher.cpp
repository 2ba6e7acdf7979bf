#include "search/TextMatcher.h"

#include <algorithm>
#include <limits>

#include "core/SjisText.h"

namespace zorvik::search {
namespace {

constexpr std::size_t kNone = std::string_view::npos;

// What a candidate search for one form of a character costs, roughly: a
// double-byte form is rare, a single byte as common as it is in mail.
int costOf(std::string_view form) { return form.size() > 1 ? 1 : ByteSearcher::commonness(form[0]); }

}  // namespace

TextMatcher::TextMatcher(std::string needle, FoldOptions fold, bool lineStart)
    : needle_(std::move(needle)), fold_(fold), lineStart_(lineStart) {
  if (needle_.empty() || needle_.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) return;
  codes_ = fold_.codes(needle_);
  chooseAnchor();
}

void TextMatcher::chooseAnchor() {
  // A lead byte at the end of the needle stands for itself: its bytes must
  // not match the first half of a double-byte character of the text.
  std::size_t last = 0;
  while (last + core::sjisCharLength(needle_, last) < needle_.size()) last += core::sjisCharLength(needle_, last);
  const bool endsInHalf = core::isSjisLeadByte(static_cast<unsigned char>(needle_[last])) && last + 1 == needle_.size();
  if (fold_.options().foldsNothing()) {
    literal_.emplace(needle_);
    literalIsWhole_ = !endsInHalf;
    return;
  }
  // Each character of the needle: where it starts, and its forms.
  struct Character {
    std::size_t offset;
    std::size_t length;
    std::vector<std::string> forms;
  };
  std::vector<Character> characters;
  for (std::size_t at = 0; at < needle_.size();) {
    const FoldedChar c = fold_.at(needle_, at);
    characters.push_back({at, c.length, fold_.formsOf(c.code)});
    at += c.length;
  }
  // Positions are known up to the first character whose forms differ in
  // length (ASCII and full-width, ｶﾞ and ガ); after it, a match's byte
  // offsets depend on the text.
  std::size_t known = 0;
  while (known < characters.size() &&
         std::all_of(characters[known].forms.begin(), characters[known].forms.end(),
                     [&](const std::string& form) { return form.size() == characters[known].length; }))
    ++known;
  const std::size_t anchorable = std::min(known + 1, characters.size());

  // The longest run of one-form characters that starts at a known position.
  std::size_t bestFirst = 0, bestEnd = 0, bestBytes = 0;
  for (std::size_t first = 0; first < anchorable; ++first) {
    std::size_t end = first;
    while (end < characters.size() && characters[end].forms.size() == 1) ++end;
    const std::size_t bytes =
        end == first ? 0 : characters[end - 1].offset + characters[end - 1].length - characters[first].offset;
    if (bytes <= bestBytes) continue;
    bestFirst = first;
    bestEnd = end;
    bestBytes = bytes;
  }
  if (bestBytes > 0) {
    literal_.emplace(needle_.substr(characters[bestFirst].offset, bestBytes));
    literalOffset_ = characters[bestFirst].offset;
    literalIsWhole_ = bestFirst == 0 && bestEnd == characters.size() && !endsInHalf;
    return;
  }
  // No such run: every form of the rarest character at a known position.
  std::size_t chosen = 0;
  int lowest = std::numeric_limits<int>::max();
  for (std::size_t i = 0; i < anchorable; ++i) {
    int cost = 0;
    for (const std::string& form : characters[i].forms) cost += costOf(form);
    if (cost >= lowest) continue;
    chosen = i;
    lowest = cost;
  }
  for (std::string& form : characters[chosen].forms) forms_.emplace_back(std::move(form));
  formsOffset_ = characters[chosen].offset;
}

bool TextMatcher::isCharacterStart(std::string_view text, std::size_t at) {
  std::size_t leadRange = 0;
  while (leadRange < at && core::isSjisLeadByte(static_cast<unsigned char>(text[at - leadRange - 1]))) ++leadRange;
  return leadRange % 2 == 0;
}

std::optional<std::size_t> TextMatcher::matchAt(std::string_view text, std::size_t at) const {
  if (lineStart_ && at > 0 && text[at - 1] != '\n') return std::nullopt;
  if (!isCharacterStart(text, at)) return std::nullopt;
  if (literalIsWhole_) return needle_.size();
  std::size_t position = at;
  for (const std::uint16_t code : codes_) {
    if (position >= text.size()) return std::nullopt;
    const FoldedChar c = fold_.at(text, position);
    if (c.code != code) return std::nullopt;
    position += c.length;
  }
  return position - at;
}

std::optional<Match> TextMatcher::find(std::string_view text, std::size_t from) const {
  if (codes_.empty()) return std::nullopt;
  return literal_ ? findLiteral(text, from) : findForms(text, from);
}

std::optional<Match> TextMatcher::findLiteral(std::string_view text, std::size_t from) const {
  for (std::size_t at = literal_->find(text, from + literalOffset_); at != kNone; at = literal_->find(text, at + 1)) {
    const std::size_t start = at - literalOffset_;
    if (const auto length = matchAt(text, start)) return Match{start, *length};
  }
  return std::nullopt;
}

std::optional<Match> TextMatcher::findForms(std::string_view text, std::size_t from) const {
  // One cursor per form; the nearest candidate is tried first.
  std::vector<std::size_t> next(forms_.size());
  for (std::size_t i = 0; i < forms_.size(); ++i) next[i] = forms_[i].find(text, from + formsOffset_);
  while (true) {
    const auto nearest = std::min_element(next.begin(), next.end());
    if (nearest == next.end() || *nearest == kNone) return std::nullopt;
    const std::size_t start = *nearest - formsOffset_;
    if (const auto length = matchAt(text, start)) return Match{start, *length};
    const std::size_t form = static_cast<std::size_t>(nearest - next.begin());
    *nearest = forms_[form].find(text, *nearest + 1);
  }
}

}  // namespace zorvik::search
