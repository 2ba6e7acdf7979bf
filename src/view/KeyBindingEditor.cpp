#include "view/KeyBindingEditor.h"

#include "view/KeyDefinition.h"
#include "view/KeyNames.h"

namespace zorvik::view {

void KeyCapture::press(const KeyStroke& stroke) {
  if (stroke.empty()) {
    pendingModifiers_ = stroke;
    return;
  }
  pendingModifiers_ = {};
  if (first_.empty() || !second_.empty()) {
    first_ = stroke;
    second_ = {};
    return;
  }
  second_ = stroke;
}

std::string KeyCapture::text() const {
  if (first_.empty()) {
    KeyStroke held = pendingModifiers_;
    std::string shown = strokeText({1, held.alt, held.shift, held.ctrl});
    return shown.substr(0, shown.size() - keyName(1).size());
  }
  return second_.empty() ? strokeText(first_) : bindingText(first_, second_);
}

KeyBindingEditor::KeyBindingEditor(MacroTable table, std::string_view definition) : table_(std::move(table)) {
  parseKeyDefinition(definition, table_);
}

std::string KeyBindingEditor::binding(std::size_t at) const {
  return bindingText(table_[at].first, table_[at].second);
}

std::string KeyBindingEditor::line(std::size_t at) const { return table_[at].description + "\t" + binding(at); }

std::vector<std::string> KeyBindingEditor::bind(std::size_t at, const KeyCapture& capture) {
  std::vector<std::string> clashes;
  if (!capture.captured()) return clashes;
  for (std::size_t other = 0; other < table_.size(); ++other) {
    if (other == at || table_[other].first.empty()) continue;
    const Macro& macro = table_[other];
    if (macro.first == capture.first() && macro.second == capture.second()) {
      table_.unbind(other);
      clashes.push_back(macro.name);
      continue;
    }
    // One stroke that begins the other's two strokes: only one of them runs.
    const bool prefixes = macro.first == capture.first() && (macro.second.empty() != capture.second().empty());
    if (prefixes) clashes.push_back(macro.name);
  }
  table_.bind(at, capture.first(), capture.second());
  return clashes;
}

std::string KeyBindingEditor::definition() const { return writeKeyDefinition(table_); }

}  // namespace zorvik::view
