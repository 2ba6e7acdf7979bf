#include "view/KeyNames.h"

#include <array>

#include "platform/TextEncoding.h"

namespace zorvik::view {
namespace {

// Codes 0-47 that have a name; the others below 48 have none.
constexpr std::array<const char*, 48> kLowNames = {
    "Null",   "LButton", "RButton", "Cancel",  "MButton", "",        "",         "",
    "Back",   "Tab",     "",        "",        "Clear",   "Return",  "",         "",
    "Shift",  "Control", "Menu",    "Pause",   "Capital", "Kana",    "",         "Junja",
    "Final",  "Kanji",   "",        "Escape",  "Convert", "NonConvert", "Accept", "MoDechange",
    "Space",  "Prior",   "Next",    "End",     "Home",    "Left",    "UP",       "Right",
    "Down",   "Select",  "Print",   "Execute", "SnapShot", "Insert", "Delete",   "Help"};

constexpr std::array<const char*, 16> kKeypadNames = {
    "Numpad0", "Numpad1", "Numpad2",  "Numpad3",   "Numpad4",  "Numpad5",  "Numpad6", "Numpad7",
    "Numpad8", "Numpad9", "Multiply", "Add",       "Separator", "Subtract", "Decimal", "Divide"};

}  // namespace

std::string keyName(int key) {
  if (key < 0 || key > 255) return {};
  if (key < 48) return kLowNames[static_cast<std::size_t>(key)];
  if (key <= 57 || (key >= 65 && key <= 90)) return std::string(1, static_cast<char>(key));
  if (key == 91) return "L-Win";
  if (key == 92) return "R-Win";
  if (key == 93) return "APPS";
  if (key >= 96 && key <= 111) return kKeypadNames[static_cast<std::size_t>(key - 96)];
  if (key >= 112 && key <= 135) return "F" + std::to_string(key - 111);
  if (key >= 186 && key <= 192) return std::string(1, ":;,-./@"[key - 186]);
  if (key >= 219 && key <= 222) return std::string(1, "[\\]^"[key - 219]);
  if (key == 226) return "_";
  return {};
}

std::string strokeText(const KeyStroke& stroke) {
  std::string text;
  if (stroke.shift) text += "Shift+";
  if (stroke.ctrl) text += "Ctrl+";
  if (stroke.alt) text += "Alt+";
  return text + keyName(stroke.key);
}

std::string bindingText(const KeyStroke& first, const KeyStroke& second) {
  if (first.empty()) return platform::sjisLiteral("割当なし");
  std::string text = strokeText(first);
  if (!second.empty()) text += platform::sjisLiteral(" ⇒ ") + strokeText(second);
  return text;
}

}  // namespace zorvik::view
