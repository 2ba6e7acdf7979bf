#include "ui/KeyStrokes.h"

#include <QKeyEvent>

namespace zorvik::ui {
namespace {

int symbolKey(int character) {
  switch (character) {
    case ':': case '*': return 186;
    case ';': case '+': return 187;
    case ',': case '<': return 188;
    case '-': case '=': return 189;
    case '.': case '>': return 190;
    case '/': case '?': return 191;
    case '@': case '`': return 192;
    case '[': case '{': return 219;
    case 0xA5: case '|': return 220;  // the yen key
    case ']': case '}': return 221;
    case '^': case '~': return 222;
    case '\\': case '_': return 226;
    // The shifted digits of the JIS layout.
    case '!': return '1';
    case '"': return '2';
    case '#': return '3';
    case '$': return '4';
    case '%': return '5';
    case '&': return '6';
    case '\'': return '7';
    case '(': return '8';
    case ')': return '9';
    default: return 0;
  }
}

int keypadKey(int qtKey) {
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return 96 + (qtKey - Qt::Key_0);
  switch (qtKey) {
    case Qt::Key_Asterisk: return 106;
    case Qt::Key_Plus: return 107;
    case Qt::Key_Minus: return 109;
    case Qt::Key_Period: return 110;
    case Qt::Key_Slash: return 111;
    case Qt::Key_Enter: return 13;
    default: return 0;
  }
}

}  // namespace

int virtualKeyOf(int qtKey, bool keypad) {
  if (keypad) {
    if (const int key = keypadKey(qtKey)) return key;
  }
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return qtKey;
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return qtKey;
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return 112 + (qtKey - Qt::Key_F1);
  switch (qtKey) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: case Qt::Key_Backtab: return 9;
    case Qt::Key_Clear: return 12;
    case Qt::Key_Return: case Qt::Key_Enter: return 13;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Print: return 44;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Help: return 47;
    case Qt::Key_Menu: return 93;
    case Qt::Key_yen: return 220;
    default: break;
  }
  if (qtKey > 0 && qtKey < 0x100) return symbolKey(qtKey);
  return 0;
}

std::optional<view::KeyStroke> strokeOf(const QKeyEvent& event) {
  const int qtKey = event.key();
  if (qtKey == Qt::Key_Shift || qtKey == Qt::Key_Control || qtKey == Qt::Key_Alt || qtKey == Qt::Key_Meta ||
      qtKey == Qt::Key_AltGr)
    return std::nullopt;
  const Qt::KeyboardModifiers modifiers = event.modifiers();
  const int key = virtualKeyOf(qtKey, modifiers.testFlag(Qt::KeypadModifier));
  if (key == 0) return std::nullopt;
  return view::KeyStroke{key, modifiers.testFlag(Qt::AltModifier),
                         modifiers.testFlag(Qt::ShiftModifier) || qtKey == Qt::Key_Backtab,
                         modifiers.testFlag(Qt::ControlModifier)};
}

}  // namespace zorvik::ui
