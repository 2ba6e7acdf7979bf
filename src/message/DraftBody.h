/// \file
/// The body of a draft as it is stored for sending: tag-command lines
/// ("@#" at the start) stay exactly as written; every other line gets its
/// half-width katakana written full width when asked (settings item 505),
/// ">" in front when it begins with "From " (it would otherwise read as the
/// start of the next mail in the tray), and is broken into pieces of at most
/// the line width (settings item 517; 0 or below means no breaking), never
/// inside a double-byte character. An empty line stays empty.
///
/// A piece of a broken line that would begin with "From " or "@#" gets ">"
/// in front too: text, a quoted line of a received mail say, must never turn
/// into a tag command that attaches a file because of where it was broken.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zorvik::message {

class DraftBody {
public:
  /// The lines of `text` (LF or CR LF between lines; a lone CR becomes a
  /// space, as it would break the stored line) normalised as above. A text
  /// ending with a line end has no empty last line for it.
  static std::vector<std::string> normalise(std::string_view text, bool fullWidthKana, int lineWidth);

  /// One line normalised; pieces are appended to `out`.
  static void normaliseLine(std::string_view line, bool fullWidthKana, int lineWidth, std::vector<std::string>& out);

  /// A text line (or piece) as stored: ">" in front when it begins with
  /// "From " or "@#".
  static std::string asStoredLine(std::string text);
  /// Whether the line `prefix` + `text` begins with "From " or "@#" (and
  /// so is stored with ">" in front), without joining the two.
  static bool needsQuoteMark(std::string_view prefix, std::string_view text);
};

}  // namespace zorvik::message
