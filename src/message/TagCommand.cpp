#include "message/TagCommand.h"

#include "core/SjisText.h"

namespace zorvik::message {
namespace {

std::string_view skipBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  return text;
}

std::string_view trimEnd(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

// The path of a file argument: inside double quotes (to the closing quote,
// or to the end when it is missing), or the whole argument.
std::string_view pathOf(std::string_view argument) {
  if (argument.empty() || argument.front() != '"') return trimEnd(argument);
  argument.remove_prefix(1);
  return argument.substr(0, argument.find('"'));
}

// The position after the last "/" or "\" that is a character of its own
// (the second byte of a kanji may be 0x5C).
std::size_t nameStart(std::string_view path) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size(); i += core::sjisCharLength(path, i)) {
    if (path[i] == '/' || path[i] == '\\') start = i + 1;
  }
  return start;
}

std::size_t lastDot(std::string_view name) {
  std::size_t dot = std::string_view::npos;
  for (std::size_t i = 0; i < name.size(); i += core::sjisCharLength(name, i)) {
    if (name[i] == '.') dot = i;
  }
  return dot;
}

bool isHeaderLine(std::string_view line) {
  const std::size_t colon = line.find(':');
  if (colon == 0 || colon == std::string_view::npos) return false;
  for (const char c : line.substr(0, colon)) {
    if (c <= ' ' || c > '~') return false;
  }
  return true;
}

TagCommand fileCommand(TagCommand::Kind kind, std::string_view argument) {
  TagCommand command;
  const std::string_view path = pathOf(argument);
  if (path.empty()) return command;
  command.kind = kind;
  command.argument = std::string(trimEnd(argument));
  command.path = std::string(path);
  const std::string_view name = path.substr(nameStart(path));
  command.fileName = std::string(name);
  const std::size_t dot = lastDot(name);
  if (dot != std::string_view::npos) command.extension = std::string(name.substr(dot));
  return command;
}

}  // namespace

TagCommand TagCommand::parse(std::string_view line) {
  if (line.starts_with(kMime)) return fileCommand(Kind::mime, skipBlanks(line.substr(kMime.size())));
  if (line.starts_with(kUuencode)) return fileCommand(Kind::uuencode, skipBlanks(line.substr(kUuencode.size())));
  if (!line.starts_with(kHeader)) return {};
  const std::string_view argument = trimEnd(skipBlanks(line.substr(kHeader.size())));
  if (!isHeaderLine(argument)) return {};
  TagCommand command;
  command.kind = Kind::header;
  command.argument = std::string(argument);
  return command;
}

}  // namespace zorvik::message
