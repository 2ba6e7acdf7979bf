#include "view/EditGate.h"

#include <algorithm>

namespace zorvik::view {

bool EditGate::lockedAt(int pos) const {
  if (pos < 0 || pos >= buffer_.size()) return false;
  if (buffer_.at(pos) != u'\n') return buffer_.locked(pos);
  return pos > 0 && buffer_.at(pos - 1) != u'\n' && buffer_.locked(pos - 1);
}

bool EditGate::allowsInsertAt(int pos) const {
  // Before a locked character, inside or at the start of a locked run; the
  // end of a locked line is its break, where typing is accepted.
  return pos >= buffer_.size() || buffer_.at(pos) == u'\n' || !buffer_.locked(pos);
}

bool EditGate::allows(int from, int to, const std::u16string& text) const {
  if (from > to) std::swap(from, to);
  for (int pos = from; pos < to; ++pos)
    if (lockedAt(pos)) return false;
  return text.empty() || allowsInsertAt(to);
}

bool EditGate::change(int from, int to, const std::u16string& text) {
  if (from > to) std::swap(from, to);
  from = std::clamp(from, 0, buffer_.size());
  to = std::clamp(to, 0, buffer_.size());
  if (from == to && text.empty()) return true;
  if (!allows(from, to, text)) return false;
  if (from < to) erased_.push_back(buffer_.text().substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from)));
  buffer_.replace(from, to, text, false);
  lastEdit_ = from + static_cast<int>(text.size());
  buffer_.setCaret(lastEdit_);
  return true;
}

bool EditGate::type(const std::u16string& text) { return change(buffer_.anchor(), buffer_.caret(), text); }

std::optional<std::u16string> EditGate::popErased() {
  if (erased_.empty()) return std::nullopt;
  std::u16string last = std::move(erased_.back());
  erased_.pop_back();
  return last;
}

}  // namespace zorvik::view
