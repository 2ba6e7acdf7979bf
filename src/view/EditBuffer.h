/// \file
/// The text of the compose editor as its rules see it, whatever widget
/// holds it: UTF-16 text with '\n' between lines, positions counted in
/// UTF-16 units, a caret with an optional selection, and characters that
/// may be locked (text loaded from the draft and protected from edits).
///
/// replace() changes the text unconditionally; the editor's rules
/// (EditGate) decide before calling it. Positions past the end are clamped
/// by the implementation.
#pragma once

#include <string>

namespace zorvik::view {

class EditBuffer {
public:
  virtual ~EditBuffer() = default;

  virtual std::u16string text() const = 0;
  virtual int size() const = 0;
  /// The character at `pos` ('\n' at a line end); 0 at or past the end.
  virtual char16_t at(int pos) const = 0;
  /// Whether the character at `pos` is locked (never asked of '\n').
  virtual bool locked(int pos) const = 0;
  /// Replaces [from, to) by `text`, locked or not, as one undo step.
  virtual void replace(int from, int to, const std::u16string& text, bool lock) = 0;

  virtual int caret() const = 0;
  /// Where the selection begins; equal to caret() when nothing is selected.
  virtual int anchor() const = 0;
  /// Puts the caret at `pos`, selecting from `anchor` when it is given.
  virtual void setCaret(int pos, int anchor = -1) = 0;

  virtual void undo() = 0;
  /// Lines one screen holds (at least 1).
  virtual int pageLines() const = 0;
  /// Scrolls the view by `lines` without moving the caret.
  virtual void scroll(int lines) = 0;

  virtual std::u16string clipboard() const = 0;
  virtual void setClipboard(const std::u16string& text) = 0;
};

}  // namespace zorvik::view
