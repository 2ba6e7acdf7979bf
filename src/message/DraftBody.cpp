#include "message/DraftBody.h"

#include <algorithm>

#include "core/SjisText.h"
#include "message/HalfWidthKana.h"

namespace zorvik::message {

void DraftBody::normaliseLine(std::string_view line, bool fullWidthKana, int lineWidth,
                              std::vector<std::string>& out) {
  if (line.starts_with("@#")) {
    out.emplace_back(line);
    return;
  }
  const std::string text = asStoredLine(fullWidthKana ? hankanaToZenkana(line) : std::string(line));
  if (lineWidth <= 0 || text.size() <= static_cast<std::size_t>(lineWidth)) {
    out.push_back(text);
    return;
  }
  const auto pieces = core::breakSjis(text, static_cast<std::size_t>(lineWidth));
  out.emplace_back(pieces.front());
  for (std::size_t i = 1; i < pieces.size(); ++i) out.push_back(asStoredLine(std::string(pieces[i])));
}

std::string DraftBody::asStoredLine(std::string text) {
  if (needsQuoteMark({}, text)) text.insert(0, ">");
  return text;
}

bool DraftBody::needsQuoteMark(std::string_view prefix, std::string_view text) {
  const auto beginsWith = [prefix, text](std::string_view start) {
    const std::size_t inPrefix = std::min(prefix.size(), start.size());
    return prefix.starts_with(start.substr(0, inPrefix)) && text.starts_with(start.substr(inPrefix));
  };
  return beginsWith("From ") || beginsWith("@#");
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
