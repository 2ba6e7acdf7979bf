// Feeds arbitrary search strings and texts to the search's matcher and
// compares its first match with a plain walk over the text: character by
// character from the start, every boundary tried in order, every
// character folded and compared. The first byte chooses the folding and
// the start-of-line switch, the second the length of the search string.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/SjisText.h"
#include "search/CharacterFold.h"
#include "search/TextMatcher.h"

namespace {

using zorvik::search::CharacterFold;
using zorvik::search::FoldOptions;
using zorvik::search::Match;

std::optional<Match> plainFind(std::string_view needle, std::string_view text, const CharacterFold& fold,
                               bool lineStart) {
  if (needle.empty() || needle.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
    return std::nullopt;
  const auto codes = fold.codes(needle);
  for (std::size_t at = 0; at < text.size(); at += zorvik::core::sjisCharLength(text, at)) {
    if (lineStart && at > 0 && text[at - 1] != '\n') continue;
    std::size_t position = at;
    std::size_t matched = 0;
    while (matched < codes.size() && position < text.size()) {
      const auto c = fold.at(text, position);
      if (c.code != codes[matched]) break;
      position += c.length;
      ++matched;
    }
    if (matched == codes.size()) return Match{at, position - at};
  }
  return std::nullopt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const FoldOptions fold{(data[0] & 1) != 0, (data[0] & 2) != 0, (data[0] & 4) != 0};
  const bool lineStart = (data[0] & 8) != 0;
  const std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
  const std::string_view needle = rest.substr(0, data[1] % 16);
  const std::string_view text = rest.substr(needle.size());
  const zorvik::search::TextMatcher matcher(std::string(needle), fold, lineStart);
  const auto found = matcher.find(text);
  const auto expected = plainFind(needle, text, CharacterFold(fold), lineStart);
  if (found.has_value() != expected.has_value()) __builtin_trap();
  if (found && (found->offset != expected->offset || found->length != expected->length)) __builtin_trap();
  return 0;
}
