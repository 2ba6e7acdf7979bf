/// \file
/// The one way a change reaches the compose editor's text: keys, input
/// method commits, paste, drop, cut and the macros all ask the gate.
///
/// Locked characters refuse changes. A line break that ends a locked line
/// belongs to it (so Backspace at the start of the next line cannot pull
/// typed text into a quote), but typing at the very end of a locked line,
/// or at the end of the text, is accepted: the typed text is not locked.
/// Every deleted text of an accepted change goes onto the erase buffer
/// (newest last), from which UNER takes it back.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "view/EditBuffer.h"

namespace zorvik::view {

class EditGate {
public:
  /// `buffer` must outlive the gate.
  explicit EditGate(EditBuffer& buffer) : buffer_(buffer) {}

  /// Whether [from, to) may be replaced by `text` (empty: a deletion).
  bool allows(int from, int to, const std::u16string& text) const;
  /// Whether text may be inserted at `pos` (preedit and typing).
  bool allowsInsertAt(int pos) const;
  /// Replaces [from, to) by `text` when allowed, leaving the caret after
  /// the new text; false (and nothing changed) when refused.
  bool change(int from, int to, const std::u16string& text);
  /// Puts `text` in place of the selection, or at the caret.
  bool type(const std::u16string& text);

  /// Whether the character at `pos` is locked, a locked line's break included.
  bool lockedAt(int pos) const;

  /// The erase buffer, oldest first.
  const std::vector<std::u16string>& erased() const { return erased_; }
  /// The newest erased text, taken off the buffer; none when empty.
  std::optional<std::u16string> popErased();
  /// Where the last accepted change ended (PVED); -1 before any.
  int lastEdit() const { return lastEdit_; }

private:
  EditBuffer& buffer_;
  std::vector<std::u16string> erased_;
  int lastEdit_ = -1;
};

}  // namespace zorvik::view
