#include "view/TextRuns.h"

namespace zorvik::view {
namespace {

// Adds [start, end) of `line` in `style`, a tab a run of its own.
void addText(std::vector<TextRun>& runs, std::string_view line, std::size_t start, std::size_t end, TextStyle style) {
  std::size_t from = start;
  for (std::size_t i = start; i < end; ++i) {
    if (line[i] != '\t') continue;
    if (i > from) runs.push_back({from, i - from, style, false, false});
    runs.push_back({i, 1, style, true, false});
    from = i + 1;
  }
  if (end > from) runs.push_back({from, end - from, style, false, false});
}

}  // namespace

TextStyle TextRuns::styleOf(TagKind kind) {
  if (kind == TagKind::MailAddress) return TextStyle::MailAddress;
  return isFileTag(kind) ? TextStyle::Attachment : TextStyle::Link;
}

std::vector<TextRun> TextRuns::of(const BodyLine& line) {
  std::vector<TextRun> runs;
  const TextStyle plain = line.quote ? TextStyle::Quote : TextStyle::Body;
  std::size_t at = 0;
  for (const Tag& tag : line.tags) {
    addText(runs, line.text, at, tag.start, plain);
    std::size_t start = tag.start;
    if (line.hasIcon() && isFileTag(tag.kind)) {
      runs.push_back({start, 2, TextStyle::Attachment, false, true});
      start += 2;
    }
    addText(runs, line.text, start, tag.end(), styleOf(tag.kind));
    at = tag.end();
  }
  addText(runs, line.text, at, line.text.size(), plain);
  return runs;
}

}  // namespace zorvik::view
