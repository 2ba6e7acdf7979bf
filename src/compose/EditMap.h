/// \file
/// Which lines of a draft the user typed, kept beside the text in the
/// stored draft's "KRDX: " line, so that an editor opening the draft again
/// can lock the lines it loaded (quotes, template text) and leave the typed
/// ones free. The value is a head of two layout numbers of the editor (the
/// width of a character and the left indent in characters; their product is
/// the indent width) followed by one entry per run of typed lines: ",n" for
/// a single line, ",n-m" for a range (0-based line numbers).
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zorvik::compose {

struct EditMap {
  int characterWidth = 1;
  int indentCharacters = 0;
  std::vector<std::pair<int, int>> typed;  ///< runs of typed lines, first and last, ascending

  bool operator==(const EditMap&) const = default;

  /// "1,0,3,5-7" for runs {3}, {5..7}.
  std::string format() const;
  /// The map of a "KRDX: " value; what does not read as one gives a map
  /// without typed lines.
  static EditMap parse(std::string_view value);
  bool isTyped(int line) const;

  /// The map after an edit turned the text `loaded` (with map `before`)
  /// into `edited`: a line found again, in order, among the loaded lines
  /// keeps what `before` said of it; any other line was typed. Lines are
  /// matched by a forward search of limited reach, so a long text costs
  /// little.
  static EditMap afterEdit(const std::vector<std::string>& loaded, const EditMap& before,
                           const std::vector<std::string>& edited);
};

}  // namespace zorvik::compose
