#include "view/ExternalEditorCommand.h"

#include <array>
#include <string_view>

namespace zorvik::view {

namespace {

std::string caretOption(std::string option, const Caret& caret) {
  std::string out;
  for (std::size_t i = 0; i < option.size(); ++i) {
    if (option[i] != '%' || i + 1 == option.size()) {
      out += option[i];
      continue;
    }
    switch (option[++i]) {
      case 'y': out += std::to_string(caret.line); break;
      case 'x': out += std::to_string(caret.column); break;
      case 'Y': out += std::to_string(caret.line + 1); break;
      case 'X': out += std::to_string(caret.column + 1); break;
      default: out += '%', out += option[i];
    }
  }
  return out;
}

}  // namespace

bool ExternalEditorCommand::standsForOwnEditor(const std::string& item102) {
  std::string lower;
  for (const char c : item102) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return lower == "notepad.exe" || lower == "notepad" || lower == "auto";
}

std::vector<std::string> ExternalEditorCommand::words(const std::string& text) {
  std::vector<std::string> out;
  std::string word;
  bool quoted = false, inWord = false;
  for (const char c : text) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if (c == ' ' && !quoted) {
      if (inWord) out.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) out.push_back(word);
  return out;
}

bool ExternalEditorCommand::needsTerminal(const std::string& program) {
  static constexpr std::array<std::string_view, 10> kTerminalEditors = {"vi", "vim", "nvim", "nano", "pico",
                                                                        "micro", "joe", "ne", "mg", "jed"};
  const std::string_view name = std::string_view(program).substr(program.rfind('/') + 1);
  for (const std::string_view editor : kTerminalEditors)
    if (name == editor) return true;
  return false;
}

std::vector<std::string> ExternalEditorCommand::program(const std::string& item102,
                                                        const EditorEnvironment& environment) {
  if (!standsForOwnEditor(item102)) return words(item102);
  const std::string& own = !environment.visual.empty() ? environment.visual : environment.editor;
  std::vector<std::string> command = words(own);
  if (!command.empty() && needsTerminal(command.front()) && environment.terminal)
    command.insert(command.begin(), {"x-terminal-emulator", "-e"});
  return command;
}

std::vector<std::string> ExternalEditorCommand::build(const std::string& item102, const std::string& item106,
                                                      const std::string& file, std::optional<Caret> caret,
                                                      const EditorEnvironment& environment) {
  if (item102.empty()) return {};
  std::vector<std::string> command = program(item102, environment);
  // The desktop's program for text files, when the user has no editor of their own.
  if (command.empty() && standsForOwnEditor(item102)) command = {"xdg-open"};
  if (command.empty()) return {};
  command.push_back(file);
  if (caret && !item106.empty())
    for (std::string& word : words(caretOption(item106, *caret))) command.push_back(std::move(word));
  return command;
}

}  // namespace zorvik::view
