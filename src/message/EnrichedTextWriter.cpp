#include "message/EnrichedTextWriter.h"

#include "core/SjisText.h"

#include <algorithm>

namespace zorvik::message {
namespace {

constexpr std::string_view kKanjiRunStart = "\x1B$";
constexpr std::string_view kKanjiRunEnd = "\x1B(";

// Position of the next CR, "<" or ESC "$" from `from`.
std::size_t nextToken(std::string_view line, std::size_t from) {
  for (std::size_t i = from; i < line.size(); ++i) {
    if (line[i] == '\r' || line[i] == '<') return i;
    if (line.substr(i).starts_with(kKanjiRunStart)) return i;
  }
  return line.size();
}

}  // namespace

bool EnrichedTextWriter::write(ByteSink& sink, ByteBuffer& buffer) {
  held_.append(buffer.view());
  buffer.clear();
  text_.clear();
  for (std::int32_t end = held_.findLineEnd(); end >= 0; end = held_.findLineEnd()) {
    std::string_view line = held_.view().substr(0, static_cast<std::size_t>(end));
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
    line_.assign(line);
    line_.append("\r\n");
    convertLine(line_);
    held_.consume(end);
  }
  return sink.write(text_);
}

bool EnrichedTextWriter::finish(ByteSink& sink) {
  if (held_.empty()) return true;
  text_.clear();
  line_.assign(held_.view());
  if (line_.back() != '\n') line_.append(line_.back() == '\r' ? "\n" : "\r\n");
  held_.clear();
  convertLine(line_);
  return sink.write(text_);
}

void EnrichedTextWriter::settlePending() {
  if (pendingBreaks_ == 1) text_.push_back(' ');
  pendingBreaks_ = 0;
}

void EnrichedTextWriter::runCommand(std::string_view command) {
  if (core::equalsIgnoringAsciiCase(command, "param")) ++paramDepth_;
  if (core::equalsIgnoringAsciiCase(command, "/param")) paramDepth_ = std::max(0, paramDepth_ - 1);
  if (core::equalsIgnoringAsciiCase(command, "nofill")) ++noFillDepth_;
  if (core::equalsIgnoringAsciiCase(command, "/nofill")) noFillDepth_ = std::max(0, noFillDepth_ - 1);
}

void EnrichedTextWriter::convertLine(std::string_view line) {
  std::size_t pos = 0;
  while (pos < line.size()) {
    const std::size_t token = nextToken(line, pos);
    if (token == line.size()) return;  // cannot happen: the line ends in CR LF
    const std::string_view before = line.substr(pos, token - pos);
    if (!before.empty() || line[token] != '\r') settlePending();
    if (paramDepth_ == 0) text_.append(before);
    if (line[token] == '\r') {
      if (noFillDepth_ > 0) {
        text_.append("\r\n");
      } else if (++pendingBreaks_ > 1) {
        text_.append("\r\n");
      }
      return;  // the CR is the line end
    }
    if (line[token] == '<') {
      if (line.substr(token).starts_with("<<")) {
        if (paramDepth_ == 0) text_.push_back('<');
        pos = token + 2;
        continue;
      }
      const std::size_t close = line.find('>', token);
      if (close == std::string_view::npos) return;
      runCommand(line.substr(token + 1, close - token - 1));
      pos = close + 1;
      continue;
    }
    // A kanji run, through the three bytes of its closing escape.
    const std::size_t end = line.find(kKanjiRunEnd, token + kKanjiRunStart.size());
    if (end == std::string_view::npos || end + 3 > line.size()) return;
    if (paramDepth_ == 0) text_.append(line.substr(token, end + 3 - token));
    pos = end + 3;
  }
}

}  // namespace zorvik::message
