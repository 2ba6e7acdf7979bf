/// \file
/// The compose editor's macros (the editor table of the key definitions)
/// over an EditBuffer, every change through one EditGate: caret moves by
/// character, word, line, screen and file; the five caret tags TAG1-TAG5
/// and the selection anchor; the search buffer with its case and
/// whole-word flags; deletions whose texts go onto the erase buffer (UNER
/// puts the newest back); the DELe kill buffer, which a run of DELe grows
/// and which is also put on the clipboard, so a paste yanks it; line
/// duplication, case toggling, clipboard and undo.
///
/// Inside locked text NEWL does not split the line: it moves the caret to
/// the start of the next one. VSBR, REPN, REPP, YBRP, TGIN, TGTB, TGAI, DBG
/// and NOP are accepted and do nothing.
///
/// Words are runs of one kind of character: ASCII letters and digits,
/// kanji, hiragana, katakana, full-width letters; anything else stands alone.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "view/EditBuffer.h"
#include "view/EditGate.h"

namespace zorvik::view {

class EditorMacros {
public:
  /// Both must outlive the macros.
  EditorMacros(EditBuffer& buffer, EditGate& gate) : buffer_(buffer), gate_(gate) {}

  /// Runs the macro `name`; false when the name is not one of the table's.
  bool run(std::string_view name);
  /// Text typed or committed by an input method, through the gate.
  bool type(const std::u16string& text);

  int tag(int which) const { return tags_.at(static_cast<std::size_t>(which)); }
  int selectionAnchor() const { return anchor_; }
  const std::u16string& searchBuffer() const { return search_; }
  bool caseSensitive() const { return caseSensitive_; }
  bool wholeWord() const { return wholeWord_; }
  const std::u16string& killBuffer() const { return kill_; }

  int lineStart(int pos) const;
  int lineEnd(int pos) const;

private:
  void move(int pos);
  void moveLines(int lines);
  bool erase(int from, int to);
  bool eraseSelectionOr(int from, int to);
  int wordLeft(int pos) const;
  int wordRight(int pos) const;
  std::u16string selection() const;
  void find(bool forward);
  bool matchesAt(int pos) const;
  void newLine();
  void killToLineEnd();
  void toggleCase();

  EditBuffer& buffer_;
  EditGate& gate_;
  std::array<int, 5> tags_{0, 0, 0, 0, 0};
  int anchor_ = -1;
  std::u16string search_;
  bool caseSensitive_ = false;
  bool wholeWord_ = false;
  std::u16string kill_;
  bool killing_ = false;  ///< the previous command was DELe
};

}  // namespace zorvik::view
