#include "core/ItemValueLines.h"

namespace zorvik::core {
namespace {

constexpr std::string_view kEscaped = "#>";
constexpr std::string_view kLineEnd = "\r\n";

bool needsEscape(std::string_view piece) {
  return piece.find('\n') != std::string_view::npos || piece.starts_with("##") || piece.starts_with(";;") ||
         piece.starts_with(kEscaped);
}

void appendLine(std::string& out, std::string_view piece) {
  if (!needsEscape(piece)) {
    out += piece;
    out += kLineEnd;
    return;
  }
  out += kEscaped;
  for (const char c : piece) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  out += kLineEnd;
}

}  // namespace

void appendValueLines(std::string& out, std::string_view text, bool multiLine) {
  if (!multiLine) return appendLine(out, text);
  for (;;) {
    const auto end = text.find(kLineEnd);
    appendLine(out, text.substr(0, end));
    if (end == std::string_view::npos) return;
    text.remove_prefix(end + kLineEnd.size());
  }
}

std::string valueOfLine(std::string_view line) {
  if (!line.starts_with(kEscaped)) return std::string(line);
  std::string value;
  value.reserve(line.size());
  for (std::size_t i = kEscaped.size(); i < line.size(); ++i) {
    if (line[i] != '\\' || i + 1 == line.size()) {
      value += line[i];
      continue;
    }
    switch (line[++i]) {
      case '\\': value += '\\'; break;
      case 'n': value += '\n'; break;
      case 'r': value += '\r'; break;
      default:
        // Not one of ours (a line written by hand): kept as it stands.
        value += '\\';
        value += line[i];
    }
  }
  return value;
}

}  // namespace zorvik::core
