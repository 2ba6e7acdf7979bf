#include "view/EditorMacros.h"

#include <algorithm>
#include <functional>
#include <map>

namespace zorvik::view {

namespace {

// The kind of a character for word moves; 0 for one that stands alone.
int wordClass(char16_t c) {
  if ((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_') return 1;
  if (c >= 0x3041 && c <= 0x309F) return 2;                                   // hiragana
  if ((c >= 0x30A1 && c <= 0x30FF) || (c >= 0xFF66 && c <= 0xFF9F)) return 3;  // katakana, both widths
  if ((c >= 0x4E00 && c <= 0x9FFF) || c == 0x3005) return 4;                  // kanji and 々
  if ((c >= 0xFF10 && c <= 0xFF19) || (c >= 0xFF21 && c <= 0xFF3A) || (c >= 0xFF41 && c <= 0xFF5A)) return 5;
  return 0;
}

char16_t lower(char16_t c) {
  if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 0x20);
  if (c >= 0xFF21 && c <= 0xFF3A) return static_cast<char16_t>(c + 0x20);
  return c;
}

char16_t upper(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
  if (c >= 0xFF41 && c <= 0xFF5A) return static_cast<char16_t>(c - 0x20);
  return c;
}

}  // namespace

int EditorMacros::lineStart(int pos) const {
  while (pos > 0 && buffer_.at(pos - 1) != u'\n') --pos;
  return pos;
}

int EditorMacros::lineEnd(int pos) const {
  const int size = buffer_.size();
  while (pos < size && buffer_.at(pos) != u'\n') ++pos;
  return pos;
}

void EditorMacros::move(int pos) {
  pos = std::clamp(pos, 0, buffer_.size());
  buffer_.setCaret(pos, anchor_);
}

void EditorMacros::moveLines(int lines) {
  int pos = buffer_.caret();
  const int column = pos - lineStart(pos);
  for (; lines < 0; ++lines) {
    const int start = lineStart(pos);
    if (start == 0) break;
    pos = lineStart(start - 1);
  }
  for (; lines > 0; --lines) {
    const int end = lineEnd(pos);
    if (end >= buffer_.size()) break;
    pos = end + 1;
  }
  const int start = lineStart(pos);
  move(std::min(start + column, lineEnd(start)));
}

int EditorMacros::wordLeft(int pos) const {
  if (pos <= 0) return 0;
  const int kind = wordClass(buffer_.at(pos - 1));
  --pos;
  if (kind == 0) return pos;
  while (pos > 0 && wordClass(buffer_.at(pos - 1)) == kind) --pos;
  return pos;
}

int EditorMacros::wordRight(int pos) const {
  const int size = buffer_.size();
  if (pos >= size) return size;
  const int kind = wordClass(buffer_.at(pos));
  ++pos;
  if (kind == 0) return pos;
  while (pos < size && wordClass(buffer_.at(pos)) == kind) ++pos;
  return pos;
}

std::u16string EditorMacros::selection() const {
  const int from = std::min(buffer_.anchor(), buffer_.caret());
  const int to = std::max(buffer_.anchor(), buffer_.caret());
  return buffer_.text().substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
}

bool EditorMacros::erase(int from, int to) {
  anchor_ = -1;
  return gate_.change(from, to, {});
}

bool EditorMacros::eraseSelectionOr(int from, int to) {
  if (buffer_.anchor() != buffer_.caret()) return erase(buffer_.anchor(), buffer_.caret());
  return erase(from, to);
}

bool EditorMacros::type(const std::u16string& text) {
  killing_ = false;
  anchor_ = -1;
  return gate_.type(text);
}

bool EditorMacros::matchesAt(int pos) const {
  const int length = static_cast<int>(search_.size());
  if (pos < 0 || pos + length > buffer_.size()) return false;
  for (int i = 0; i < length; ++i) {
    const char16_t have = buffer_.at(pos + i);
    const char16_t want = search_[static_cast<std::size_t>(i)];
    if (caseSensitive_ ? have != want : lower(have) != lower(want)) return false;
  }
  if (!wholeWord_) return true;
  const auto joins = [&](int a, int b) {
    return a >= 0 && b < buffer_.size() && wordClass(buffer_.at(a)) != 0 &&
           wordClass(buffer_.at(a)) == wordClass(buffer_.at(b));
  };
  return !joins(pos - 1, pos) && !joins(pos + length - 1, pos + length);
}

void EditorMacros::find(bool forward) {
  if (search_.empty()) return;
  const int caret = buffer_.caret();
  if (forward) {
    for (int pos = caret + 1; pos <= buffer_.size(); ++pos)
      if (matchesAt(pos)) return move(pos);
  } else {
    for (int pos = caret - 1; pos >= 0; --pos)
      if (matchesAt(pos)) return move(pos);
  }
}

void EditorMacros::newLine() {
  const int caret = buffer_.caret();
  if (gate_.lockedAt(caret) && buffer_.at(caret) != u'\n') {
    // Enter inside a quote goes to the next line; the quote stays whole.
    const int end = lineEnd(caret);
    move(end < buffer_.size() ? end + 1 : end);
    return;
  }
  type(u"\n");
}

void EditorMacros::killToLineEnd() {
  const int caret = buffer_.caret();
  const int end = lineEnd(caret);
  const int to = end > caret ? end : std::min(end + 1, buffer_.size());
  const std::u16string text = buffer_.text().substr(static_cast<std::size_t>(caret), static_cast<std::size_t>(to - caret));
  const bool run = killing_;
  if (!erase(caret, to)) return;
  kill_ = run ? kill_ + text : text;
  buffer_.setClipboard(kill_);
}

void EditorMacros::toggleCase() {
  const int caret = buffer_.caret();
  if (caret >= buffer_.size()) return;
  const char16_t c = buffer_.at(caret);
  const char16_t swapped = lower(c) != c ? lower(c) : upper(c);
  if (swapped == c) return move(caret + 1);
  if (gate_.change(caret, caret + 1, std::u16string(1, swapped))) move(caret + 1);
}

bool EditorMacros::run(std::string_view name) {
  const bool wasKilling = killing_;
  killing_ = false;
  const int caret = buffer_.caret();
  using Action = std::function<void()>;
  const auto setTag = [this](int which) { return [this, which] { tags_[static_cast<std::size_t>(which)] = buffer_.caret(); }; };
  const auto jumpTag = [this](int which) { return [this, which] { move(tags_[static_cast<std::size_t>(which)]); }; };
  const auto nothing = [] {};
  const std::map<std::string_view, Action> actions = {
      {"CUP", [&] { moveLines(-1); }},
      {"CDN", [&] { moveLines(1); }},
      {"CLT", [&] { move(caret - 1); }},
      {"CRT", [&] { move(caret + 1); }},
      {"WLT", [&] { move(wordLeft(caret)); }},
      {"WRT", [&] { move(wordRight(caret)); }},
      {"TOL", [&] { move(lineStart(caret)); }},
      {"EOL", [&] { move(lineEnd(caret)); }},
      {"GUP", [&] { moveLines(-buffer_.pageLines()); }},
      {"GDN", [&] { moveLines(buffer_.pageLines()); }},
      {"TOF", [&] { move(0); }},
      {"EOF", [&] { move(buffer_.size()); }},
      {"PVED", [&] { if (gate_.lastEdit() >= 0) move(gate_.lastEdit()); }},
      {"STG1", setTag(0)}, {"STG2", setTag(1)}, {"STG3", setTag(2)}, {"STG4", setTag(3)}, {"STG5", setTag(4)},
      {"JTG1", jumpTag(0)}, {"JTG2", jumpTag(1)}, {"JTG3", jumpTag(2)}, {"JTG4", jumpTag(3)}, {"JTG5", jumpTag(4)},
      {"XTGS",
       [&] {
         if (anchor_ < 0) return;
         const int old = anchor_;
         anchor_ = caret;
         move(old);
       }},
      {"CAN",
       [&] {
         anchor_ = -1;
         buffer_.setCaret(caret);
       }},
      {"BFMB", [&] { anchor_ = caret; }},
      {"YWSB",
       [&] {
         const int from = caret > 0 && (caret >= buffer_.size() || wordClass(buffer_.at(caret)) == 0) ? wordLeft(caret)
                                                                                                       : wordLeft(caret + 1);
         const int to = wordRight(from);
         search_ = buffer_.text().substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
       }},
      {"YBSB", [&] { if (buffer_.anchor() != caret) search_ = selection(); }},
      {"FDDN", [&] { find(true); }},
      {"FDUP", [&] { find(false); }},
      {"PSSB", [&] { type(search_); }},
      {"TGUL", [&] { caseSensitive_ = !caseSensitive_; }},
      {"TGWD", [&] { wholeWord_ = !wholeWord_; }},
      {"CHUL", [&] { toggleCase(); }},
      {"NEWL", [&] { newLine(); }},
      {"DUPL",
       [&] {
         const int start = lineStart(caret);
         const int end = lineEnd(caret);
         const std::u16string line =
             buffer_.text().substr(static_cast<std::size_t>(start), static_cast<std::size_t>(std::min(end - start, 1000)));
         if (gate_.change(end, end, u"\n" + line)) move(caret);
       }},
      {"UNER",
       [&] {
         // Taken off only where it can go back in, so a refusal loses nothing.
         if (!gate_.allowsInsertAt(caret)) return;
         if (const auto text = gate_.popErased()) type(*text);
       }},
      {"BFCP", [&] { if (buffer_.anchor() != caret) buffer_.setClipboard(selection()); }},
      {"BFCT",
       [&] {
         if (buffer_.anchor() == caret) return;
         const std::u16string text = selection();
         if (erase(buffer_.anchor(), caret)) buffer_.setClipboard(text);
       }},
      {"BFPS", [&] { type(buffer_.clipboard()); }},
      {"BFPC",
       [&] {
         if (type(buffer_.clipboard())) buffer_.setClipboard({});
       }},
      {"ITAB", [&] { type(u"\t"); }},
      {"UNDO", [&] { buffer_.undo(); }},
      {"DEL1", [&] { eraseSelectionOr(caret, caret + 1); }},
      {"BSP1", [&] { eraseSelectionOr(caret - 1, caret); }},
      {"WDEL", [&] { erase(caret, wordRight(caret)); }},
      {"DTOL", [&] { erase(lineStart(caret), caret); }},
      {"DEOL", [&] { erase(caret, lineEnd(caret)); }},
      {"DELe",
       [&] {
         killing_ = wasKilling;
         killToLineEnd();
         killing_ = true;
       }},
      {"DELL",
       [&] {
         const int end = lineEnd(caret);
         erase(lineStart(caret), end < buffer_.size() ? end + 1 : end);
       }},
      {"SCRU", [&] { buffer_.scroll(-1); }},
      {"SCRD", [&] { buffer_.scroll(1); }},
      {"VSBR", nothing}, {"REPN", nothing}, {"REPP", nothing}, {"YBRP", nothing}, {"TGIN", nothing},
      {"TGTB", nothing}, {"TGAI", nothing}, {"DBG", nothing}, {"NOP", nothing}};
  const auto found = actions.find(name);
  if (found == actions.end()) return false;
  found->second();
  return true;
}

}  // namespace zorvik::view
