#include "view/KeyDefinition.h"

namespace zorvik::view {
namespace {

std::string strokeDefinition(const KeyStroke& stroke) {
  std::string text;
  if (stroke.alt) text += '#';
  if (stroke.shift) text += '!';
  if (stroke.ctrl) text += '^';
  return text + std::to_string(stroke.key);
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

void parseKeyDefinition(std::string_view text, MacroTable& table) {
  table.clearBindings();
  if (const auto label = text.find(':'); label != std::string_view::npos) text.remove_prefix(label + 1);

  KeyStroke strokes[2];
  int current = 0;
  const auto startEntry = [&] {
    strokes[0] = strokes[1] = {};
    current = 0;
  };
  std::size_t at = 0;
  while (at < text.size()) {
    const char c = text[at];
    KeyStroke& stroke = strokes[current];
    if (isDigit(c)) {
      int value = 0;
      while (at < text.size() && isDigit(text[at])) {
        if (value < 1000) value = value * 10 + (text[at] - '0');
        ++at;
      }
      if (stroke.key == 0 && value <= 255) stroke.key = value;
      continue;
    }
    ++at;
    switch (c) {
      case '^': stroke.ctrl = true; break;
      case '!': stroke.shift = true; break;
      case '#': stroke.alt = true; break;
      case '+': current = 1; break;
      case ',': startEntry(); break;
      case '=': {
        const std::size_t end = std::min(text.find(',', at), text.size());
        const auto macro = table.find(text.substr(at, end - at));
        if (macro && strokes[0].key > 0) table.bind(*macro, strokes[0], strokes[1].key > 0 ? strokes[1] : KeyStroke{});
        at = end;
        startEntry();
        break;
      }
      default: break;
    }
  }
}

std::string writeKeyDefinition(const MacroTable& table) {
  std::string text;
  for (const Macro& macro : table.macros()) {
    if (macro.first.empty()) continue;
    if (!text.empty()) text += ',';
    text += strokeDefinition(macro.first);
    if (!macro.second.empty()) text += '+' + strokeDefinition(macro.second);
    text += '=' + macro.name;
  }
  return text;
}

}  // namespace zorvik::view
