/// \file
/// The five ready-made key layouts of the compose editor ("Windows標準",
/// "WordStar(OV)", "EMACS", "秀丸", "MIFES"), offered on the editor's
/// settings page; the first is the editor's default definition.
#pragma once

#include <array>
#include <string>

namespace zorvik::view {

struct KeyPreset {
  std::string name;        // Shift_JIS, as the combo box shows it
  std::string definition;  // a key definition text (ASCII)
};

const std::array<KeyPreset, 5>& editorKeyPresets();

}  // namespace zorvik::view
