#include "message/DraftBody.h"

#include "core/SjisText.h"
#include "message/HalfWidthKana.h"

namespace zorvik::message {

void DraftBody::normaliseLine(std::string_view line, bool fullWidthKana, int lineWidth,
                              std::vector<std::string>& out) {
  if (line.starts_with("@#")) {
    out.emplace_back(line);
    return;
  }
  std::string text = fullWidthKana ? hankanaToZenkana(line) : std::string(line);
  if (text.starts_with("From ")) text.insert(0, ">");
  if (lineWidth <= 0 || text.size() <= static_cast<std::size_t>(lineWidth)) {
    out.push_back(std::move(text));
    return;
  }
  const auto width = static_cast<std::size_t>(lineWidth);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = start;
    // A double-byte character that does not fit goes to the next piece,
    // unless it is the only one (a width of 1).
    while (end < text.size()) {
      const std::size_t length = core::sjisCharLength(text, end);
      if (end + length - start > width && end > start) break;
      end += length;
    }
    out.push_back(text.substr(start, end - start));
    start = end;
  }
}

std::vector<std::string> DraftBody::normalise(std::string_view text, bool fullWidthKana, int lineWidth) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string line(text.substr(0, end));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    for (char& c : line) {
      if (c == '\r' || c == '\0') c = ' ';
    }
    normaliseLine(line, fullWidthKana, lineWidth, lines);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

}  // namespace zorvik::message
